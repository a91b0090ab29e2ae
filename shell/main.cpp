#include <QApplication>
#include <csignal>
#include <cstdio>
#include <memory>
#include <string>

#include "app/window/main_window_proc.h"
#include "capture/port_access_factory.h"
#include "capture/port_choice.h"
#include "capture/sampling_worker.h"
#include "capture/status_port.h"
#include "resources/dialog_templates.h"
#include "scopefile/unfinished_outputs.h"
#include "shell/qt_display_check.h"
#include "shell/qt_main_window.h"

namespace {

constexpr int kUsageError = 2;
constexpr int kNoDisplay = 1;

constexpr const char* kUsage =
    "Usage: pinprobe [--lpt1 PORT] [--lpt2 PORT] [--simulate] [FILE]\n"
    "Five-channel logic recorder on the printer port's status lines.\n"
    "\n"
    "  --simulate   sample a built-in simulated probe instead of the printer port\n"
    "  --lpt1 PORT  the port the Port menu's LPT1 reads: a device such as /dev/parport1 or a\n"
    "               base address such as 0xd010 (default: the port at 0x378, else the first\n"
    "               other port the kernel lists)\n"
    "  --lpt2 PORT  the same for LPT2 (default: the port at 0x278, else the next listed one)\n"
    "  --help       show this text and exit\n"
    "  --version    show the version and exit\n"
    "  FILE         open this scope file at start-up instead of taking a first capture\n";

enum class Outcome { Run, Exit, UsageError };

struct Arguments {
    Outcome outcome = Outcome::Run;
    bool simulate = false;
    PortChoices portChoices;  // --lpt1 and --lpt2
    std::string file;         // empty: start with a capture
};

Outcome usageError(const char* problem, const std::string& argument) {
    std::fprintf(stderr, "pinprobe: %s '%s'\n%s", problem, argument.c_str(), kUsage);
    return Outcome::UsageError;
}

Outcome readOption(const std::string& option, Arguments& arguments) {
    if (option == "--help") {
        std::fputs(kUsage, stdout);
        return Outcome::Exit;
    }
    if (option == "--version") {
        std::printf("pinprobe %.*s\n", static_cast<int>(kProgramVersion.size()),
                    kProgramVersion.data());
        return Outcome::Exit;
    }
    if (option != "--simulate") {
        return usageError("unknown option", option);
    }
    arguments.simulate = true;
    return Outcome::Run;
}

bool isPortOption(const std::string& argument) {
    const std::string name = argument.substr(0, argument.find('='));
    return name == "--lpt1" || name == "--lpt2";
}

// "--lpt1 PORT" or "--lpt1=PORT" at argv[i]; moves i past a value given apart.
Outcome readPortOption(int argc, char** argv, int& i, Arguments& arguments) {
    const std::string argument = argv[i];
    const size_t equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    if (equals == std::string::npos && i + 1 >= argc) {
        return usageError("a device /dev/parportN or a base address must follow", name);
    }
    const std::string value = equals != std::string::npos ? argument.substr(equals + 1) : argv[++i];
    PortChoice& choice = arguments.portChoices[name == "--lpt1" ? 0 : 1];
    if (!parsePortLocation(value, choice)) {
        const std::string problem =
            name + " takes a device /dev/parportN or a base address such as 0xd010, not";
        return usageError(problem.c_str(), value);
    }
    return Outcome::Run;
}

// Our own options and one file; Qt gets none of them. "--" ends the options.
Arguments readArguments(int argc, char** argv) {
    Arguments arguments;
    bool optionsEnded = false;
    for (int i = 1; i < argc && arguments.outcome == Outcome::Run; ++i) {
        const std::string argument = argv[i];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && isPortOption(argument)) {
            arguments.outcome = readPortOption(argc, argv, i, arguments);
        } else if (!optionsEnded && argument.starts_with('-')) {
            arguments.outcome = readOption(argument, arguments);
        } else if (argument.empty() || !arguments.file.empty()) {
            arguments.outcome = usageError(
                argument.empty() ? "empty file name" : "only one file can be opened, not also",
                argument);
        } else {
            arguments.file = argument;
        }
    }
    return arguments;
}

}  // namespace

int main(int argc, char** argv) {
    const Arguments arguments = readArguments(argc, argv);
    if (arguments.outcome != Outcome::Run) {
        return arguments.outcome == Outcome::Exit ? 0 : kUsageError;
    }
    if (!expectDisplay()) {
        return kNoDisplay;
    }
    // Qt sees no arguments: the program has none of its own for it.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    displayOpened();
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
