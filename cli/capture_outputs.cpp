#include "cli/capture_outputs.h"

#include <array>
#include <cmath>
#include <set>
#include <utility>

#include "cli/console_output.h"
#include "cli/export_command.h"
#include "cli/file_error_report.h"
#include "core/scope_session.h"
#include "scopefile/scope_file.h"

namespace {

struct FileOption {
    std::string_view name;
    std::string CaptureFiles::*file;
    OutputFile CaptureOutputs::*output;
};

constexpr std::array<FileOption, 4> kFileOptions{
    {{"-o", &CaptureFiles::scope, &CaptureOutputs::scope},
     {"--vcd", &CaptureFiles::vcd, &CaptureOutputs::vcd},
     {"--csv", &CaptureFiles::csv, &CaptureOutputs::csv},
     {"--sr", &CaptureFiles::sr, &CaptureOutputs::sr}}};

// The exports' time base: the measured period, to the picosecond, finer being noise.
std::string exportTiming(SampleTiming& timing) {
    const double period = std::round(scopeSession.samplePeriod * 1e12) / 1e12;
    if (period <= 0) {
        return "the capture was too short to measure its sample period";
    }
    if (!timingForPeriod(period, scopeSession.sampleLength, timing)) {
        return "the time stamps of a capture this long would not fit 64 bits";
    }
    return {};
}

// The exports' common time: the timing of the VCD and CSV, the grid of a sigrok session.
std::string exportJob(bool sigrok, ExportJob& job) {
    if (std::string problem = exportTiming(job.timing); !problem.empty()) {
        return problem;
    }
    if (sigrok && !sessionGrid(scopeSession, job.grid)) {
        return "the sampling stood still too long to put the capture on one time grid";
    }
    return {};
}

bool writeExports(const CaptureFiles& files, CaptureOutputs& outputs, CliContext& context) {
    const CaptureFiles exports{"", files.vcd, files.csv, files.sr};
    if (fileList(exports).empty()) {
        return true;
    }
    ExportJob job;
    if (const std::string problem = exportJob(!files.sr.empty(), job); !problem.empty()) {
        context.console.message(fileList(exports) + ": not written: " + problem);
        return false;
    }
    bool written = true;
    for (const auto& [path, output, format] :
         {std::tuple{&files.vcd, &outputs.vcd, ExportFormat::Vcd},
          {&files.csv, &outputs.csv, ExportFormat::Csv},
          {&files.sr, &outputs.sr, ExportFormat::Sigrok}}) {
        job.format = format;
        written = (path->empty() || writeExportOutput(*output, *path, job, context)) && written;
    }
    return written;
}

}  // namespace

std::string readCaptureFiles(const ParsedArguments& arguments, bool decoding, CaptureFiles& files) {
    std::set<std::string> named;
    for (const FileOption& option : kFileOptions) {
        const auto value = arguments.values.find(option.name);
        if (value == arguments.values.end()) {
            continue;
        }
        if (value->second.empty() || value->second == "-") {
            return std::string(option.name) +
                   " needs a file name: the capture's files cannot go to standard output";
        }
        if (!named.insert(value->second).second) {
            return "-o, --vcd, --csv and --sr must name different files";
        }
        files.*option.file = value->second;
    }
    return named.empty() && !decoding
               ? "no output given: -o FILE, --vcd FILE, --csv FILE, --sr FILE or -P DECODER"
               : "";
}

std::string fileList(const CaptureFiles& files) {
    std::string list;
    for (const FileOption& option : kFileOptions) {
        const std::string& file = files.*option.file;
        if (!file.empty()) {
            list += (list.empty() ? "" : ", ") + file;
        }
    }
    return list;
}

bool openCaptureOutputs(const CaptureFiles& files, CaptureOutputs& outputs, CliContext& context) {
    for (const FileOption& option : kFileOptions) {
        const std::string& path = files.*option.file;
        if (!path.empty() &&
            !openOutput(printFileErrors(context.console, path), path, outputs.*option.output)) {
            return false;
        }
    }
    return true;
}

bool writeCaptureOutputs(const CaptureFiles& files, CaptureOutputs& outputs, CliContext& context) {
    const bool scopeFileWritten =
        files.scope.empty() ||
        writeScopeOutput(printFileErrors(context.console, files.scope), outputs.scope,
                         scopeSession.sampleData, scopeSession.sampleLength);
    const bool exportsWritten = writeExports(files, outputs, context);
    return scopeFileWritten && exportsWritten;
}
