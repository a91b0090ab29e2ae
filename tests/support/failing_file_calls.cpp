#include "tests/support/failing_file_calls.h"

#include <fcntl.h>

bool FailingFileCalls::failsNow(const char* kind) {
    calls.emplace_back(kind);
    if (!kindFailed_ && failingKind == kind) {
        kindFailed_ = true;
        return true;
    }
    return calls.size() == failingCall;
}

int FailingFileCalls::lstat(const std::string& path, struct stat& info) {
    return failsNow("lstat") ? -error : systemFileCalls().lstat(path, info);
}

int FailingFileCalls::readLink(const std::string& path, std::string& target) {
    return failsNow("readlink") ? -error : systemFileCalls().readLink(path, target);
}

int FailingFileCalls::mayWrite(const std::string& path) {
    return failsNow("access") ? -error : systemFileCalls().mayWrite(path);
}

int FailingFileCalls::open(const std::string& path, int flags, mode_t mode) {
    const bool creating = (flags & O_EXCL) != 0;
    if (failsNow(creating ? "create" : "open")) {
        return -error;
    }
    if (creating && createError != 0) {
        return -createError;
    }
    return systemFileCalls().open(path, flags, mode);
}

ssize_t FailingFileCalls::write(int fd, const void* bytes, size_t count) {
    return failsNow("write") ? -error : systemFileCalls().write(fd, bytes, count);
}

off_t FailingFileCalls::seek(int fd, off_t offset, int whence) {
    return failsNow("seek") ? -error : systemFileCalls().seek(fd, offset, whence);
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

int FailingFileCalls::rename(const std::string& from, const std::string& to) {
    return failsNow("rename") ? -error : systemFileCalls().rename(from, to);
}

int FailingFileCalls::unlink(const std::string& path) {
    return failsNow("unlink") ? -error : systemFileCalls().unlink(path);
}
