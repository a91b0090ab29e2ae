#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <string>

#include "app/document/desktop_recording.h"
#include "app/readout/recording_progress.h"
#include "app/window/main_window_proc.h"
#include "capture/probe_clock.h"
#include "capture/sampling_worker.h"
#include "capture/simulated_probe.h"
#include "core/scope_session.h"
#include "export/recording_file.h"
#include "resources/command_ids.h"
#include "shell/qt_main_window.h"
#include "shell/qt_status_line.h"
#include "tests/shell/support/next_modal.h"
#include "tests/shell/support/qt_test_registry.h"
#include "tests/shell/support/screenshot.h"
#include "tests/shell/support/select_file.h"

namespace {

// The samples of a recording file as this program opens it again; 0 when it cannot.
uint32_t samplesIn(const QString& path) {
    uint8_t* data = nullptr;
    std::atomic<uint32_t> length{0};
    OpenedRecording opened;
    if (!readRecordingFile([](int) {}, path.toStdString(), data, length, opened)) {
        return 0;
    }
    giveBackSampleBuffer(data);
    return length;
}

}  // namespace

class RecordToFileTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void ctrlRRecordsWhileTheStatusLineCountsUntilBreak();
    void closingTheWindowFinishesTheFile();

private:
    // Ctrl+R in `window`, the chooser answered with `file` and the length with `length`.
    void startRecording(DezoRaraClass& window, const QString& file, const QString& length);

    // The probe's own pace, not the machine's: a stall on a busy machine would cut a run short,
    // and the "Too Slow" box at the end would wait for an answer no test gives.
    VirtualProbeClock clock_;
    SimulatedProbe probe_{clock_};
    QTemporaryDir dir_;
};

void RecordToFileTest::init() {
    resetScopeSession();
    workerLink.ports = &probe_;
}

void RecordToFileTest::cleanup() {
    workerLink.ports = nullptr;
    resetScopeSession();
}

void RecordToFileTest::startRecording(DezoRaraClass& window, const QString& file,
                                      const QString& length) {
    onNextModal<QFileDialog>([file](QFileDialog& chooser) {
        selectFileIn(chooser, file);
        static_cast<QDialog&>(chooser).accept();
    });
    onNextModal<QInputDialog>([length](QInputDialog& question) {
        question.setTextValue(length);
        question.accept();
    });
    window.activateWindow();  // an X server without a window manager activates nothing itself
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_R, Qt::ControlModifier);
    QTRY_VERIFY(recordingRuns());
}

// The keyboard starts a recording; the status line tells its progress as the blocks go to the
// file; Break ends it, the program says where the file is, and the file holds what it says.
void RecordToFileTest::ctrlRRecordsWhileTheStatusLineCountsUntilBreak() {
    DezoRaraClass window(mainWindowProc);
    window.show();
    QTRY_VERIFY(hasSampleData(scopeSession));
    window.windowSystem().sendMessage(commandMessage(CMD_SPEED_FAST));
    const QString file = dir_.filePath(QStringLiteral("run.sr"));
    startRecording(window, file, QStringLiteral("1h"));
    QTRY_VERIFY_WITH_TIMEOUT(recordingProgress().keptSamples > 200000, 30000);
    auto* status = window.centralWidget()->findChild<StatusLine*>();
    QTRY_VERIFY(status->text().startsWith(QStringLiteral("Recording to run.sr: ")));
    QVERIFY2(status->text().contains(QStringLiteral(" MB, ")), qPrintable(status->text()));
    QTRY_VERIFY(scopeSession.samplesStored > 50000);  // the traces show the block under way
    saveScreenshot("record_to_file");
    QString told;
    onNextModal<QMessageBox>([&told](QMessageBox& box) {
        told = box.text();
        box.button(QMessageBox::No)->click();
    });
    window.windowSystem().sendMessage(commandMessage(CMD_BREAK));
    QTRY_VERIFY(!recordingRuns());
    QTRY_VERIFY(!told.isEmpty());
    const uint32_t samples = samplesIn(file);
    QVERIFY(samples > 200000);
    QVERIFY2(told.startsWith(QStringLiteral("Recorded %1 samples to %2.").arg(samples).arg(file)),
             qPrintable(told));
    QVERIFY(!status->text().startsWith(QStringLiteral("Recording to ")));
    QVERIFY(window.close());
}

// Closing the window while it records finishes the file with the block under way, and asks
// nothing.
void RecordToFileTest::closingTheWindowFinishesTheFile() {
    auto window = std::make_unique<DezoRaraClass>(mainWindowProc);
    window->show();
    QTRY_VERIFY(hasSampleData(scopeSession));
    const QString file = dir_.filePath(QStringLiteral("closed.SCO"));
    startRecording(*window, file, QStringLiteral("50M"));
    QTRY_VERIFY_WITH_TIMEOUT(recordingProgress().keptSamples > 0, 30000);
    const uint64_t written = recordingProgress().keptSamples;
    QVERIFY(window->close());
    window.reset();
    QVERIFY(!recordingRuns());
    QVERIFY(samplesIn(file) >= written);
}

PINPROBE_QT_TEST(RecordToFileTest)
#include "qt_record_to_file_test.moc"
