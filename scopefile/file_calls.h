#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <string>

// The system calls that writing a file makes, one virtual each, so that tests can fail any step
// of a save. Results are 0 (a descriptor, a count, an offset) on success and minus the errno value
// on failure.
class FileCalls {
public:
    virtual ~FileCalls() = default;

    virtual int lstat(const std::string& path, struct stat& info) = 0;
    virtual int readLink(const std::string& path, std::string& target) = 0;
    // Whether this process may write the file at `path` (faccessat with the effective ids).
    virtual int mayWrite(const std::string& path) = 0;
    virtual int open(const std::string& path, int flags, mode_t mode) = 0;
    virtual ssize_t write(int fd, const void* bytes, size_t count) = 0;
    virtual off_t seek(int fd, off_t offset, int whence) = 0;
    virtual int truncate(int fd, off_t length) = 0;
    virtual int changeOwner(int fd, uid_t owner, gid_t group) = 0;
    virtual int changeMode(int fd, mode_t mode) = 0;
    virtual int sync(int fd) = 0;  // fsync
    virtual int close(int fd) = 0;
    virtual int rename(const std::string& from, const std::string& to) = 0;
    virtual int unlink(const std::string& path) = 0;
};

// The real calls of this machine.
FileCalls& systemFileCalls();

// The calls the file writers use: the system's, unless a test put others in their place
// (nullptr puts the system's back).
FileCalls& fileCalls();
void setFileCalls(FileCalls* calls);

// The system's text for an errno value: "No space left on device".
std::string systemErrorText(int error);
