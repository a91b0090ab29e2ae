#include "cli/capture_outputs.h"

#include <array>
#include <set>
#include <tuple>

#include "cli/console_output.h"
#include "cli/export_command.h"
#include "cli/file_error_report.h"
#include "cli/output_files.h"
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

std::array<NamedOutput, kFileOptions.size()> namedOutputs(const CaptureFiles& files,
                                                          CaptureOutputs& outputs) {
    std::array<NamedOutput, kFileOptions.size()> named;
    for (size_t i = 0; i < kFileOptions.size(); ++i) {
        const FileOption& option = kFileOptions[i];
        named[i] = NamedOutput{option.name, files.*option.file, &(outputs.*option.output)};
    }
    return named;
}

bool writeExports(const CaptureFiles& files, CaptureOutputs& outputs, CliContext& context) {
    const CaptureFiles exports{"", files.vcd, files.csv, files.sr};
    if (fileList(exports).empty()) {
        return true;
    }
    // One job for all three: the VCD and CSV read its timing, a sigrok session its grid.
    ExportJob job;
    const ExportFormat widest = files.sr.empty() ? ExportFormat::Vcd : ExportFormat::Sigrok;
    if (const std::string problem = captureExportJob(widest, scopeSession, job); !problem.empty()) {
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
        if (std::string problem = outputPathProblem(option.name, value->second); !problem.empty()) {
            return problem;
        }
        const std::string path = value->second == "-" ? "/dev/stdout" : value->second;
        if (!named.insert(path).second) {
            return "-o, --vcd, --csv and --sr must name different files";
        }
        if (decoding && path == "/dev/stdout") {
            return std::string(option.name) +
                   " and the decoders' annotations cannot both go to standard output";
        }
        files.*option.file = path;
    }
    files.waitForReader = arguments.has("--wait-for-reader");
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

int openCaptureOutputs(const CaptureFiles& files, CaptureOutputs& outputs, CliContext& context) {
    const auto named = namedOutputs(files, outputs);
    if (!openNamedOutputs(named, OutputOptions{files.waitForReader}, context)) {
        return kExitFailure;
    }
    const std::string problem = sameFileProblem(named);
    return problem.empty() ? kExitSuccess : usageError(context, "capture", problem);
}

bool captureWritesToStandardOutput(const CaptureFiles& files, CaptureOutputs& outputs) {
    return writesToStandardOutput(namedOutputs(files, outputs));
}

bool writeCaptureOutputs(const CaptureFiles& files, CaptureOutputs& outputs, CliContext& context) {
    const bool scopeFileWritten =
        files.scope.empty() ||
        writeScopeOutput(printFileErrors(context.console, files.scope), outputs.scope,
                         scopeSession.sampleData, scopeSession.sampleLength);
    const bool exportsWritten = writeExports(files, outputs, context);
    return scopeFileWritten && exportsWritten;
}
