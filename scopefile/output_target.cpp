#include "scopefile/output_target.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>

#include "scopefile/descriptor_name.h"
#include "scopefile/file_calls.h"
#include "scopefile/unfinished_outputs.h"

namespace {

constexpr int kNameAttempts = 100;
constexpr size_t kMaxNameKept = 200;  // of the target's name, in the temporary's
constexpr mode_t kTemporaryMode = 0600;
constexpr const char* kEmptyName = "An empty file name";
constexpr const char* kNoReader = "Nothing reads this FIFO";
constexpr const char* kNotForWriting = "The descriptor is not open for writing";

struct PathParts {
    std::string folder;
    std::string name;
};

// The folder to open and the name in it; false for a path that ends in a folder ("a/", "..").
bool splitPath(const std::string& path, PathParts& parts) {
    const size_t slash = path.rfind('/');
    parts.name = slash == std::string::npos ? path : path.substr(slash + 1);
    parts.folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    return !parts.name.empty() && parts.name != "." && parts.name != "..";
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A name beside the target that no file is likely to have: ".NAME.XXXXXX.tmp".
std::string temporaryName(const std::string& target) {
    static std::atomic<uint64_t> counter{0};
    uint64_t mix =
        static_cast<uint64_t>(getpid()) << 32 ^ counter.fetch_add(1) ^
        static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::string suffix;
    for (int i = 0; i < 6; ++i, mix /= 36) {
        suffix += "0123456789abcdefghijklmnopqrstuvwxyz"[mix % 36];
    }
    return "." + target.substr(0, kMaxNameKept) + "." + suffix + ".tmp";
}

// Readable and writable by this user alone until the content is complete; in the list of
// unfinished outputs before a signal could end the program.
int createTemporary(OutputFile& output) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string name = temporaryName(output.name);
        EndingSignalsHeld held;
        const int fd = fileCalls().openAt(output.folder, name, O_RDWR | O_CREAT | O_EXCL | O_NOCTTY,
                                          kTemporaryMode);
        if (fd == -EEXIST) {
            continue;
        }
        if (fd < 0) {
            return fd;
        }
        output.fd = fd;
        output.temporary = name;
        output.unfinishedEntry = rememberUnfinished(output.folder, name);
        return 0;
    }
    return -EEXIST;
}

// Where the content waits when the target's folder takes no new name: a file without a name in
// the system's temporary folder, gone with the descriptor. When there is none, the note says
// which folder failed, as the target's own error would mislead.
int createUnnamedStaging(OutputFile& output) {
    const char* given = std::getenv("TMPDIR");
    const bool named = given != nullptr && *given != '\0';
    const std::string folder = named ? given : "/tmp";
    const int fd =
        fileCalls().openAt(AT_FDCWD, folder, O_TMPFILE | O_RDWR | O_EXCL, kTemporaryMode);
    if (fd < 0) {
        output.note = "No temporary file to rewrite it in place can be made in " + folder +
                      (named ? " (TMPDIR): " : ": ") + systemErrorText(-fd);
        return fd;
    }
    output.fd = fd;
    return 0;
}

int identify(OutputFile& output, int fd, const std::string& name) {
    struct stat info {};
    if (const int looked = fileCalls().statOf(fd, info); looked < 0) {
        return looked;
    }
    output.identity = OutputIdentity{info.st_dev, info.st_ino, name};
    return 0;
}

// Written as the descriptor stands: its append mode, its position, its file.
int openDescriptor(OutputFile& output, int descriptor) {
    const int flags = fileCalls().control(descriptor, F_GETFL, 0);
    if (flags < 0) {
        return flags;
    }
    if ((flags & O_ACCMODE) == O_RDONLY) {
        output.note = kNotForWriting;
        return -EBADF;
    }
    output.fd = fileCalls().control(descriptor, F_DUPFD_CLOEXEC, 0);
    if (output.fd < 0) {
        const int error = output.fd;
        output.fd = -1;
        return error;
    }
    return identify(output, output.fd, "");
}

// A FIFO or a device: written as it comes, blocking again once it is open.
int writeDirectly(OutputFile& output, int fd) {
    output.fd = fd;
    const int flags = fileCalls().control(fd, F_GETFL, 0);
    return flags < 0 ? flags : fileCalls().control(fd, F_SETFL, flags & ~O_NONBLOCK);
}

