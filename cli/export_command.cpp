#include "cli/export_command.h"

#include <fstream>
#include <string>

#include "cli/export_formats.h"
#include "cli/file_error_report.h"
#include "cli/recording.h"
#include "core/scope_session.h"
#include "resources/string_table.h"
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

bool writeExport(const ExportOptions& options, const SampleTiming& timing, std::ostream& stream) {
    TextOutput text(stream);
    if (options.vcd) {
        writeVcd(scopeSession.sampleData, scopeSession.sampleLength, timing, text);
    } else {
        writeCsv(scopeSession.sampleData, scopeSession.sampleLength, timing, text);
    }
    return text.finish();
}

// Writes to the file or standard output; reports a failure as the scope-file writer would.
bool exportTo(const ExportOptions& options, const SampleTiming& timing, CliContext& context) {
    if (options.output == kStandardOutput) {
        const bool written = writeExport(options, timing, context.out);
        if (!written) {
            printFileErrors(context.console, "standard output")(IDS_CANNOT_WRITE_DATA);
        }
        return written;
    }
    const FileErrorReport report = printFileErrors(context.console, options.output);
    std::ofstream file(options.output, std::ios::binary | std::ios::trunc);
    if (!file.is_open()) {
        report(IDS_CANNOT_OPEN_FILE);
        return false;
    }
    bool written = writeExport(options, timing, file);
    file.close();
    if (!written || file.fail()) {
        report(IDS_CANNOT_WRITE_DATA);
        return false;
    }
    return true;
}

}  // namespace

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
    return exportTo(options, timing, context) ? kExitSuccess : kExitFailure;
}
