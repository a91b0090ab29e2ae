#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>
#include <QAbstractButton>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QtTest>

#include "app/window/main_window_proc.h"
#include "capture/sampling_worker.h"
#include "capture/status_port.h"
#include "core/scope_session.h"
#include "display/trace_geometry.h"
#include "resources/command_ids.h"
#include "shell/qt_main_window.h"
#include "shell/qt_template_builder.h"
#include "tests/shell/support/qt_test_registry.h"
#include "tests/shell/support/select_file.h"
#include "tests/shell/support/trace_colors.h"
#include "tests/support/scope_file_maker.h"

namespace {

// Ports that count how often a capture asked for one.
class CountingPorts : public PortAccess, public StatusPort {
public:
    int requests = 0;

    StatusPort& port(uint8_t) override {
        ++requests;
        return *this;
    }
    uint8_t read() override { return 0xFF; }
    std::vector<std::string> takeReports() override { return {}; }
    bool wantsQuietSection() const override { return false; }
};

// Answers the modal windows as they open: a file chooser picks `file`, a message box is noted
// and closed with OK.
class ModalAnswerer {
public:
    explicit ModalAnswerer(QString file) : file_(std::move(file)) {
        QObject::connect(&poll_, &QTimer::timeout, [this] { answer(); });
        poll_.start(10);
    }
    QStringList boxes;  // "caption: text"

private:
    void answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* chooser = qobject_cast<QFileDialog*>(modal)) {
            selectFileIn(*chooser, file_);
            static_cast<QDialog*>(chooser)->accept();  // the chooser's own, through its base
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            boxes.append(box->windowTitle() + QStringLiteral(": ") + box->text());
            box->button(QMessageBox::Ok)->click();
        }
    }

    QString file_;
    QTimer poll_;
};

}  // namespace

class StartupFileTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void goodFileShowsItsSamplesAndNoCaptureRuns();
    void refusedFileShowsWhatFileOpenShows();
    void argumentsAnsweredBeforeAnyWindow_data();
    void argumentsAnsweredBeforeAnyWindow();
    void qtOptionsGoToQtAndTheProgramStarts();

private:
    CountingPorts ports_;
    TempDir dir_;
};

void StartupFileTest::init() {
    resetScopeSession();
    workerLink.ports = &ports_;
}

void StartupFileTest::cleanup() {
    QVERIFY(!workerLink.thread.joinable());
    startupFilePath.clear();
    workerLink.ports = nullptr;
}

void StartupFileTest::goodFileShowsItsSamplesAndNoCaptureRuns() {
    // Channel 1 high, the others low: nothing a capture on these ports would give.
    startupFilePath = dir_.write("run1.sco", scopeFileBytes(std::string(800, '\x08')));
    DezoRaraClass window(mainWindowProc);
    window.show();
    QTRY_COMPARE(scopeSession.sampleLength.load(), 800u);
    QCOMPARE(scopeSession.documentTitle, std::string("run1.sco"));
    QCOMPARE(ports_.requests, 0);

    QWidget* view = findControl(*window.centralWidget(), IDC_TRACE_VIEW);
    const QImage image = view->grab().toImage();
    const TraceGeometry g = traceGeometry(view->width(), view->height(), 0, 800);
    for (int x : {0, view->width() - 1}) {
        QCOMPARE(image.pixel(x, g.baseline[0] - g.levelHeight), kGreen);
        QCOMPARE(image.pixel(x, g.baseline[1]), kGreen);
    }
    QVERIFY(window.close());
}

void StartupFileTest::refusedFileShowsWhatFileOpenShows() {
    startupFilePath = dir_.write("tone.wav", riffForm("WAVE", chunk("data", "ab")));
    ModalAnswerer answerer(QString::fromStdString(startupFilePath));
    DezoRaraClass window(mainWindowProc);
    window.show();
    QTRY_COMPARE(answerer.boxes.size(), 1);
    QVERIFY(!hasSampleData(scopeSession));
    QCOMPARE(ports_.requests, 0);

    window.windowSystem().sendMessage(commandMessage(CMD_OPEN));
    QCOMPARE(answerer.boxes.size(), 2);
    QCOMPARE(answerer.boxes[0], answerer.boxes[1]);
    QVERIFY(answerer.boxes[0].startsWith(QStringLiteral("Pinprobe: This is not a scope file")));
    QVERIFY(window.close());
}

