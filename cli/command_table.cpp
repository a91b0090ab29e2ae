#include "cli/command_table.h"

#include <algorithm>
#include <string>

#include "cli/capture_command.h"
#include "cli/capture_outputs.h"
#include "cli/decode_command.h"
#include "cli/decoders_command.h"
#include "cli/export_command.h"
#include "cli/info_command.h"
#include "export/export_format_table.h"

namespace {

const OptionSpec kWaitForReader{"--wait-for-reader", "",
                                "a FIFO that nothing reads yet is waited on rather than refused"};

// -P, -A and --samplenum, which capture and decode share.
std::vector<OptionSpec> decoderOptions() {
    return {
        {"-P", "STACK",
         "a decoder and its settings: KEY=VALUE sets an option (baudrate=9600) or maps one of its "
         "channels to ours (rx=select); decoders joined by commas stack, each taking the one "
         "before's output (i2c,eeprom24xx); each -P is a stack of its own. Our channels: error, "
         "select, paperout, ack, busy, by pin (pin13) or by number (1 to 5); without any, a "
         "decoder reads ours in order",
         true},
        {"-A", "SELECTION",
         "show only these decoders' annotations, or only the classes or rows named "
         "(uart=rx-data); repeatable",
         true},
        {"--samplenum", "",
         "put each annotation's first sample and the sample after its last before it: "
         "\"64-148 uart-1: 50\""},
        {"--verbose", "", "show a decoder that fails with its whole Python traceback"},
    };
}

std::vector<OptionSpec> captureOptions() {
    std::vector<OptionSpec> options = captureFileOptions();
    for (OptionSpec& option : decoderOptions()) {
        options.push_back(std::move(option));
    }
    const std::vector<OptionSpec> sampling{
        {"--port", "PORT",
         "lpt1 (the default): the port at 0x378, else the first port the kernel lists that is "
         "not at 0x278; lpt2: the port at 0x278, else the next listed one; or a device such as "
         "/dev/parport1, or a base address such as 0xd010"},
        {"--simulate", "", "sample the built-in simulated probe instead of the port"},
        {"--size", "N", "samples to take (default 5000)"},
        {"--duration", "T",
         "capture to disk for T (90s, 500ms, 10min, 2h): the samples go into -o FILE as they are "
         "taken, in blocks, memory staying small; a FILE ending in .sr is a sigrok session, any "
         "other a scope file"},
        {"--samples", "N",
         "capture to disk until N samples (50000, 2k, 50M) are written, as --duration does; with "
         "both, whichever comes first"},
        {"--speed", "S",
         "fastest (default): as fast as the port reads, on this thread; fast, slow: with a busy "
         "delay per sample; these keep N - 1 samples"},
        {"--trigger", "CH=C",
         "start on the first sample where every named channel (1 Error, 2 Select, 3 Out Of "
         "Paper, 4 Acknowledge, 5 Busy) meets its condition: 0 low, 1 high, r rising, f "
         "falling, e either edge (a channel alone; several of these: a change on any one); the "
         "fastest speed gives up waiting after 3,000,000 reads, captures anyway and says so"},
        {"--port-trigger", "CHS", "start on the first change of any of these channels"},
        {"--pre-trigger", "P%",
         "keep P% of the samples (0, 10, 25, 50, 75 or 90) from before the trigger; the "
         "trigger is looked for only once they are read, so it is always sample P% of N"},
        kWaitForReader,
    };
    options.insert(options.end(), sampling.begin(), sampling.end());
    return options;
}

// "vcd: a value change dump; csv: ...".
std::string formatChoices() {
    std::string text;
    for (const ExportFormatInfo& format : exportFormats()) {
        text += (text.empty() ? "" : "; ") + std::string(format.name) + ": " +
                std::string(format.summary);
    }
    return text;
}

std::vector<OptionSpec> exportOptions() {
    std::vector<OptionSpec> options{
        {"-o", "OUT", "the file to write (- for standard output)"},
        {"--format", "FORMAT", formatChoices()},
    };
    for (const ExportFormatInfo& format : exportFormats()) {
        options.push_back({"--" + std::string(format.name), "",
                           "the same as --format " + std::string(format.name)});
    }
    options.push_back({"--period", "S",
                       "time between two samples (default 1e-6), rounded to whole femtoseconds"});
    options.push_back(kWaitForReader);
    return options;
}

std::vector<OptionSpec> decodeOptions() {
    std::vector<OptionSpec> options = decoderOptions();
    options.push_back({"--period", "S",
                       "time between two samples: a scope file keeps no time, and decoders that "
                       "time their input (UART, ...) need it"});
    return options;
}

Command captureCommand() {
    return {
        "capture",
        "record samples from the port (or the simulated probe) into a scope file, a VCD, a CSV "
        "or a sigrok session, and decode them",
        "[OPTIONS]",
        "Records N samples of the status register into the files asked for (at least one, "
        "unless decoders are) and prints the number of samples kept, the time taken, the sample "
        "rate, the mean sample period measured around the sample loop, the gaps and the port "
        "used.",
        captureOptions(),
        "Each file must be a file of its own, and beside -P none may be standard output, "
        "however it is named (-, /dev/fd/1, the file the shell sent it to). With one of them on "
        "standard output the summary goes to standard error, so none may be the file standard "
        "error is (2>&1), unless that is a terminal.\n\n"
        "Ctrl+C is Break: at the fast and slow speeds it ends the capture after the sample "
        "being stored and the samples so far are written. Break does not end a trigger wait: a "
        "second Ctrl+C abandons the capture without writing (exit status 130). The fastest "
        "capture cannot be broken: Ctrl+C says so at once, with how long it still takes; a "
        "second Ctrl+C ends the program.\n\n"
        "A capture to disk (--duration, --samples) writes -o FILE only, a file that is whole "
        "after every block of about half a second: Ctrl+C, SIGTERM, SIGHUP and a full disk end "
        "it, and the file keeps every sample before the end. Progress shows on standard error "
        "while it runs.\n\n"
        "When no way to the port works (direct I/O, /dev/parportN), the reasons and remedies "
        "are printed, no file is written (an existing one stays as it was) and the exit status "
        "is 3.",
        &runCaptureCommand};
}

Command infoCommand() {
    return {"info",
            "tell the length, each channel's levels and changes, and the too-slow verdict",
            "FILE",
            "Prints the number of samples in scope file FILE, then per channel: its level at the "
            "first sample, how often it changes, and the shortest run (the fewest samples a level "
            "lasted between two changes, 'none' with fewer than two changes); then whether the "
            "recording shows a level of one or two samples, for which the desktop program warns "
            "\"Too Slow\".",
            {},
            "",
            &runInfoCommand};
}

Command exportCommand() {
    return {"export",
            "write a scope file as a value change dump (VCD), as CSV or as a sigrok session",
            "FILE -o OUT --format FORMAT [OPTIONS]",
            "Writes the samples of scope file FILE to OUT.",
            exportOptions(),
            "A value change dump has a wire per channel, its initial value and its changes. Its "
            "$timescale is the coarsest unit that counts the period exactly while a sample is at "
            "most 10 of them long; else it is the finest unit of which a sample is at most 10, and "
            "the time stamps are rounded to it (sigrok reads a VCD once per unit): --period "
            "1.047e-6 gives 1 us. A CSV table has a header line, then per sample its number, its "
            "time in seconds (exact) and the five levels. A sigrok session keeps its sample rate "
            "in whole hertz: a period whose rate is not, by more than half a sample over the "
            "recording, is refused with the nearest one that is.",
            &runExportCommand};
}

Command decodeCommand() {
    return {
        "decode",
        "run protocol decoders (UART, I2C, SPI, ...) over a scope file",
        "FILE -P STACK [OPTIONS]",
        "Runs protocol decoders over scope file FILE and prints their annotations as sigrok-cli "
        "does, one a line: \"uart-1: 50\".",
        decodeOptions(),
        "Decoders see the level at the connector pin: Busy, which the port inverts, is put "
        "right for them (traces and exports show the register as read).",
        &runDecodeCommand};
}

Command decodersCommand() {
    return {"decoders",
            "list the protocol decoders, or show one with its channels and options",
            "[NAME]",
            "Lists the protocol decoders with their channels (optional ones in brackets) and their "
            "options with the defaults; with NAME, shows that decoder in full: channels, options "
            "with their choices, annotation classes and rows (for -A), and its documentation.",
            {},
            "",
            &runDecodersCommand};
}

std::vector<Command> makeCommands() {
    return {captureCommand(), infoCommand(), exportCommand(), decodeCommand(), decodersCommand()};
}

}  // namespace

