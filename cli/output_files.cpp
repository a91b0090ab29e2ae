#include "cli/output_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "cli/file_error_report.h"
#include "core/printable_text.h"
#include "scopefile/scope_file.h"

namespace {

bool asked(const NamedOutput& output) {
    return !output.path.empty();
}

// The opened output that writes to the file `descriptor` is.
const NamedOutput* outputOnDescriptor(std::span<const NamedOutput> outputs, int descriptor) {
    struct stat target {};
    // One that takes no writes (closed, and so held by a placeholder) receives nothing.
    const int flags = fcntl(descriptor, F_GETFL);
    if (flags == -1 || (flags & O_ACCMODE) == O_RDONLY || fstat(descriptor, &target) != 0) {
        return nullptr;
    }
    const OutputIdentity identity{target.st_dev, target.st_ino, ""};
    for (const NamedOutput& output : outputs) {
        if (asked(output) && output.file->identity == identity) {
            return &output;
        }
    }
    return nullptr;
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
    return outputOnDescriptor(outputs, STDOUT_FILENO);
}

const NamedOutput* outputAmidMessages(std::span<const NamedOutput> outputs) {
    struct stat target {};
    // Messages among the lines of a terminal, or into /dev/null, spoil no file.
    if (fstat(STDERR_FILENO, &target) != 0 || S_ISCHR(target.st_mode)) {
        return nullptr;
    }
    return outputOnDescriptor(outputs, STDERR_FILENO);
}
