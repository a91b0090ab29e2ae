#include "cli/cli.h"

#include <span>
#include <string_view>

#include "cli/command_table.h"
#include "cli/console_output.h"
#include "cli/descriptor_output.h"
#include "cli/headless_window_system.h"
#include "cli/help_text.h"
#include "core/printable_text.h"
#include "resources/program_version.h"
#include "scopefile/file_calls.h"

namespace {

int runCommand(const Command& command, std::span<const std::string> arguments,
               CliContext& context) {
    ParsedArguments parsed;
    std::string problem;
    if (!parseArguments(arguments, command.options, parsed, problem)) {
        return usageError(context, command.name, problem);
    }
    if (parsed.help) {
        context.out << commandHelp(command);
        return kExitSuccess;
    }
    return command.run(parsed, context);
}

// "help" alone is the overview; "help COMMAND" that command's help.
int showHelp(std::span<const std::string> topics, CliContext& context) {
    if (topics.empty()) {
        context.out << overviewHelp(commands(), overviewIntroduction(), overviewNotes());
        return kExitSuccess;
    }
    const Command* command = findCommand(topics[0]);
    if (topics.size() > 1 || command == nullptr) {
        return usageError(context, "",
                          topics.size() > 1 ? "help takes one command"
                                            : "unknown command " + inQuotes(topics[0]));
    }
    context.out << commandHelp(*command);
    return kExitSuccess;
}

// The command line without the program's name.
int runLine(const std::vector<std::string>& arguments, CliContext& context) {
    if (arguments.empty()) {
        return usageError(context, "", "no command given");
    }
    const std::string& first = arguments[0];
    if (first == "--help" || first == "-h" || first == "help") {
        return showHelp(std::span(arguments).subspan(1), context);
    }
    if (first == "--version") {
        if (arguments.size() > 1) {
            return usageError(context, "",
                              "--version takes no argument: " + inQuotes(arguments[1]));
        }
        context.out << kCliName << ' ' << kProgramVersion << '\n';
        return kExitSuccess;
    }
    const Command* command = findCommand(first);
    if (command == nullptr) {
        return usageError(context, "", "unknown command " + inQuotes(first));
    }
    return runCommand(*command, std::span(arguments).subspan(1), context);
}

}  // namespace

int usageError(CliContext& context, std::string_view command, std::string_view problem) {
    std::string text(problem);
    text.append("\nTry 'pinprobe-cli ").append(command).append(command.empty() ? "" : " ");
    text.append("--help'.");
    context.console.message(text);
    return kExitUsage;
}

bool resultsDelivered(CliContext& context) {
    if (!context.out.flush().fail()) {
        return true;
    }
    const int error = writeErrorOf(context.out);
    context.console.message("standard output: Cannot write the results" +
                            (error != 0 ? ": " + systemErrorText(error) : std::string(".")));
    return false;
}

int runCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
           const CliEnvironment& environment) {
    ConsoleOutput console(err);
    HeadlessWindowSystem windows(console);
    CliContext context{out, console, windows, environment};
    const int status = runLine(arguments, context);
    // A command that failed has said so; one that did its work fails when its results did not
    // get where they were to go.
    if (status != kExitSuccess) {
        context.out.flush();
        return status;
    }
    return resultsDelivered(context) ? kExitSuccess : kExitFailure;
}
