#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <string>

// The system calls that writing a file makes, one virtual each, so that tests can fail any step
// of a save. Results are 0 (a descriptor, a count, an offset) on success and minus the errno value
// on failure. Names are taken relative to an open folder (`folder`, or AT_FDCWD), so that no
// call needs a path longer than the kernel takes.
class FileCalls {
public:
    virtual ~FileCalls() = default;

    // openat(2); the descriptor is closed on exec.
    virtual int openAt(int folder, const std::string& name, int flags, mode_t mode) = 0;
    // fstatat(2) of `name` in `folder` (`flags`: AT_SYMLINK_NOFOLLOW or 0).
    virtual int statAt(int folder, const std::string& name, struct stat& info, int flags) = 0;
    virtual int statOf(int fd, struct stat& info) = 0;  // fstat
    virtual int readLink(const std::string& path, std::string& target) = 0;
    // fcntl(2) with an int argument: F_GETFL, F_SETFL, F_DUPFD_CLOEXEC.
    virtual int control(int fd, int command, int value) = 0;
    virtual ssize_t write(int fd, const void* bytes, size_t count) = 0;
    virtual ssize_t readAt(int fd, void* bytes, size_t count, off_t offset) = 0;         // pread
    virtual ssize_t writeAt(int fd, const void* bytes, size_t count, off_t offset) = 0;  // pwrite
    virtual off_t seek(int fd, off_t offset, int whence) = 0;
    // Gives the file room for `length` bytes without changing a byte of it (fallocate).
    virtual int allocate(int fd, off_t length) = 0;
    virtual int truncate(int fd, off_t length) = 0;
    virtual int changeOwner(int fd, uid_t owner, gid_t group) = 0;
    virtual int changeMode(int fd, mode_t mode) = 0;
    virtual int sync(int fd) = 0;  // fsync
    virtual int close(int fd) = 0;
    virtual int renameAt(int fromFolder, const std::string& from, int toFolder,
                         const std::string& to) = 0;
    virtual int unlinkAt(int folder, const std::string& name) = 0;
};

// The real calls of this machine.
FileCalls& systemFileCalls();

// The calls the file writers use: the system's, unless a test put others in their place
// (nullptr puts the system's back).
FileCalls& fileCalls();
void setFileCalls(FileCalls* calls);

// The system's text for an errno value: "No space left on device".
std::string systemErrorText(int error);
