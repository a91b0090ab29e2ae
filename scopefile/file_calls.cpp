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
    int openAt(int folder, const std::string& name, int flags, mode_t mode) override {
        return resultOf(::openat(folder, name.c_str(), flags | O_CLOEXEC, mode));
    }
    int statAt(int folder, const std::string& name, struct stat& info, int flags) override {
        return resultOf(::fstatat(folder, name.c_str(), &info, flags));
    }
    int statOf(int fd, struct stat& info) override { return resultOf(::fstat(fd, &info)); }
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
    int control(int fd, int command, int value) override {
        return resultOf(::fcntl(fd, command, value));
    }
    ssize_t write(int fd, const void* bytes, size_t count) override {
        return resultOf(::write(fd, bytes, count));
    }
    ssize_t readAt(int fd, void* bytes, size_t count, off_t offset) override {
        return resultOf(::pread(fd, bytes, count, offset));
    }
    ssize_t writeAt(int fd, const void* bytes, size_t count, off_t offset) override {
        return resultOf(::pwrite(fd, bytes, count, offset));
    }
    off_t seek(int fd, off_t offset, int whence) override {
        return resultOf(::lseek(fd, offset, whence));
    }
    int allocate(int fd, off_t length) override {
        return resultOf(::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, length));
    }
    int truncate(int fd, off_t length) override { return resultOf(::ftruncate(fd, length)); }
    int changeOwner(int fd, uid_t owner, gid_t group) override {
        return resultOf(::fchown(fd, owner, group));
    }
    int changeMode(int fd, mode_t mode) override { return resultOf(::fchmod(fd, mode)); }
    int sync(int fd) override { return resultOf(::fsync(fd)); }
    int close(int fd) override { return resultOf(::close(fd)); }
    int renameAt(int fromFolder, const std::string& from, int toFolder,
                 const std::string& to) override {
        return resultOf(::renameat(fromFolder, from.c_str(), toFolder, to.c_str()));
    }
    int unlinkAt(int folder, const std::string& name) override {
        return resultOf(::unlinkat(folder, name.c_str(), 0));
    }
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