// Sets `output.folder` and `output.name` to where the file the kernel opened has its name: the
// name given, or, reached through a link, the place the kernel tells. False when unknown.
bool locateTarget(OutputFile& output, const struct stat& file) {
    struct stat entry {};
    if (fileCalls().statAt(output.folder, output.name, entry, AT_SYMLINK_NOFOLLOW) == 0 &&
        sameFile(entry, file)) {
        return true;
    }
    std::string where;
    PathParts parts;
    if (fileCalls().readLink("/proc/self/fd/" + std::to_string(output.target), where) < 0 ||
        !where.starts_with('/') || !splitPath(where, parts)) {
        return false;
    }
    const int folder = fileCalls().openAt(AT_FDCWD, parts.folder, O_PATH | O_DIRECTORY, 0);
    if (folder < 0) {
        return false;
    }
    if (fileCalls().statAt(folder, parts.name, entry, AT_SYMLINK_NOFOLLOW) != 0 ||
        !sameFile(entry, file)) {
        (void)fileCalls().close(folder);
        return false;
    }
    closeIfOpen(output.folder);
    output.folder = folder;
    output.name = parts.name;
    return true;
}

// The regular file the kernel opened: replaced by a new one when it has this one name and its
// folder takes the temporary, else rewritten in place from a temporary.
int openExisting(OutputFile& output, int target) {
    struct stat info {};
    if (const int looked = fileCalls().statOf(target, info); looked < 0) {
        (void)fileCalls().close(target);
        return looked;
    }
    output.identity = OutputIdentity{info.st_dev, info.st_ino, ""};
    if (!S_ISREG(info.st_mode)) {
        return writeDirectly(output, target);
    }
    output.target = target;
    output.hadOld = true;
    output.old = info;
    if (locateTarget(output, info)) {
        const int created = createTemporary(output);
        if (created == 0) {
            output.way = info.st_nlink == 1 ? OutputFile::Way::Replace : OutputFile::Way::InPlace;
            return 0;
        }
        if (created != -EACCES && created != -EPERM) {
            return created;
        }
    }
    output.way = OutputFile::Way::InPlace;
    return createUnnamedStaging(output);
}

// A new file: its temporary in its folder, renamed to its name once complete.
int openNewHere(OutputFile& output) {
    output.way = OutputFile::Way::Replace;
    if (const int identified = identify(output, output.folder, output.name); identified < 0) {
        return identified;
    }
    return createTemporary(output);
}

// A link to a file that does not exist yet: the kernel creates the file it names (refusing a
// protected link), which then makes way for the new file where it lies.
int createThroughLink(OutputFile& output) {
    const int target = fileCalls().openAt(output.folder, output.name, O_WRONLY | O_CREAT | O_NOCTTY,
                                          kTemporaryMode);
    if (target < 0) {
        return target;
    }
    struct stat info {};
    output.target = target;
    if (fileCalls().statOf(target, info) < 0 || !locateTarget(output, info)) {
        output.target = -1;
        return openExisting(output, target);
    }
    closeIfOpen(output.target);
    (void)fileCalls().unlinkAt(output.folder, output.name);
    return openNewHere(output);
}

int openMissing(OutputFile& output) {
    struct stat entry {};
    const int looked = fileCalls().statAt(output.folder, output.name, entry, AT_SYMLINK_NOFOLLOW);
    if (looked == 0 && S_ISLNK(entry.st_mode)) {
        return createThroughLink(output);
    }
    return looked == -ENOENT ? openNewHere(output) : -ENOENT;
}

// A path that ends in a folder ("a/", "a/.."), as the kernel sees it: not a folder (ENOTDIR),
// not there (ENOENT), else a folder, which takes no output (EISDIR).
int endingInFolder(const std::string& path) {
    struct stat info {};
    const int looked = fileCalls().statAt(AT_FDCWD, path, info, 0);
    return looked < 0 ? looked : -EISDIR;
}

bool isFifo(const OutputFile& output) {
    struct stat info {};
    return fileCalls().statAt(output.folder, output.name, info, 0) == 0 && S_ISFIFO(info.st_mode);
}

}  // namespace

void closeIfOpen(int& fd) {
    if (fd >= 0) {
        (void)fileCalls().close(fd);
        fd = -1;
    }
}

int openOutputTarget(OutputFile& output, const std::string& path, const OutputOptions& options) {
    if (path.empty()) {
        output.note = kEmptyName;
        return -ENOENT;
    }
    if (const int descriptor = descriptorNamed(path); descriptor >= 0) {
        return openDescriptor(output, descriptor);
    }
    PathParts parts;
    if (!splitPath(path, parts)) {
        return endingInFolder(path);
    }
    const int folder = fileCalls().openAt(AT_FDCWD, parts.folder, O_PATH | O_DIRECTORY, 0);
    if (folder < 0) {
        return folder;
    }
    output.folder = folder;
    output.name = parts.name;
    // Without a reader a FIFO would hold the open forever; only a caller who asked waits.
    const int waiting = options.waitForReader ? 0 : O_NONBLOCK;
    const int target = fileCalls().openAt(folder, parts.name, O_WRONLY | O_NOCTTY | waiting, 0);
    if (target == -ENOENT) {
        return openMissing(output);
    }
    if (target == -ENXIO && isFifo(output)) {
        output.note = kNoReader;
    }
    return target < 0 ? target : openExisting(output, target);
}
