#include "tests/support/failing_file_calls.h"

#include <fcntl.h>

namespace {

const char* openKind(int flags) {
    if ((flags & O_TMPFILE) == O_TMPFILE) {
        return "tmpfile";
    }
    return (flags & O_EXCL) != 0 ? "create" : "open";
}

}  // namespace

bool FailingFileCalls::failsNow(const char* kind) {
    calls.emplace_back(kind);
    if (failingKind == kind && ++kindCalls_ == failingKindAt) {
        return true;
    }
    return calls.size() == failingCall;
}

int FailingFileCalls::openAt(int folder, const std::string& name, int flags, mode_t mode) {
    const char* kind = openKind(flags);
    if (failsNow(kind)) {
        return -error;
    }
    if (kind == std::string("create") && createError != 0) {
        return -createError;
    }
    return systemFileCalls().openAt(folder, name, flags, mode);
}

int FailingFileCalls::statAt(int folder, const std::string& name, struct stat& info, int flags) {
    return failsNow("stat") ? -error : systemFileCalls().statAt(folder, name, info, flags);
}

int FailingFileCalls::statOf(int fd, struct stat& info) {
    return failsNow("fstat") ? -error : systemFileCalls().statOf(fd, info);
}

int FailingFileCalls::readLink(const std::string& path, std::string& target) {
    return failsNow("readlink") ? -error : systemFileCalls().readLink(path, target);
}

int FailingFileCalls::control(int fd, int command, int value) {
    return failsNow("fcntl") ? -error : systemFileCalls().control(fd, command, value);
}

ssize_t FailingFileCalls::write(int fd, const void* bytes, size_t count) {
    return failsNow("write") ? -error : systemFileCalls().write(fd, bytes, count);
}

ssize_t FailingFileCalls::readAt(int fd, void* bytes, size_t count, off_t offset) {
    return failsNow("read") ? -error : systemFileCalls().readAt(fd, bytes, count, offset);
}

ssize_t FailingFileCalls::writeAt(int fd, const void* bytes, size_t count, off_t offset) {
    return failsNow("pwrite") ? -error : systemFileCalls().writeAt(fd, bytes, count, offset);
}

off_t FailingFileCalls::seek(int fd, off_t offset, int whence) {
    return failsNow("seek") ? -error : systemFileCalls().seek(fd, offset, whence);
}

int FailingFileCalls::allocate(int fd, off_t length) {
    return failsNow("allocate") ? -error : systemFileCalls().allocate(fd, length);
}

int FailingFileCalls::truncate(int fd, off_t length) {
    return failsNow("truncate") ? -error : systemFileCalls().truncate(fd, length);
}

int FailingFileCalls::changeOwner(int fd, uid_t owner, gid_t group) {
    return failsNow("chown") ? -error : systemFileCalls().changeOwner(fd, owner, group);
}

int FailingFileCalls::changeMode(int fd, mode_t mode) {
    return failsNow("chmod") ? -error : systemFileCalls().changeMode(fd, mode);
}

int FailingFileCalls::sync(int fd) {
    return failsNow("sync") ? -error : systemFileCalls().sync(fd);
}

int FailingFileCalls::close(int fd) {
    // A close that fails still lets go of the descriptor, as the system's does.
    const int closed = systemFileCalls().close(fd);
    return failsNow("close") ? -error : closed;
}

int FailingFileCalls::renameAt(int fromFolder, const std::string& from, int toFolder,
                               const std::string& to) {
    if (failsNow("rename")) {
        return -error;
    }
    return renameError != 0 ? -renameError
                            : systemFileCalls().renameAt(fromFolder, from, toFolder, to);
}

int FailingFileCalls::unlinkAt(int folder, const std::string& name) {
    return failsNow("unlink") ? -error : systemFileCalls().unlinkAt(folder, name);
}
