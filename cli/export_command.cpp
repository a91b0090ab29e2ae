#include "cli/export_command.h"

#include <cstdio>
#include <string>

#include "cli/file_error_report.h"
#include "cli/output_files.h"
#include "cli/recording.h"
#include "core/scope_session.h"
#include "export/export_formats.h"
#include "scopefile/output_file.h"
#include "scopefile/scope_file.h"

namespace {

constexpr double kDefaultPeriodSeconds = 1e-6;
constexpr double kMinPeriodSeconds = 1e-15;
constexpr double kMaxPeriodSeconds = 1000.0;
constexpr const char* kStandardOutput = "-";

struct ExportOptions {
    std::string input;
    std::string output;
    bool vcd = false;
    double periodSeconds = kDefaultPeriodSeconds;
    bool waitForReader = false;
};

// The options, or the problem with them (empty when there is none).
std::string readExportOptions(const ParsedArguments& arguments, ExportOptions& options) {
    if (arguments.operands.size() != 1) {
        return arguments.operands.empty() ? "no file given" : "one file at a time";
    }
    options.input = arguments.operands[0];
    if (!arguments.has("-o")) {
        return "no output given: -o OUT (- for standard output)";
    }
    options.output = arguments.values.find("-o")->second;
    if (std::string problem = outputPathProblem("-o", options.output); !problem.empty()) {
        return problem;
    }
    options.waitForReader = arguments.has("--wait-for-reader");
    if (arguments.has("--vcd") == arguments.has("--csv")) {
        return "choose one format: --vcd or --csv";
    }
    options.vcd = arguments.has("--vcd");
    const auto period = arguments.values.find("--period");
    if (period != arguments.values.end() &&
        (!parseSeconds(period->second, options.periodSeconds) ||
         options.periodSeconds < kMinPeriodSeconds || options.periodSeconds > kMaxPeriodSeconds)) {
        return "--period takes seconds from 1e-15 to 1000, e.g. 1e-6";
    }
    return {};
}

void writeExport(bool vcd, const SampleTiming& timing, TextOutput& text) {
    if (vcd) {
        writeVcd(scopeSession.sampleData, scopeSession.sampleLength, timing, text);
    } else {
        writeCsv(scopeSession.sampleData, scopeSession.sampleLength, timing, text);
    }
}

bool exportToStandardOutput(const ExportOptions& options, const SampleTiming& timing,
                            CliContext& context) {
    TextOutput text([&out = context.out](std::string_view piece) {
        out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
        return !out.flush().fail();
    });
    writeExport(options.vcd, timing, text);
    if (!text.finish()) {
        printWriteFailure(context.console, "standard output", text.error());
        return false;
    }
    return true;
}

bool exportToFile(const ExportOptions& options, const SampleTiming& timing, CliContext& context) {
    OutputFile file;
    return openOutput(printFileErrors(context.console, options.output), options.output, file,
                      OutputOptions{options.waitForReader}) &&
           writeExportOutput(file, options.output, options.vcd, timing, context);
}

}  // namespace

// The export replaces a file of that name only once it is complete, as a save does.
bool writeExportOutput(OutputFile& file, const std::string& path, bool vcd,
                       const SampleTiming& timing, CliContext& context) {
    TextOutput text([&file](std::string_view piece) {
        return std::fwrite(piece.data(), 1, piece.size(), file.stream) == piece.size();
    });
    writeExport(vcd, timing, text);
    if (!text.finish()) {
        printWriteFailure(context.console, path, text.error());
        discardOutputFile(file);
        return false;
    }
    if (!commitOutputFile(file)) {
        printWriteFailure(context.console, path, file.error);
        return false;
    }
    return true;
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
    SampleTiming timing;
    if (!timingForPeriod(options.periodSeconds, scopeSession.sampleLength, timing)) {
        return usageError(context, "export",
                          "--period is too fine for a recording this long: its time stamps would "
                          "not fit 64 bits");
    }
    const bool written = options.output == kStandardOutput
                             ? exportToStandardOutput(options, timing, context)
                             : exportToFile(options, timing, context);
    return written ? kExitSuccess : kExitFailure;
}
