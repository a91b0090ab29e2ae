#pragma once

#include <cerrno>
#include <string>
#include <vector>

#include "scopefile/file_calls.h"

// The system's file calls, each one logged by kind ("open", "create" for an exclusive create,
// "tmpfile" for a file without a name, "stat", "fstat", "readlink", "fcntl", "write", "read",
// "pwrite", "seek", "allocate", "truncate", "chown", "chmod", "sync", "close", "rename",
// "unlink"), with one failing on order. Put in place for as long as it lives.
class FailingFileCalls final : public FileCalls {
public:
    FailingFileCalls() { setFileCalls(this); }
    ~FailingFileCalls() override { setFileCalls(nullptr); }
    FailingFileCalls(const FailingFileCalls&) = delete;
    FailingFileCalls& operator=(const FailingFileCalls&) = delete;

    std::vector<std::string> calls;
    size_t failingCall = 0;   // the n-th call (from 1) fails with `error`; 0: none
    std::string failingKind;  // else the `failingKindAt`-th call of this kind fails
    size_t failingKindAt = 1;
    int error = EIO;
    int createError = 0;  // every exclusive create fails with this (a folder that takes no name)
    int renameError = 0;  // every rename fails with this (a sticky folder)

    int openAt(int folder, const std::string& name, int flags, mode_t mode) override;
    int statAt(int folder, const std::string& name, struct stat& info, int flags) override;
    int statOf(int fd, struct stat& info) override;
    int readLink(const std::string& path, std::string& target) override;
    int control(int fd, int command, int value) override;
    ssize_t write(int fd, const void* bytes, size_t count) override;
    ssize_t readAt(int fd, void* bytes, size_t count, off_t offset) override;
    ssize_t writeAt(int fd, const void* bytes, size_t count, off_t offset) override;
    off_t seek(int fd, off_t offset, int whence) override;
    int allocate(int fd, off_t length) override;
    int truncate(int fd, off_t length) override;
    int changeOwner(int fd, uid_t owner, gid_t group) override;
    int changeMode(int fd, mode_t mode) override;
    int sync(int fd) override;
    int close(int fd) override;
    int renameAt(int fromFolder, const std::string& from, int toFolder,
                 const std::string& to) override;
    int unlinkAt(int folder, const std::string& name) override;

private:
    // Logs the call; true when it is the one to fail.
    bool failsNow(const char* kind);
    size_t kindCalls_ = 0;
};

// The disk fills at the `n`-th positioned write (pwrite) from now: it fails with ENOSPC.
inline void fillDiskAtWrite(FailingFileCalls& calls, size_t n) {
    calls.failingKind = "pwrite";
    calls.failingKindAt = n;
    calls.error = ENOSPC;
}
