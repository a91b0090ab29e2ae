#include <sys/stat.h>
#include <QAbstractButton>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>

#include "capture/sampling_worker.h"
#include "capture/status_port.h"
#include "core/scope_session.h"
#include "display/trace_geometry.h"
#include "resources/command_ids.h"
#include "shell/qt_main_window.h"
#include "shell/qt_status_line.h"
#include "shell/qt_template_builder.h"
#include "tests/shell/support/green_pixels.h"
#include "tests/shell/support/paint_counter.h"
#include "tests/shell/support/qt_test_registry.h"
#include "tests/shell/support/screenshot.h"
#include "tests/shell/support/trace_colors.h"

namespace {

// Ports whose status lines never change: a trigger on them waits for ever.
class SteadyPorts : public PortAccess {
public:
    std::atomic<uint8_t> level{kChannelBits[0] | kChannelBits[2]};
    std::atomic<int> lastPortNumber{0};
    std::atomic<bool> reportNext{false};  // the next capture reports that the port cannot be used

    StatusPort& port(uint8_t portNumber) override {
        lastPortNumber = portNumber;
        return port_;
    }
    std::vector<std::string> takeReports() override {
        if (reportNext.exchange(false)) {
            return {"LPT1 cannot be opened."};
        }
        return {};
    }
    bool wantsQuietSection() const override { return false; }

private:
    class Steady : public StatusPort {
    public:
        explicit Steady(SteadyPorts& owner) : owner_(owner) {}
        uint8_t read() override { return owner_.level; }

    private:
        SteadyPorts& owner_;
    };
    Steady port_{*this};
};

}  // namespace

class LifecycleTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startUpCapturesAndDraws();
    void closeDuringSlowCaptureEndsTheWorker();
    void closeDuringTriggerWaitEndsTheWorker();
    void portReportShowsNoTraces();
    void slowCaptureFillsInBeforeItEnds();
    void saveToAFifoThatNothingReadsSaysSo();

private:
    SteadyPorts ports_;
};

void LifecycleTest::init() {
    resetScopeSession();
    workerLink.ports = &ports_;
}

void LifecycleTest::cleanup() {
    QVERIFY(!workerLink.thread.joinable());
    QVERIFY(scopeSession.sampleData == nullptr);
    workerLink.ports = nullptr;
}

void LifecycleTest::startUpCapturesAndDraws() {
    DezoRaraClass window(mainWindowProc);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(hasSampleData(scopeSession));
    QCOMPARE(scopeSession.sampleLength.load(), 5000u);
    QCOMPARE(ports_.lastPortNumber.load(), 1);
    QCOMPARE(scopeSession.sampleData[4999], ports_.level.load());

    QWidget* view = findControl(*window.centralWidget(), IDC_TRACE_VIEW);
    const QImage image = view->grab().toImage();
    const TraceGeometry g = traceGeometry(view->width(), view->height(), 0, 5000);
    for (int x : {0, view->width() / 2, view->width() - 1}) {
        QCOMPARE(image.pixel(x, g.baseline[0] - g.levelHeight), kGreen);
        QCOMPARE(image.pixel(x, g.baseline[1]), kGreen);
        QCOMPARE(image.pixel(x, g.baseline[2] - g.levelHeight), kGreen);
    }
    QVERIFY(window.close());
}

void LifecycleTest::closeDuringSlowCaptureEndsTheWorker() {
    DezoRaraClass window(mainWindowProc);
    window.show();
    QTRY_VERIFY(hasSampleData(scopeSession));
    QTimer::singleShot(0, qApp,
                       [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape); });
    window.windowSystem().sendMessage(commandMessage(CMD_SPEED_SLOW));
    window.windowSystem().sendMessage(commandMessage(CMD_SIZE_500000));
    window.windowSystem().sendMessage(commandMessage(CMD_NEW_SAMPLE));
    QVERIFY(scopeSession.workerCapturing);
    QVERIFY(window.close());
}

void LifecycleTest::closeDuringTriggerWaitEndsTheWorker() {
    DezoRaraClass window(mainWindowProc);
    window.show();
    QTRY_VERIFY(hasSampleData(scopeSession));
    QTest::mouseClick(findControl(*window.centralWidget(), CMD_PORT_TRIGGER_FIRST), Qt::LeftButton);
    window.windowSystem().sendMessage(commandMessage(CMD_SPEED_FAST));
    window.windowSystem().sendMessage(commandMessage(CMD_NEW_SAMPLE));
    QVERIFY(scopeSession.workerCapturing);
    // File > Exit: the close request is posted.
    window.windowSystem().sendMessage(commandMessage(CMD_EXIT));
    QTRY_VERIFY(!window.isVisible());
}

