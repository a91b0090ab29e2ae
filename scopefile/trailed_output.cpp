#include "scopefile/trailed_output.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "scopefile/file_calls.h"

bool TrailedOutput::writeAt(const uint8_t* bytes, size_t count, uint64_t offset) {
    size_t done = 0;
    while (done < count) {
        const ssize_t written = fileCalls().writeAt(output_.fd, bytes + done, count - done,
                                                    static_cast<off_t>(offset + done));
        if (written == -EINTR) {
            continue;
        }
        if (written <= 0) {
            output_.error = written < 0 ? static_cast<int>(-written) : ENOSPC;
            return false;
        }
        done += static_cast<size_t>(written);
    }
    output_.end = std::max(output_.end, offset + count);
    return true;
}

bool TrailedOutput::start(const std::vector<uint8_t>& head, const std::vector<uint8_t>& trailer) {
    if (!writeAt(head.data(), head.size(), 0) ||
        !writeAt(trailer.data(), trailer.size(), head.size())) {
        return false;
    }
    head_ = head;
    bodyEnd_ = head.size();
    trailer_ = trailer;
    return true;
}

// Back to the last step: the old trailer behind the old body, nothing after it, the old head.
void TrailedOutput::restore() {
    const int error = output_.error;
    (void)fileCalls().truncate(output_.fd, static_cast<off_t>(size()));
    (void)writeAt(trailer_.data(), trailer_.size(), bodyEnd_);
    (void)writeAt(head_.data(), head_.size(), 0);
    output_.end = size();
    output_.error = error;
}

bool TrailedOutput::append(const uint8_t* body, size_t count, const std::vector<uint8_t>& trailer,
                           const std::vector<Patch>& patches) {
    const uint64_t newEnd = bodyEnd_ + count;
    bool written =
        writeAt(body, count, bodyEnd_) && writeAt(trailer.data(), trailer.size(), newEnd);
    for (size_t i = 0; written && i < patches.size(); ++i) {
        written = writeAt(patches[i].bytes.data(), patches[i].bytes.size(), patches[i].offset);
    }
    if (!written) {
        restore();
        return false;
    }
    // A trailer shorter than the one before leaves none of the old one behind it.
    if (trailer.size() < trailer_.size()) {
        (void)fileCalls().truncate(output_.fd, static_cast<off_t>(newEnd + trailer.size()));
    }
    bodyEnd_ = newEnd;
    trailer_ = trailer;
    for (const Patch& patch : patches) {
        std::copy(patch.bytes.begin(), patch.bytes.end(), head_.begin() + patch.offset);
    }
    return true;
}

bool writableAnywhere(const OutputFile& output) {
    struct stat info {};
    return output.fd >= 0 && fileCalls().statOf(output.fd, info) >= 0 && S_ISREG(info.st_mode);
}