std::span<const Command> commands() {
    static const std::vector<Command> table = makeCommands();
    return table;
}

const Command* findCommand(std::string_view name) {
    const std::span<const Command> all = commands();
    const auto found = std::find_if(all.begin(), all.end(),
                                    [&](const Command& command) { return command.name == name; });
    return found != all.end() ? &*found : nullptr;
}

std::string_view overviewIntroduction() {
    return "Capture from the printer port's status lines and work with scope files, without a "
           "screen.";
}

std::string_view overviewNotes() {
    return "'pinprobe-cli COMMAND --help' (or 'pinprobe-cli help COMMAND') tells more about a "
           "command; --version shows the version.\n\n"
           "Exit status: 0 done; 1 a file could not be read or written (standard output among "
           "them) or a decoder failed; 2 wrong arguments (a decoder's option, a period a format "
           "cannot keep, an output that is the input among them); 3 no way to the port worked; "
           "130 a capture abandoned with a second Ctrl+C; 128 + N when signal N (SIGINT, SIGTERM, "
           "SIGHUP, SIGQUIT, SIGUSR1, ...) ended the command: the files it had completed are "
           "kept, its unfinished ones removed.\n\n"
           "Files are replaced only once they are complete, keeping the old file's owner, mode "
           "and other names (hard links). /dev/stdout, /dev/fd/N and /proc/self/fd/N are written "
           "through that descriptor as the shell opened it; a FIFO is written once something "
           "reads it.";
}
