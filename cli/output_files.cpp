#include "cli/output_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include "cli/file_error_report.h"
#include "core/printable_text.h"
#include "scopefile/scope_file.h"

namespace {

bool asked(const NamedOutput& output) {
    return !output.path.empty();
}

}  // namespace

std::string outputPathProblem(std::string_view option, std::string_view value) {
    return value.empty() ? std::string(option) + " was given an empty file name" : std::string();
}

bool openNamedOutputs(std::span<const NamedOutput> outputs, const OutputOptions& options,
                      CliContext& context) {
    for (const NamedOutput& output : outputs) {
        if (asked(output) && !openOutput(printFileErrors(context.console, output.path), output.path,
                                         *output.file, options)) {
            return false;
        }
    }
    return true;
}

std::string sameFileProblem(std::span<const NamedOutput> outputs) {
    for (size_t i = 0; i < outputs.size(); ++i) {
        for (size_t j = i + 1; j < outputs.size(); ++j) {
            if (asked(outputs[i]) && asked(outputs[j]) &&
                outputs[i].file->identity == outputs[j].file->identity) {
                return std::string(outputs[i].option) + " and " + std::string(outputs[j].option) +
                       " name the same file (" + printable(outputs[i].path) + ", " +
                       printable(outputs[j].path) + ")";
            }
        }
    }
    return {};
}

const NamedOutput* outputOnStandardOutput(std::span<const NamedOutput> outputs) {
    struct stat standardOutput {};
    if (fstat(STDOUT_FILENO, &standardOutput) != 0) {
        return nullptr;
    }
    const OutputIdentity identity{standardOutput.st_dev, standardOutput.st_ino, ""};
    for (const NamedOutput& output : outputs) {
        if (asked(output) && output.file->identity == identity) {
            return &output;
        }
    }
    return nullptr;
}
