#include "cli/export_command.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "app/readout/period_text.h"
#include "cli/console_output.h"
#include "cli/file_error_report.h"
#include "cli/option_values.h"
#include "cli/output_files.h"
#include "cli/recording.h"
#include "core/printable_text.h"
#include "core/scope_session.h"
#include "export/export_job.h"
#include "scopefile/output_file.h"
#include "scopefile/scope_file.h"

namespace {

// A VCD or CSV may stretch a file's time further than a decoder could.
constexpr double kLongestExportPeriodSeconds = 1000.0;
constexpr const char* kStandardOutput = "-";

struct ExportOptions {
    std::string input;
    std::string output;
    ExportFormat format = ExportFormat::Vcd;
    double periodSeconds = kDefaultPeriodSeconds;
    bool periodGiven = false;  // else a file that keeps its times is exported on them
    bool waitForReader = false;
};

// "--format vcd|csv|sr (or --vcd, --csv, --sr)".
std::string formatSpellings() {
    std::string names;
    std::string flags;
    for (const ExportFormatInfo& info : exportFormats()) {
        names += (names.empty() ? "" : "|") + std::string(info.name);
        flags += (flags.empty() ? "--" : ", --") + std::string(info.name);
    }
    return "--format " + names + " (or " + flags + ")";
}

// --format NAME, or --NAME: exactly one of them.
std::string readFormat(const ParsedArguments& arguments, ExportFormat& format) {
    const ExportFormatInfo* chosen = nullptr;
    int given = arguments.has("--format");
    for (const ExportFormatInfo& info : exportFormats()) {
        if (arguments.has("--" + std::string(info.name))) {
            chosen = &info;
            ++given;
        }
    }
    if (given != 1) {
        return "choose one format: " + formatSpellings();
    }
    if (arguments.has("--format")) {
        chosen = findExportFormat(arguments.value("--format"));
    }
    if (chosen == nullptr) {
        return "--format takes " + exportFormatNames();
    }
    format = chosen->format;
    return {};
}

// The options, or the problem with them (empty when there is none).
std::string readExportOptions(const ParsedArguments& arguments, ExportOptions& options) {
    if (arguments.operands.size() != 1) {
        return arguments.operands.empty() ? "no file given" : "one file at a time";
    }
    options.input = arguments.operands[0];
    if (!arguments.has("-o")) {
        return "no output given: -o OUT (- for standard output)";
    }
    options.output = arguments.value("-o");
    if (std::string problem = outputPathProblem("-o", options.output); !problem.empty()) {
        return problem;
    }
    options.waitForReader = arguments.has("--wait-for-reader");
    if (std::string problem = readFormat(arguments, options.format); !problem.empty()) {
        return problem;
    }
    options.periodGiven = arguments.has("--period");
    if (!readPeriodOption(arguments, kShortestPeriodSeconds, kLongestExportPeriodSeconds,
                          options.periodSeconds)) {
        return "--period takes seconds from 1e-15 to 1000, e.g. 1e-6";
    }
    if (options.format == ExportFormat::Sigrok && rateForPeriod(options.periodSeconds) == 0) {
        return "--period is too long for a sigrok session, whose sample rate is at least 1 Hz";
    }
    return {};
}

bool exportToStandardOutput(const ExportJob& job, CliContext& context) {
    TextOutput text([&out = context.out](std::string_view piece) {
        out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
        return !out.flush().fail();
    });
    std::string problem;
    if (!writeExport(job, scopeSession.sampleData, scopeSession.sampleLength, text, problem)) {
        context.console.message("standard output: Cannot write the export: " + problem);
        return false;
    }
    if (!text.finish()) {
        printWriteFailure(context.console, "standard output", text.error());
        return false;
    }
    return true;
}

// Whether the output, however it is named (a link, a descriptor the shell opened on it), is the
// file the recording was read from, which the export would replace.
bool isTheInput(const OutputIdentity& output, const std::string& input) {
    struct stat read {};
    return stat(input.c_str(), &read) == 0 &&
           output == OutputIdentity{read.st_dev, read.st_ino, ""};
}

int refuseTheInput(const ExportOptions& options, CliContext& context) {
    return usageError(context, "export",
                      "-o " + printable(options.output) + " is the recording being exported (" +
                          printable(options.input) + "), which the export would write over");
}

int exportToFile(const ExportOptions& options, const ExportJob& job, CliContext& context) {
    OutputFile file;
    if (!openOutput(printFileErrors(context.console, options.output), options.output, file,
                    OutputOptions{options.waitForReader})) {
        return kExitFailure;
    }
    if (isTheInput(file.identity, options.input)) {
        return refuseTheInput(options, context);
    }
    return writeExportOutput(file, options.output, job, context) ? kExitSuccess : kExitFailure;
}

int exportToStandardOutput(const ExportOptions& options, const ExportJob& job,
                           CliContext& context) {
    struct stat standardOutput {};
    if (fstat(STDOUT_FILENO, &standardOutput) == 0 &&
        isTheInput(OutputIdentity{standardOutput.st_dev, standardOutput.st_ino, ""},
                   options.input)) {
        return refuseTheInput(options, context);
    }
    return exportToStandardOutput(job, context) ? kExitSuccess : kExitFailure;
}

}  // namespace

// The export replaces a file of that name only once it is complete, as a save does.
bool writeExportOutput(OutputFile& file, const std::string& path, const ExportJob& job,
                       CliContext& context) {
    ExportFailure failure;
    if (writeExportFile(file, job, scopeSession.sampleData, scopeSession.sampleLength, failure)) {
        return true;
    }
    if (!failure.problem.empty()) {
        context.console.message(printable(path) + ": Cannot write the export: " + failure.problem);
    } else {
        printWriteFailure(context.console, path, failure.error);
    }
    return false;
}

int runExportCommand(const ParsedArguments& arguments, CliContext& context) {
    ExportOptions options;
    if (const std::string problem = readExportOptions(arguments, options); !problem.empty()) {
        return usageError(context, "export", problem);
    }
    SessionScope session;
    if (!loadRecording(context.console, options.input)) {
        return kExitFailure;
    }
    ExportJob job;
    if (!options.periodGiven && scopeSession.timeBase.known()) {
        if (const std::string problem = captureExportJob(options.format, scopeSession, job);
            !problem.empty()) {
            context.console.message(printable(options.input) + ": Cannot export: " + problem);
            return kExitFailure;
        }
    } else if (const std::string problem = periodExportJob(options.format, options.periodSeconds,
                                                           scopeSession.sampleLength, job);
               !problem.empty()) {
        return usageError(context, "export", "--period is " + problem);
    }
    return options.output == kStandardOutput ? exportToStandardOutput(options, job, context)
                                             : exportToFile(options, job, context);
}
