#include "cli/descriptor_output.h"

#include <cerrno>
#include <cstring>

#include "scopefile/file_calls.h"

namespace {

constexpr size_t kBufferSize = 64 * 1024;

}  // namespace

DescriptorBuffer::DescriptorBuffer(int fd)
    : fd_(fd), buffer_(std::make_unique_for_overwrite<char[]>(kBufferSize)) {
    setp(buffer_.get(), buffer_.get() + kBufferSize);
}

bool DescriptorBuffer::writeAll(const char* bytes, size_t count) {
    while (count > 0 && !failed_) {
        const ssize_t written = fileCalls().write(fd_, bytes, count);
        if (written == -EINTR) {
            continue;
        }
        if (written <= 0) {
            failed_ = true;
            error_ = written < 0 ? static_cast<int>(-written) : EIO;
            break;
        }
        bytes += written;
        count -= static_cast<size_t>(written);
    }
    return !failed_;
}

bool DescriptorBuffer::drain() {
    const bool ok = writeAll(pbase(), static_cast<size_t>(pptr() - pbase()));
    setp(buffer_.get(), buffer_.get() + kBufferSize);
    return ok;
}

DescriptorBuffer::int_type DescriptorBuffer::overflow(int_type c) {
    if (!drain()) {
        return traits_type::eof();
    }
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

std::streamsize DescriptorBuffer::xsputn(const char* text, std::streamsize count) {
    const auto size = static_cast<size_t>(count);
    if (size <= static_cast<size_t>(epptr() - pptr())) {
        std::memcpy(pptr(), text, size);
        pbump(static_cast<int>(count));
        return count;
    }
    // A large piece goes out as it is, after what waits before it.
    return drain() && writeAll(text, size) ? count : 0;
}

int DescriptorBuffer::sync() {
    return drain() ? 0 : -1;
}

int writeErrorOf(const std::ostream& out) {
    const auto* descriptor = dynamic_cast<const DescriptorBuffer*>(out.rdbuf());
    return descriptor != nullptr ? descriptor->error() : 0;
}
