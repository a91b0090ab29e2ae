#include "cli/cli.h"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>

#include "cli/capture_command.h"
#include "cli/console_output.h"
#include "cli/decode_command.h"
#include "cli/decoders_command.h"
#include "cli/export_command.h"
#include "cli/headless_window_system.h"
#include "cli/info_command.h"
#include "resources/dialog_templates.h"

namespace {

constexpr std::string_view kOverview =
    "Usage: pinprobe-cli COMMAND [OPTIONS]\n"
    "Capture from the printer port's status lines and work with scope files, without a screen.\n"
    "\n"
    "Commands:\n"
    "  capture   record samples from the port (or the simulated probe) into a scope file,\n"
    "            a VCD or a CSV\n"
    "  info      tell the length, each channel's levels and changes, and the too-slow verdict\n"
    "  export    write a scope file as a value change dump (VCD), as CSV or as a sigrok\n"
    "            session\n"
    "  decode    run protocol decoders (UART, I2C, SPI, ...) over a scope file\n"
    "  decoders  list the protocol decoders, or show one with its channels and options\n"
    "\n"
    "'pinprobe-cli COMMAND --help' tells more about a command; --version shows the version.\n"
    "\n"
    "Exit status: 0 done; 1 a file could not be read or written; 2 wrong arguments; 3 no way\n"
    "to the port worked; 130 a capture abandoned with a second Ctrl+C; 128 + N when signal N\n"
    "(SIGINT, SIGTERM, SIGHUP) ended the command, its unfinished files removed.\n"
    "\n"
    "Files are replaced only once they are complete, keeping the old file's owner, mode and\n"
    "other names (hard links). /dev/stdout, /dev/fd/N and /proc/self/fd/N are written through\n"
    "that descriptor as the shell opened it; a FIFO is written once something reads it.\n";

constexpr std::string_view kCaptureHelp =
    "Usage: pinprobe-cli capture [-o FILE] [--vcd FILE] [--csv FILE] [--port PORT]\n"
    "                            [--simulate] [--size N] [--speed fastest|fast|slow]\n"
    "                            [--trigger CH[,CH...]] [--wait-for-reader]\n"
    "Records N samples of the status register into the files asked for (at least one) and\n"
    "prints the number of samples kept, the time taken, the sample rate, the mean sample\n"
    "period measured around the sample loop and the port used.\n"
    "\n"
    "  -o FILE        the scope file to write (replaced if it exists; - for standard output)\n"
    "  --vcd FILE     a value change dump, as export writes it, timed by the measured period\n"
    "  --csv FILE     a table, as export writes it, timed by the measured period\n"
    "  --port PORT    lpt1 (the default): the port at 0x378, else the first port the kernel\n"
    "                 lists that is not at 0x278; lpt2: the port at 0x278, else the next listed\n"
    "                 one; or a device such as /dev/parport1, or a base address such as 0xd010\n"
    "  --simulate     sample the built-in simulated probe instead of the port\n"
    "  --size N       samples to take (default 5000)\n"
    "  --speed S      fastest (default): as fast as the port reads, on this thread;\n"
    "                 fast, slow: with a busy delay per sample; these keep N - 1 samples\n"
    "  --trigger CHS  start on the first change of any of these channels (1 Error, 2 Select,\n"
    "                 3 Out Of Paper, 4 Acknowledge, 5 Busy); the fastest speed gives up\n"
    "                 waiting after 3,000,000 reads, captures anyway and says so\n"
    "  --wait-for-reader  a FIFO that nothing reads yet is waited on rather than refused\n"
    "\n"
    "Each file must be a file of its own. With one of them on standard output the summary\n"
    "goes to standard error.\n"
    "\n"
    "Ctrl+C is Break: at the fast and slow speeds it ends the capture after the sample being\n"
    "stored and the samples so far are written. Break does not end a trigger wait: a second\n"
    "Ctrl+C abandons the capture without writing (exit status 130). The fastest capture\n"
    "cannot be broken; a second Ctrl+C ends the program.\n"
    "\n"
    "When no way to the port works (direct I/O, /dev/parportN), the reasons and remedies are\n"
    "printed, FILE is not written (an existing one stays as it was) and the exit status is 3.\n";

constexpr std::string_view kDecodeHelp =
    "Usage: pinprobe-cli decode FILE -P DECODER[:KEY=VALUE...][,DECODER...] [-P ...]\n"
    "                           [-A DECODER[=CLASS[:CLASS...]][,...]] [--samplenum]\n"
    "                           [--period SECONDS]\n"
    "Runs protocol decoders over scope file FILE and prints their annotations as sigrok-cli\n"
    "does, one a line: \"uart-1: 50\".\n"
    "\n"
    "  -P STACK       a decoder and its settings: KEY=VALUE sets an option (baudrate=9600)\n"
    "                 or maps one of its channels to ours (rx=select); decoders joined by\n"
    "                 commas stack, each taking the one before's output (i2c,eeprom24xx);\n"
    "                 each -P is a stack of its own\n"
    "                 channels: error, select, paperout, ack, busy, by pin (pin13) or by\n"
    "                 number (1 to 5); without any, a decoder reads ours in order\n"
    "  -A SELECTION   show only these decoders' annotations, or only the classes or rows\n"
    "                 named (uart=rx-data); repeatable\n"
    "  --samplenum    put each annotation's first sample and the sample after its last\n"
    "                 before it: \"64-148 uart-1: 50\"\n"
    "  --period S     time between two samples: a scope file keeps no time, and decoders\n"
    "                 that time their input (UART, ...) need it\n"
    "\n"
    "Decoders see the level at the connector pin: Busy, which the port inverts, is put\n"
    "right for them (traces and exports show the register as read).\n";

constexpr std::string_view kDecodersHelp =
    "Usage: pinprobe-cli decoders [NAME]\n"
    "Lists the protocol decoders with their channels (optional ones in brackets) and their\n"
    "options with the defaults; with NAME, shows that decoder in full: channels, options\n"
    "with their choices, annotation classes and rows (for -A), and its documentation.\n";

constexpr std::string_view kInfoHelp =
    "Usage: pinprobe-cli info FILE\n"
    "Prints the number of samples in scope file FILE, then per channel: its level at the first\n"
    "sample, how often it changes, and the shortest run (the fewest samples a level lasted\n"
    "between two changes, 'none' with fewer than two changes); then whether the recording\n"
    "shows a level of one or two samples, for which the desktop program warns \"Too Slow\".\n";

constexpr std::string_view kExportHelp =
    "Usage: pinprobe-cli export FILE -o OUT (--vcd | --csv) [--period SECONDS]\n"
    "                           [--wait-for-reader]\n"
    "Writes the samples of scope file FILE to OUT ('-' for standard output).\n"
    "\n"
    "  --vcd           a value change dump: a wire per channel, its initial value, its changes\n"
    "  --csv           a header line, then per sample: number, time in seconds, five levels\n"
    "  --period S      time between two samples (default 1e-6), rounded to whole femtoseconds;\n"
    "                  the VCD's timescale is the coarsest unit that counts it exactly\n"
    "  --wait-for-reader  a FIFO that nothing reads yet is waited on rather than refused\n";

using CommandRun = int (*)(const ParsedArguments&, CliContext&);

struct Command {
    std::string_view name;
    std::span<const OptionSpec> options;
    std::string_view help;
    CommandRun run;
};

constexpr std::array kCaptureOptions{
    OptionSpec{"-o", true},           OptionSpec{"--vcd", true},    OptionSpec{"--csv", true},
    OptionSpec{"--sr", true},         OptionSpec{"-P", true, true}, OptionSpec{"-A", true, true},
    OptionSpec{"--samplenum", false}, OptionSpec{"--port", true},   OptionSpec{"--simulate", false},
    OptionSpec{"--size", true},       OptionSpec{"--speed", true},  OptionSpec{"--trigger", true},
    OptionSpec{"--wait-for-reader", false}};
constexpr std::array<OptionSpec, 0> kInfoOptions{};
constexpr std::array kExportOptions{OptionSpec{"-o", true},         OptionSpec{"--format", true},
                                    OptionSpec{"--vcd", false},     OptionSpec{"--csv", false},
                                    OptionSpec{"--period", true},   OptionSpec{"--wait-for-reader", false}};

constexpr std::array kDecodeOptions{OptionSpec{"-P", true, true}, OptionSpec{"-A", true, true},
                                    OptionSpec{"--samplenum", false}, OptionSpec{"--period", true}};
constexpr std::array<OptionSpec, 0> kDecodersOptions{};

constexpr std::array kCommands{
    Command{"capture", kCaptureOptions, kCaptureHelp, &runCaptureCommand},
    Command{"info", kInfoOptions, kInfoHelp, &runInfoCommand},
    Command{"export", kExportOptions, kExportHelp, &runExportCommand},
    Command{"decode", kDecodeOptions, kDecodeHelp, &runDecodeCommand},
    Command{"decoders", kDecodersOptions, kDecodersHelp, &runDecodersCommand},
};

const Command* findCommand(std::string_view name) {
    const auto found = std::find_if(kCommands.begin(), kCommands.end(),
                                    [&](const Command& command) { return command.name == name; });
    return found != kCommands.end() ? &*found : nullptr;
}

int runCommand(const Command& command, std::span<const std::string> arguments,
               CliContext& context) {
    ParsedArguments parsed;
    std::string problem;
    if (!parseArguments(arguments, command.options, parsed, problem)) {
        return usageError(context, command.name, problem);
    }
    if (parsed.help) {
        context.out << command.help;
        return kExitSuccess;
    }
    return command.run(parsed, context);
}

}  // namespace

int usageError(CliContext& context, std::string_view command, std::string_view problem) {
    std::string text(problem);
    text.append("\nTry 'pinprobe-cli ").append(command).append(command.empty() ? "" : " ");
    text.append("--help'.");
    context.console.message(text);
    return kExitUsage;
}

int runCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
           const CliEnvironment& environment) {
    ConsoleOutput console(err);
    HeadlessWindowSystem windows(console);
    CliContext context{out, console, windows, environment};
    if (arguments.empty()) {
        return usageError(context, "", "no command given");
    }
    const std::string& first = arguments[0];
    if (first == "--help" || first == "-h" || first == "help") {
        out << kOverview;
        return kExitSuccess;
    }
    if (first == "--version") {
        if (arguments.size() > 1) {
            return usageError(context, "", "--version takes no argument: '" + arguments[1] + "'");
        }
        out << kCliName << ' ' << kProgramVersion << '\n';
        return kExitSuccess;
    }
    const Command* command = findCommand(first);
    if (command == nullptr) {
        return usageError(context, "", "unknown command '" + first + "'");
    }
    return runCommand(*command, std::span(arguments).subspan(1), context);
}
