#include "scopefile/output_file.h"

#include <fcntl.h>
#include <stdio_ext.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "scopefile/file_calls.h"
#include "scopefile/in_place_copy.h"
#include "scopefile/output_target.h"
#include "scopefile/unfinished_outputs.h"

namespace {

constexpr mode_t kNewFileMode = 0666;  // less the umask, as any new file
constexpr mode_t kPermissionBits = 07777;

// --- the stream over the file layer ---

// Gives the bytes written; fewer than asked (errno set) when a write failed. Never negative:
// stdio takes that for a count.
ssize_t writeToFile(void* cookie, const char* bytes, size_t count) {
    auto& output = *static_cast<OutputFile*>(cookie);
    size_t done = 0;
    while (done < count) {
        const ssize_t written = fileCalls().write(output.fd, bytes + done, count - done);
        if (written == -EINTR) {
            continue;
        }
        if (written <= 0) {
            errno = written < 0 ? static_cast<int>(-written) : EIO;
            break;
        }
        done += static_cast<size_t>(written);
        output.position += static_cast<uint64_t>(written);
        output.end = std::max(output.end, output.position);
    }
    return static_cast<ssize_t>(done);
}

int seekInFile(void* cookie, off64_t* offset, int whence) {
    auto& output = *static_cast<OutputFile*>(cookie);
    const off_t reached = fileCalls().seek(output.fd, static_cast<off_t>(*offset), whence);
    if (reached < 0) {
        errno = static_cast<int>(-reached);
        return -1;
    }
    output.position = static_cast<uint64_t>(reached);
    *offset = reached;
    return 0;
}

// The descriptor outlives the stream: a temporary may still be copied into the target.
int keepFileOpen(void*) {
    return 0;
}

bool openStream(OutputFile& output) {
    output.stream = fopencookie(&output, "w", {nullptr, &writeToFile, &seekInFile, &keepFileOpen});
    return output.stream != nullptr;
}

// --- putting it in place ---

bool failed(OutputFile& output, int error) {
    output.error = error;
    return false;
}

bool step(OutputFile& output, int result) {
    return result >= 0 || failed(output, -result);
}

int closeStep(int& fd) {
    const int closed = fd >= 0 ? fileCalls().close(fd) : 0;
    fd = -1;
    return closed;
}

mode_t currentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// The old file's owner where this process may give it, and its permissions; a new file's are
// those any new file gets. Given only now, when the content is complete.
int giveAttributes(OutputFile& output) {
    if (!output.hadOld) {
        return fileCalls().changeMode(output.fd, kNewFileMode & ~currentUmask());
    }
    (void)fileCalls().changeOwner(output.fd, output.old.st_uid, output.old.st_gid);
    return fileCalls().changeMode(output.fd, output.old.st_mode & kPermissionBits);
}

// Makes the rename itself last; a folder that cannot be synced does not undo the save.
void syncFolder(const OutputFile& output) {
    const int fd = fileCalls().openAt(output.folder, ".", O_RDONLY | O_DIRECTORY, 0);
    if (fd >= 0) {
        (void)fileCalls().sync(fd);
        (void)fileCalls().close(fd);
    }
}

// Copies the complete temporary into the target; a signal waits until it is done.
bool rewriteTarget(OutputFile& output) {
    EndingSignalsHeld held;
    return step(output, rewriteInPlace(output.fd, output.target, output.end,
                                       static_cast<uint64_t>(output.old.st_size)));
}

bool replaceTarget(OutputFile& output) {
    if (!step(output, giveAttributes(output)) || !step(output, fileCalls().sync(output.fd)) ||
        !step(output, closeStep(output.fd))) {
        return false;
    }
    const int renamed =
        fileCalls().renameAt(output.folder, output.temporary, output.folder, output.name);
    // Someone else's file in a sticky folder: this process may write it, not rename over it.
    if ((renamed == -EPERM || renamed == -EACCES) && output.target >= 0) {
        output.fd = fileCalls().openAt(output.folder, output.temporary, O_RDONLY, 0);
        return step(output, output.fd) && rewriteTarget(output);
    }
    if (!step(output, renamed)) {
        return false;
    }
    output.temporary.clear();
    syncFolder(output);
    return true;
}

bool finishStream(OutputFile& output) {
    bool done = std::fflush(output.stream) == 0 || failed(output, errno);
    if (std::fclose(output.stream) != 0 && done) {
        done = failed(output, errno);
    }
    output.stream = nullptr;
    return done;
}

bool putInPlace(OutputFile& output) {
    switch (output.way) {
        case OutputFile::Way::Replace:
            return replaceTarget(output);
        case OutputFile::Way::InPlace:
            return rewriteTarget(output);
        case OutputFile::Way::Direct:
            break;
    }
    return step(output, closeStep(output.fd));
}

void startAfresh(OutputFile& output) {
    discardOutputFile(output);
    output.way = OutputFile::Way::Direct;
    output.error = 0;
    output.note.clear();
    output.identity = {};
    output.hadOld = false;
    output.position = 0;
    output.end = 0;
}

}  // namespace

bool openOutputFile(OutputFile& output, const std::string& path, const OutputOptions& options) {
    startAfresh(output);
    if (const int opened = openOutputTarget(output, path, options); opened < 0) {
        discardOutputFile(output);
        return failed(output, -opened);
    }
    if (!openStream(output)) {
        const int error = errno;
        discardOutputFile(output);
        return failed(output, error);
    }
    return true;
}

void attachOutputFile(OutputFile& output, std::FILE* stream) {
    startAfresh(output);
    output.stream = stream;
}

bool commitOutputFile(OutputFile& output) {
    errno = 0;
    const bool done = finishStream(output) && putInPlace(output);
    discardOutputFile(output);
    return done;
}

void discardOutputFile(OutputFile& output) {
    if (output.stream != nullptr) {
        __fpurge(output.stream);  // what is still buffered is dropped, not written on the way out
        std::fclose(output.stream);
        output.stream = nullptr;
    }
    closeIfOpen(output.fd);
    closeIfOpen(output.target);
    if (!output.temporary.empty()) {
        (void)fileCalls().unlinkAt(output.folder, output.temporary);
        output.temporary.clear();
    }
    forgetUnfinished(output.unfinishedEntry);
    output.unfinishedEntry = -1;
    closeIfOpen(output.folder);
}
