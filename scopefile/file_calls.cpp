#include "scopefile/file_calls.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <vector>

namespace {

template <typename Result>
Result resultOf(Result returned) {
    return returned < 0 ? -errno : returned;
}

class LinuxFileCalls final : public FileCalls {
public:
    int lstat(const std::string& path, struct stat& info) override {
        return resultOf(::lstat(path.c_str(), &info));
    }
    int readLink(const std::string& path, std::string& target) override {
        std::vector<char> buffer(256);
        for (;;) {
            const ssize_t length = ::readlink(path.c_str(), buffer.data(), buffer.size());
            if (length < 0) {
                return -errno;
            }
            if (static_cast<size_t>(length) < buffer.size()) {
                target.assign(buffer.data(), static_cast<size_t>(length));
                return 0;
            }
            buffer.resize(buffer.size() * 2);
        }
    }
    int mayWrite(const std::string& path) override {
        return resultOf(::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS));
    }
    int open(const std::string& path, int flags, mode_t mode) override {
        return resultOf(::open(path.c_str(), flags | O_CLOEXEC, mode));
    }
    ssize_t write(int fd, const void* bytes, size_t count) override {
        return resultOf(::write(fd, bytes, count));
    }
    off_t seek(int fd, off_t offset, int whence) override {
        return resultOf(::lseek(fd, offset, whence));
    }
    int truncate(int fd, off_t length) override { return resultOf(::ftruncate(fd, length)); }
    int changeOwner(int fd, uid_t owner, gid_t group) override {
        return resultOf(::fchown(fd, owner, group));
    }
    int changeMode(int fd, mode_t mode) override { return resultOf(::fchmod(fd, mode)); }
    int sync(int fd) override { return resultOf(::fsync(fd)); }
    int close(int fd) override { return resultOf(::close(fd)); }
    int rename(const std::string& from, const std::string& to) override {
        return resultOf(::rename(from.c_str(), to.c_str()));
    }
    int unlink(const std::string& path) override { return resultOf(::unlink(path.c_str())); }
};

FileCalls* installedCalls = nullptr;

}  // namespace

FileCalls& systemFileCalls() {
    static LinuxFileCalls calls;
    return calls;
}

FileCalls& fileCalls() {
    return installedCalls != nullptr ? *installedCalls : systemFileCalls();
}

void setFileCalls(FileCalls* calls) {
    installedCalls = calls;
}

std::string systemErrorText(int error) {
    return std::generic_category().message(error);
}
