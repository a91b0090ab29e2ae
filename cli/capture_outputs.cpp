#include "cli/capture_outputs.h"

#include <set>

#include "cli/console_output.h"
#include "cli/export_command.h"
#include "cli/file_error_report.h"
#include "cli/output_files.h"
#include "core/printable_text.h"
#include "core/scope_session.h"
#include "scopefile/recording_times.h"
#include "scopefile/scope_file.h"

namespace {

constexpr size_t kScopeFile = 0;

// The file of the export in `format`.
size_t exportSlot(ExportFormat format) {
    const std::span<const ExportFormatInfo> formats = exportFormats();
    size_t index = 0;
    while (formats[index].format != format) {
        ++index;
    }
    return 1 + index;
}

std::array<NamedOutput, kCaptureFileCount> namedOutputs(const CaptureFiles& files,
                                                        CaptureOutputs& outputs) {
    const std::vector<OptionSpec> options = captureFileOptions();
    std::array<NamedOutput, kCaptureFileCount> named;
    for (size_t slot = 0; slot < kCaptureFileCount; ++slot) {
        named[slot] = NamedOutput{options[slot].name, files.paths[slot], &outputs.files[slot]};
    }
    return named;
}

bool writeExports(const CaptureFiles& files, CaptureOutputs& outputs, CliContext& context) {
    CaptureFiles exports = files;
    exports.paths[kScopeFile].clear();
    if (fileList(exports).empty()) {
        return true;
    }
    // One job for all of them: the VCD and CSV read its timing, a sigrok session its grid.
    ExportJob job;
    const bool onGrid = !files.paths[exportSlot(ExportFormat::Sigrok)].empty();
    if (const std::string problem =
            captureExportJob(onGrid ? ExportFormat::Sigrok : ExportFormat::Vcd, scopeSession, job);
        !problem.empty()) {
        context.console.message(fileList(exports) + ": not written: " + problem);
        return false;
    }
    bool written = true;
    for (const ExportFormatInfo& format : exportFormats()) {
        const size_t slot = exportSlot(format.format);
        job.format = format.format;
        written = (files.paths[slot].empty() ||
                   writeExportOutput(outputs.files[slot], files.paths[slot], job, context)) &&
                  written;
    }
    return written;
}

// "-o FILE, --vcd FILE, --csv FILE, --sr FILE": the file options, each followed by `after`.
std::string optionList(std::string_view after, std::string_view lastSeparator) {
    const std::vector<OptionSpec> options = captureFileOptions();
    std::string list;
    for (size_t i = 0; i < options.size(); ++i) {
        list += i == 0 ? "" : (i + 1 == options.size() ? lastSeparator : ", ");
        list += options[i].name + std::string(after);
    }
    return list;
}

}  // namespace

std::vector<OptionSpec> captureFileOptions() {
    std::vector<OptionSpec> options{
        {"-o", "FILE", "the scope file to write (- for standard output)"}};
    for (const ExportFormatInfo& format : exportFormats()) {
        options.push_back(
            {"--" + std::string(format.name), "FILE",
             std::string(format.summary) + ", as export writes it, timed by the capture's clock"});
    }
    return options;
}

std::string readCaptureFiles(const ParsedArguments& arguments, bool decoding, CaptureFiles& files) {
    const std::vector<OptionSpec> options = captureFileOptions();
    std::set<std::string> named;
    for (size_t slot = 0; slot < kCaptureFileCount; ++slot) {
        const std::string& option = options[slot].name;
        if (!arguments.has(option)) {
            continue;
        }
        const std::string value = arguments.value(option);
        if (std::string problem = outputPathProblem(option, value); !problem.empty()) {
            return problem;
        }
        const std::string path = value == "-" ? "/dev/stdout" : value;
        if (!named.insert(path).second) {
            return optionList("", " and ") + " must name different files";
        }
        files.paths[slot] = path;
    }
    files.waitForReader = arguments.has("--wait-for-reader");
    return named.empty() && !decoding
               ? "no output given: " + optionList(" FILE", ", ") + " or -P DECODER"
               : "";
}

std::string fileList(const CaptureFiles& files) {
    std::string list;
    for (const std::string& file : files.paths) {
        if (!file.empty()) {
            list += (list.empty() ? "" : ", ") + printable(file);
        }
    }
    return list;
}

int openCaptureOutputs(const CaptureFiles& files, bool decoding, CaptureOutputs& outputs,
                       CliContext& context) {
    const auto named = namedOutputs(files, outputs);
    if (!openNamedOutputs(named, OutputOptions{files.waitForReader}, context)) {
        return kExitFailure;
    }
    std::string problem = sameFileProblem(named);
    // However it is named (-, /dev/fd/1, a path to the file the shell sent it to), a file on
    // standard output would have the annotations written into it.
    const NamedOutput* onStandardOutput = outputOnStandardOutput(named);
    if (problem.empty() && decoding && onStandardOutput != nullptr) {
        problem = onStandardOutput->option + " " + printable(onStandardOutput->path) +
                  " is standard output, where the decoders' annotations go";
    }
    // A warning during the capture, or the summary put off standard output, would land in it.
    if (const NamedOutput* amidMessages = outputAmidMessages(named);
        problem.empty() && amidMessages != nullptr) {
        problem = amidMessages->option + " " + printable(amidMessages->path) +
                  " is standard error, where the messages and the summary go";
    }
    return problem.empty() ? kExitSuccess : usageError(context, "capture", problem);
}

bool captureWritesToStandardOutput(const CaptureFiles& files, CaptureOutputs& outputs) {
    return outputOnStandardOutput(namedOutputs(files, outputs)) != nullptr;
}

bool writeCaptureOutputs(const CaptureFiles& files, CaptureOutputs& outputs, CliContext& context) {
    const std::string& scope = files.paths[kScopeFile];
    const RecordingTimes times = recordingTimesOf(scopeSession);
    const bool scopeFileWritten =
        scope.empty() ||
        writeScopeOutput(printFileErrors(context.console, scope), outputs.files[kScopeFile],
                         scopeSession.sampleData, scopeSession.sampleLength, &times);
    const bool exportsWritten = writeExports(files, outputs, context);
    return scopeFileWritten && exportsWritten;
}