void StartupFileTest::argumentsAnsweredBeforeAnyWindow_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("says");
    QTest::newRow("two files") << QStringList{"a.sco", "b.sco"} << 2 << "only one file";
    QTest::newRow("empty name") << QStringList{""} << 2 << "empty file name";
    QTest::newRow("unknown option") << QStringList{"--lpt9"} << 2 << "Unknown option 'lpt9'.";
    QTest::newRow("unknown beside Qt's")
        << QStringList{"-style", "fusion", "--bogus"} << 2 << "Unknown option 'bogus'.";
    QTest::newRow("two files beside Qt's")
        << QStringList{"-style", "fusion", "a.sco", "b.sco"} << 2 << "not also 'b.sco'";
    QTest::newRow("control characters")
        << QStringList{QStringLiteral("--x\x1b[2J")} << 2 << "Unknown option 'x\\x1b[2J'.";
    QTest::newRow("help beside Qt's")
        << QStringList{"-style", "fusion", "--help"} << 0 << "Usage: pinprobe [options] [FILE]";
    QTest::newRow("help") << QStringList{"--help"} << 0 << "--simulate";
    QTest::newRow("help on ports") << QStringList{"-h"} << 0 << "--lpt1 <PORT>";
    QTest::newRow("port choices taken")
        << QStringList{"--lpt1", "/dev/parport2", "--lpt2=0xd010", "--version"} << 0 << "pinprobe ";
    QTest::newRow("not a parport device")
        << QStringList{"--lpt1", "/dev/lp0"} << 2
        << "pinprobe: --lpt1 takes a device /dev/parportN or a base address such as 0xd010, not "
           "'/dev/lp0'";
    QTest::newRow("decimal base") << QStringList{"--lpt2=378"} << 2 << "--lpt2 takes a device";
    QTest::newRow("lpt name") << QStringList{"--lpt1", "lpt2"} << 2 << "--lpt1 takes a device";
    QTest::newRow("port missing") << QStringList{"--simulate", "--lpt2"} << 2
                                  << "Missing value after '--lpt2'.";
}

void StartupFileTest::argumentsAnsweredBeforeAnyWindow() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, says);
    QProcess program;
    program.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../shell/pinprobe"),
                  arguments);
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitCode(), status);
    const QString output =
        QString::fromUtf8(program.readAllStandardOutput() + program.readAllStandardError());
    QVERIFY2(output.contains(says), qPrintable(output));
}

// Qt's own options beside ours: the program gets as far as opening the file it was given, which
// the test sees through inotify.
void StartupFileTest::qtOptionsGoToQtAndTheProgramStarts() {
    const std::string file = dir_.write("start.sco", scopeFileBytes(std::string(10, '\x08')));
    const int watch = inotify_init1(IN_CLOEXEC);
    QVERIFY(watch >= 0);
    QVERIFY(inotify_add_watch(watch, file.c_str(), IN_OPEN) >= 0);
    QProcess program;
    program.start(
        QCoreApplication::applicationDirPath() + QStringLiteral("/../shell/pinprobe"),
        {QStringLiteral("-style"), QStringLiteral("fusion"), QStringLiteral("--simulate"),
         QStringLiteral("-platform"), QStringLiteral("offscreen"), QString::fromStdString(file)});
    QVERIFY(program.waitForStarted(10000));
    pollfd event{watch, POLLIN, 0};
    const int ready = poll(&event, 1, 30000);
    close(watch);
    const bool running = program.state() == QProcess::Running;
    program.kill();
    program.waitForFinished(10000);
    QVERIFY2(ready == 1 && running, program.readAllStandardError().constData());
}

PINPROBE_QT_TEST(StartupFileTest)
#include "qt_startup_file_test.moc"
