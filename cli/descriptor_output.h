#pragma once

#include <memory>
#include <ostream>
#include <streambuf>

// What pinprobe-cli writes to standard output goes through this: in large pieces, through
// fileCalls(), so that tests can fail any write. The first write that fails is kept with its errno
// and nothing more is written, so that the end of a command can tell that, and why, its results
// did not all get there.
class DescriptorBuffer final : public std::streambuf {
public:
    explicit DescriptorBuffer(int fd);
    DescriptorBuffer(const DescriptorBuffer&) = delete;
    DescriptorBuffer& operator=(const DescriptorBuffer&) = delete;

    // errno of the write that failed; 0 while none did.
    int error() const { return error_; }

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

private:
    bool drain();
    bool writeAll(const char* bytes, size_t count);

    int fd_;
    // Left as allocated: a page is only paid for once text reaches it.
    std::unique_ptr<char[]> buffer_;
    bool failed_ = false;
    int error_ = 0;
};

// The errno of the write that failed on `out` when it writes through a DescriptorBuffer; else 0.
int writeErrorOf(const std::ostream& out);
