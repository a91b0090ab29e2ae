#include <QApplication>
#include <csignal>
#include <memory>

#include "app/window/main_window_proc.h"
#include "capture/port_access_factory.h"
#include "capture/sampling_worker.h"
#include "capture/status_port.h"
#include "scopefile/unfinished_outputs.h"
#include "shell/qt_command_line.h"
#include "shell/qt_display_check.h"
#include "shell/qt_main_window.h"

namespace {

constexpr int kUsageError = 2;
constexpr int kNoDisplay = 1;

}  // namespace

int main(int argc, char** argv) {
    DesktopCommandLine commandLine(argc, argv);
    DesktopArguments arguments;
    ArgumentsRead read = commandLine.read(arguments);
    if (read == ArgumentsRead::Answered || read == ArgumentsRead::Wrong) {
        return read == ArgumentsRead::Answered ? 0 : kUsageError;
    }
    if (!expectDisplay(argc, argv)) {
        return kNoDisplay;
    }
    // Qt takes its own options (-style, -platform) out of the arguments.
    QApplication app(argc, argv);
    displayOpened();
    if (read == ArgumentsRead::ForQt) {
        read = commandLine.read(arguments, QApplication::arguments());
        if (read != ArgumentsRead::Run) {
            return read == ArgumentsRead::Answered ? 0 : kUsageError;
        }
    }
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.pinprobe.Pinprobe"));
    // A save to a FIFO whose reader went away fails with a message instead of ending the
    // program; a signal that ends it during a save leaves no temporary behind.
    std::signal(SIGPIPE, SIG_IGN);
    endCleanlyOnSignals();
    const std::unique_ptr<PortAccess> ports =
        makePortAccess(arguments.simulate, arguments.portChoices);
    workerLink.ports = ports.get();
    startupFilePath = arguments.file;
    {
        DezoRaraClass mainWindow(mainWindowProc);
        mainWindow.show();
        QApplication::exec();
    }
    workerLink.ports = nullptr;
    return 0;
}