// The report's box runs its own event loop, in which the view paints: it has nothing to draw
// until the samples are in.
void LifecycleTest::portReportShowsNoTraces() {
    DezoRaraClass window(mainWindowProc);
    window.show();
    QTRY_VERIFY(hasSampleData(scopeSession));
    QWidget* view = findControl(*window.centralWidget(), IDC_TRACE_VIEW);
    QVERIFY(greenPixels(*view) > 0);
    int greenDuringReport = -1;
    int ticks = 0;
    QTimer watcher;
    connect(&watcher, &QTimer::timeout, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        if (greenDuringReport < 0) {
            greenDuringReport = greenPixels(*view);
        }
        if (++ticks == 20) {  // shown for a while, so that a screenshot sees it
            saveScreenshot("port_report");
            box->done(QMessageBox::Ok);
        }
    });
    watcher.start(10);
    ports_.reportNext = true;
    window.windowSystem().sendMessage(commandMessage(CMD_NEW_SAMPLE));
    QCOMPARE(greenDuringReport, 0);
    QVERIFY(greenPixels(*view) > 0);
    QVERIFY(window.close());
}

// A Slow capture of 500000 samples shows its traces while it is still running, and the view
// keeps painting meanwhile, at the newest samples, with the capture's progress under it.
void LifecycleTest::slowCaptureFillsInBeforeItEnds() {
    DezoRaraClass window(mainWindowProc);
    window.show();
    QTRY_VERIFY(hasSampleData(scopeSession));
    QWidget* view = findControl(*window.centralWidget(), IDC_TRACE_VIEW);
    QTimer::singleShot(0, qApp,
                       [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape); });
    window.windowSystem().sendMessage(commandMessage(CMD_SPEED_SLOW));
    window.windowSystem().sendMessage(commandMessage(CMD_SIZE_500000));
    PaintCounter counter;
    view->installEventFilter(&counter);
    window.windowSystem().sendMessage(commandMessage(CMD_NEW_SAMPLE));
    QTRY_VERIFY(scopeSession.samplesStored > 10000);
    QVERIFY(scopeSession.workerCapturing);
    QTRY_VERIFY(counter.paints >= 3);
    QVERIFY(greenPixels(*view) > 0);
    const ScrollRange range = window.windowSystem().scrollRange();
    QVERIFY(range.high > 0);
    QTRY_VERIFY(window.windowSystem().scrollRange().high > range.high);
    QTRY_COMPARE(int64_t{scopeSession.view.viewStart},
                 int64_t{window.windowSystem().scrollRange().high});
    const QString status = window.centralWidget()->findChild<StatusLine*>()->text();
    QVERIFY2(status.startsWith("Capturing: ") && status.contains(" of 500000 samples stored, "),
             qPrintable(status));
    saveScreenshot("slow_capture_running");
    QVERIFY(scopeSession.workerCapturing);
    QVERIFY(window.close());
}

// A FIFO that nothing reads would hold the window in its open: Save says so at once, and the
// window goes on.
void LifecycleTest::saveToAFifoThatNothingReadsSaysSo() {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    QCOMPARE(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    DezoRaraClass window(mainWindowProc);
    window.show();
    QTRY_VERIFY(hasSampleData(scopeSession));
    scopeSession.documentPath = fifo.toStdString();
    QStringList texts;
    QTimer answering;
    connect(&answering, &QTimer::timeout, this, [&texts] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        texts << box->text();
        const QString folder = qEnvironmentVariable("PINPROBE_SCREENSHOTS");
        if (!folder.isEmpty()) {
            box->grab().save(folder + "/save_" + QString::number(texts.size()) + ".png");
        }
        box->button(texts.size() == 1 ? QMessageBox::Yes : QMessageBox::Ok)->click();
    });
    answering.start(10);
    window.windowSystem().sendMessage(commandMessage(CMD_SAVE));
    QCOMPARE(texts, (QStringList{QStringLiteral("Overwrite file?"),
                                 QStringLiteral("Cannot open file.\nNothing reads this FIFO.")}));
    QVERIFY(window.isVisible());
    QVERIFY(window.close());
}

PINPROBE_QT_TEST(LifecycleTest)
#include "qt_lifecycle_test.moc"
