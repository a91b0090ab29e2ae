#include "scopefile/output_file.h"

#include <fcntl.h>
#include <stdio_ext.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>

#include "scopefile/file_calls.h"

namespace {

constexpr int kMaxLinks = 40;  // as the kernel follows them
constexpr int kNameAttempts = 100;
constexpr size_t kMaxNameKept = 200;   // of the target's name, in the new name's
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

int closeFile(void* cookie) {
    auto& output = *static_cast<OutputFile*>(cookie);
    const int closed = fileCalls().close(output.fd);
    output.fd = -1;
    if (closed < 0) {
        errno = -closed;
        return -1;
    }
    return 0;
}

bool openStream(OutputFile& output) {
    output.stream = fopencookie(&output, "w", {nullptr, &writeToFile, &seekInFile, &closeFile});
    return output.stream != nullptr;
}

// --- where the bytes go ---

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Follows `path` through symbolic links to the name of the file to write, and what is there.
int resolveTarget(const std::string& path, std::string& target, struct stat& info, bool& exists) {
    target = path;
    for (int hops = 0; hops < kMaxLinks; ++hops) {
        const int looked = fileCalls().lstat(target, info);
        exists = looked == 0;
        if (looked < 0 || !S_ISLNK(info.st_mode)) {
            return looked == -ENOENT ? 0 : looked;
        }
        std::string link;
        if (const int read = fileCalls().readLink(target, link); read < 0) {
            return read;
        }
        target = link.starts_with('/') ? link : folderOf(target) + link;
    }
    return -ELOOP;
}

// A name beside `target` that no file is likely to have: ".NAME.XXXXXX.tmp".
std::string temporaryName(const std::string& target) {
    static std::atomic<uint64_t> counter{0};
    uint64_t mix =
        static_cast<uint64_t>(getpid()) << 32 ^ counter.fetch_add(1) ^
        static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::string suffix;
    for (int i = 0; i < 6; ++i, mix /= 36) {
        suffix += "0123456789abcdefghijklmnopqrstuvwxyz"[mix % 36];
    }
    const std::string folder = folderOf(target);
    const std::string name = target.substr(folder.size()).substr(0, kMaxNameKept);
    return folder + "." + name + "." + suffix + ".tmp";
}

// The old file's permissions, and its owner where this process may give it.
int keepAttributes(int fd, const struct stat& old) {
    (void)fileCalls().changeOwner(fd, old.st_uid, old.st_gid);
    return fileCalls().changeMode(fd, old.st_mode & kPermissionBits);
}

int createTemporary(OutputFile& output, const struct stat* old) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string name = temporaryName(output.target);
        const int fd = fileCalls().open(name, O_WRONLY | O_CREAT | O_EXCL, kNewFileMode);
        if (fd == -EEXIST) {
            continue;
        }
        if (fd < 0) {
            return fd;
        }
        output.fd = fd;
        output.temporary = name;
        output.way = OutputFile::Way::Replace;
        const int kept = old != nullptr ? keepAttributes(fd, *old) : 0;
        if (kept < 0) {
            discardOutputFile(output);
        }
        return kept;
    }
    return -EEXIST;
}

// Opens the target itself: a device or FIFO, or a file whose folder takes no new name.
int openTargetItself(OutputFile& output, OutputFile::Way way) {
    const int fd = fileCalls().open(output.target, O_WRONLY, 0);
    if (fd >= 0) {
        output.fd = fd;
        output.way = way;
    }
    return fd < 0 ? fd : 0;
}

// In a sticky folder (such as /tmp) only the owners may rename over a file of someone else's,
// which this process can still write in place.
bool mayNotRenameOver(const std::string& target, const struct stat& old) {
    struct stat folder {};
    const std::string name = folderOf(target);
    const uid_t self = geteuid();
    return self != 0 && old.st_uid != self &&
           fileCalls().lstat(name.empty() ? "." : name, folder) == 0 &&
           (folder.st_mode & S_ISVTX) != 0 && folder.st_uid != self;
}

int openForWriting(OutputFile& output, const std::string& path) {
    struct stat info {};
    bool exists = false;
    if (const int resolved = resolveTarget(path, output.target, info, exists); resolved < 0) {
        return resolved;
    }
    if (exists && S_ISDIR(info.st_mode)) {
        return -EISDIR;
    }
    if (exists && !S_ISREG(info.st_mode)) {
        return openTargetItself(output, OutputFile::Way::Direct);
    }
    // A file the user may not write stays protected, as it would be from a save in place.
    if (const int writable = exists ? fileCalls().mayWrite(output.target) : 0; writable < 0) {
        return writable;
    }
    if (exists && mayNotRenameOver(output.target, info)) {
        return openTargetItself(output, OutputFile::Way::InPlace);
    }
    const int created = createTemporary(output, exists ? &info : nullptr);
    if (exists && (created == -EACCES || created == -EPERM)) {
        return openTargetItself(output, OutputFile::Way::InPlace);
    }
    return created;
}

// --- putting it in place ---

bool failed(OutputFile& output, int error) {
    output.error = error;
    return false;
}

bool step(OutputFile& output, int result) {
    return result >= 0 || failed(output, -result);
}

// Makes the rename itself last; a folder that cannot be synced does not undo the save.
void syncFolder(const std::string& target) {
    const std::string folder = folderOf(target);
    const int fd = fileCalls().open(folder.empty() ? "." : folder, O_RDONLY | O_DIRECTORY, 0);
    if (fd >= 0) {
        (void)fileCalls().sync(fd);
        (void)fileCalls().close(fd);
    }
}

// Everything written reaches the disk: the stream's rest, the length in place, the sync.
bool flushToDisk(OutputFile& output) {
    if (std::fflush(output.stream) != 0) {
        return failed(output, errno);
    }
    if (output.way == OutputFile::Way::InPlace &&
        !step(output, fileCalls().truncate(output.fd, static_cast<off_t>(output.end)))) {
        return false;
    }
    return output.way == OutputFile::Way::Direct || step(output, fileCalls().sync(output.fd));
}

}  // namespace

bool openOutputFile(OutputFile& output, const std::string& path) {
    discardOutputFile(output);
    output.way = OutputFile::Way::Direct;
    output.error = 0;
    output.position = 0;
    output.end = 0;
    if (const int opened = openForWriting(output, path); opened < 0) {
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
    discardOutputFile(output);
    output.stream = stream;
    output.way = OutputFile::Way::Direct;
    output.error = 0;
}

bool commitOutputFile(OutputFile& output) {
    errno = 0;
    bool done = flushToDisk(output);
    if (std::fclose(output.stream) != 0 && done) {
        done = failed(output, errno);
    }
    output.stream = nullptr;
    if (done && output.way == OutputFile::Way::Replace) {
        done = step(output, fileCalls().rename(output.temporary, output.target));
        if (done) {
            output.temporary.clear();
            syncFolder(output.target);
        }
    }
    discardOutputFile(output);
    return done;
}

void discardOutputFile(OutputFile& output) {
    if (output.stream != nullptr) {
        __fpurge(output.stream);  // what is still buffered is dropped, not written on the way out
        std::fclose(output.stream);
        output.stream = nullptr;
    } else if (output.fd >= 0) {
        (void)fileCalls().close(output.fd);
        output.fd = -1;
    }
    if (!output.temporary.empty()) {
        (void)fileCalls().unlink(output.temporary);
        output.temporary.clear();
    }
}
