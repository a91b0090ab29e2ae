#include <QtTest>

#include <condition_variable>
#include <mutex>

#include "app/window/main_window_proc.h"
#include "capture/sampling_worker.h"
#include "core/scope_session.h"
#include "display/session_pyramid.h"
#include "shell/qt_main_window.h"
#include "shell/qt_overview_strip.h"
#include "shell/qt_status_line.h"
#include "tests/shell/support/green_pixels.h"
#include "tests/shell/support/qt_test_registry.h"
#include "tests/support/scope_file_maker.h"
#include "tests/support/still_port.h"

namespace {

// Holds the summing up's thread in its notices until opened.
class Gate {
public:
    void pass() {
        std::unique_lock lock(mutex_);
        opened_.wait(lock, [this] { return open_; });
    }
    void open() {
        {
            const std::lock_guard lock(mutex_);
            open_ = true;
        }
        opened_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
};

}  // namespace

// A recording too large to sum up at the paint: the window shows it at once and goes on taking
// events while it is summed up, tells how far that is, and draws the strip when it is done.
class LargeRecordingTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        resetScopeSession();
        workerLink.ports = &ports_;
    }
    void cleanup() {
        startupFilePath.clear();
        workerLink.ports = nullptr;
    }
    void windowGoesOnWhileTheStripIsSummedUp();

private:
    StillPort ports_;
    TempDir dir_;
};

void LargeRecordingTest::windowGoesOnWhileTheStripIsSummedUp() {
    const uint32_t length = 8u << 20;
    // Channel 1 high throughout, the others low.
    startupFilePath = dir_.write("long.sco", scopeFileBytes(std::string(length, '\x08')));
    Gate gate;
    DezoRaraClass window(mainWindowProc);
    QtWindowSystem& ws = window.windowSystem();
    setSummingUpNotice([&gate, &ws] {
        gate.pass();
        ws.postMessage(WindowMessage{SUMMING_UP, 0, 0});
    });
    // Whatever fails, the build's thread is let go before the window's closing waits for it.
    const auto letGo = qScopeGuard([&gate] { gate.open(); });
    window.show();
    auto* strip = window.centralWidget()->findChild<OverviewStrip*>();
    auto* status = window.centralWidget()->findChild<StatusLine*>();
    QTRY_VERIFY(status->text().startsWith(QStringLiteral("Summing up 8388608 samples: ")));

    // The build's thread waits at the gate: a timer's event still comes, and the strip is empty.
    bool ticked = false;
    QTimer::singleShot(0, [&ticked] { ticked = true; });
    QTRY_VERIFY(ticked);
    QCOMPARE(greenPixels(*strip), 0);

    gate.open();
    QTRY_VERIFY(!status->text().startsWith(QStringLiteral("Summing up")));
    QVERIFY(status->text().startsWith(QStringLiteral("long.sco: 8388608 samples")));
    QTRY_VERIFY(greenPixels(*strip) > strip->width() / 2);
    QVERIFY(window.close());
}

PINPROBE_QT_TEST(LargeRecordingTest)
#include "qt_large_recording_test.moc"
