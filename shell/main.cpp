#include <QApplication>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "capture/port_access_factory.h"
#include "capture/sampling_worker.h"
#include "capture/status_port.h"
#include "resources/dialog_templates.h"
#include "shell/qt_main_window.h"

namespace {

constexpr int kUsageError = 2;

constexpr const char* kUsage =
    "Usage: pinprobe [--simulate]\n"
    "Five-channel logic recorder on the printer port's status lines.\n"
    "\n"
    "  --simulate  sample a built-in simulated probe instead of the printer port\n"
    "  --help      show this text and exit\n"
    "  --version   show the version and exit\n";

enum class Start { Run, RunSimulated, Exit, UsageError };

// Only our own three options: the program takes no other argument, Qt's included.
Start readArguments(int argc, char** argv) {
    Start start = Start::Run;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help") {
            std::fputs(kUsage, stdout);
            return Start::Exit;
        }
        if (argument == "--version") {
            std::printf("pinprobe %.*s\n", static_cast<int>(kProgramVersion.size()),
                        kProgramVersion.data());
            return Start::Exit;
        }
        if (argument != "--simulate") {
            std::fprintf(stderr, "pinprobe: unknown argument '%s'\n%s", argv[i], kUsage);
            return Start::UsageError;
        }
        start = Start::RunSimulated;
    }
    return start;
}

}  // namespace

int main(int argc, char** argv) {
    const Start start = readArguments(argc, argv);
    if (start == Start::Exit) {
        return 0;
    }
    if (start == Start::UsageError) {
        return kUsageError;
    }
    // Qt sees no arguments: the program has none of its own for it.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    const std::unique_ptr<PortAccess> ports = makePortAccess(start == Start::RunSimulated);
    workerLink.ports = ports.get();
    {
        DezoRaraClass mainWindow(mainWindowProc);
        mainWindow.show();
        QApplication::exec();
    }
    workerLink.ports = nullptr;
    return 0;
}
