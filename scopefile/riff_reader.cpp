#include "scopefile/riff_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "scopefile/file_calls.h"

namespace {

constexpr size_t kHeaderSize = 8;  // id and size
constexpr size_t kFormTypeSize = 4;
constexpr size_t kWindowSize = 64 * 1024;

bool measureFile(RiffReader& reader) {
    if (fseeko(reader.file, 0, SEEK_END) != 0) {
        return false;
    }
    const off_t end = ftello(reader.file);
    if (end < 0) {
        return false;
    }
    reader.fileSize = static_cast<uint64_t>(end);
    return fseeko(reader.file, 0, SEEK_SET) == 0;
}

// Refills the window from `offset`; false when the file cannot be read there.
bool fillWindow(RiffReader& reader, uint64_t offset) {
    reader.windowOffset = offset;
    reader.windowLength = 0;
    if (fseeko(reader.file, static_cast<off_t>(offset), SEEK_SET) != 0) {
        return false;
    }
    reader.windowLength = std::fread(reader.window.data(), 1, reader.window.size(), reader.file);
    return true;
}

// The `count` bytes at `offset`, from the window (refilled when it does not hold them); nullptr
// when the file does not hold them all.
const uint8_t* bytesAt(RiffReader& reader, uint64_t offset, size_t count) {
    if (offset < reader.windowOffset ||
        offset + count > reader.windowOffset + reader.windowLength) {
        if (!fillWindow(reader, offset) || reader.windowLength < count) {
            return nullptr;
        }
    }
    return reader.window.data() + (offset - reader.windowOffset);
}

FourCc fourCcAt(const uint8_t* bytes) {
    FourCc code;
    std::memcpy(code.data(), bytes, code.size());
    return code;
}

// Reads the header at `offset`, which must lie whole before `limit`. With `withFormType` a form's
// type is read as well, provided the form's declared size holds one.
RiffSearch readHeader(RiffReader& reader, uint64_t offset, uint64_t limit, bool withFormType,
                      RiffChunk& chunk) {
    const uint8_t* bytes =
        limit - offset < kHeaderSize ? nullptr : bytesAt(reader, offset, kHeaderSize);
    if (bytes == nullptr) {
        return RiffSearch::Short;
    }
    chunk.id = fourCcAt(bytes);
    chunk.size = readLe32(bytes + 4);
    chunk.dataOffset = offset + kHeaderSize;
    chunk.formType = {};
    reader.position = chunk.dataOffset;
    if (withFormType && chunk.id == kRiffId && chunk.size >= kFormTypeSize) {
        const uint8_t* type = limit - chunk.dataOffset < kFormTypeSize
                                  ? nullptr
                                  : bytesAt(reader, chunk.dataOffset, kFormTypeSize);
        if (type == nullptr) {
            return RiffSearch::Short;
        }
        chunk.formType = fourCcAt(type);
        reader.position += kFormTypeSize;
    }
    return RiffSearch::Found;
}

uint32_t codeOf(const FourCc& id) {
    uint32_t code;
    std::memcpy(&code, id.data(), sizeof code);
    return code;
}

uint64_t wordAt(const uint8_t* bytes) {
    uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// Whether the 64 bytes at `bytes` are all zero: looked at together, so that the compiler can
// use its widest loads.
bool zeroBlock(const uint8_t* bytes) {
    uint64_t any = 0;
    for (size_t i = 0; i < 8; ++i) {
        any |= wordAt(bytes + i * sizeof any);
    }
    return any == 0;
}

// Zero bytes are headers of empty chunks without an id: steps over the run of them that starts
// at `offset` (before `end`, in the window) as fast as memory is scanned, so that a sparse file
// costs little more than reading it.
uint64_t skipZeroHeaders(const RiffReader& reader, uint64_t offset, uint64_t end) {
    constexpr uint64_t kBlockHeaders = 8;
    const uint8_t* first = reader.window.data() + (offset - reader.windowOffset);
    const uint64_t headers = (end - offset) / kHeaderSize;
    uint64_t zero = 0;
    while (zero + kBlockHeaders <= headers && zeroBlock(first + zero * kHeaderSize)) {
        zero += kBlockHeaders;
    }
    while (zero < headers && wordAt(first + zero * kHeaderSize) == 0) {
        ++zero;
    }
    return offset + zero * kHeaderSize;
}

// Steps over the headers in the window that are surely skipped: whole before `limit`, with an id
// other than `code` and an end inside `limit`. Gives the offset of the first header that needs a
// closer look. This is the walk's hot loop.
uint64_t skipOthers(const RiffReader& reader, uint64_t offset, uint64_t limit, uint32_t code) {
    const uint64_t end = std::min(reader.windowOffset + reader.windowLength, limit);
    while (offset >= reader.windowOffset && end >= kHeaderSize && offset <= end - kHeaderSize) {
        const uint8_t* header = reader.window.data() + (offset - reader.windowOffset);
        uint32_t id;
        std::memcpy(&id, header, sizeof id);
        const uint64_t size = readLe32(header + 4);
        const uint64_t next = offset + kHeaderSize + size;
        if (id == code || next > limit) {
            break;
        }
        offset = id == 0 && size == 0 ? skipZeroHeaders(reader, offset, end) : next + (size & 1u);
    }
    return offset;
}

// Walks the chunk headers from `offset` to `limit` until one with id `id` matches, skipping the
// others whole.
template <typename Match>
RiffSearch walkChunks(RiffReader& reader, uint64_t offset, uint64_t limit, const FourCc& id,
                      bool withFormType, Match matches, RiffChunk& chunk) {
    const uint32_t code = codeOf(id);
    // A missing pad byte after the last chunk puts `offset` one past the limit: a clean end.
    while ((offset = skipOthers(reader, offset, limit, code)) < limit) {
        const RiffSearch header = readHeader(reader, offset, limit, withFormType, chunk);
        if (header != RiffSearch::Found || (chunk.id == id && matches(chunk))) {
            return header;
        }
        if (chunk.end() > limit) {
            return RiffSearch::Malformed;
        }
        offset = chunk.end() + (chunk.size & 1u);
    }
    return RiffSearch::NotFound;
}

std::string notRegularReason(mode_t mode) {
    if (S_ISDIR(mode)) {
        return systemErrorText(EISDIR);
    }
    return S_ISFIFO(mode) ? "It is a FIFO, not a regular file" : "It is not a regular file";
}

// A descriptor of the regular file at `path`, or -1 with `reason` set. Looked at before it is
// opened, without blocking, and again after, so that no FIFO or device is ever waited on.
int openRegularFile(const std::string& path, std::string& reason) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        reason = systemErrorText(errno);
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        reason = notRegularReason(info.st_mode);
        return -1;
    }
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = systemErrorText(errno);
        return -1;
    }
    // The name may have been given to something else in between.
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        reason = notRegularReason(info.st_mode);
        close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

bool openRiffReader(RiffReader& reader, const std::string& path, std::string* reason) {
    std::string why;
    const int fd = openRegularFile(path, why);
    std::FILE* stream = fd >= 0 ? fdopen(fd, "rb") : nullptr;
    if (fd >= 0 && stream == nullptr) {
        why = systemErrorText(errno);
        close(fd);
    }
    if (stream == nullptr || !attachRiffReader(reader, stream)) {
        if (reason != nullptr) {
            *reason = why;
        }
        return false;
    }
    return true;
}

bool attachRiffReader(RiffReader& reader, std::FILE* stream) {
    reader.file = stream;
    // The window is the only buffer: stdio's own would copy every byte once more.
    if (stream == nullptr || std::setvbuf(stream, nullptr, _IONBF, 0) != 0 ||
        !measureFile(reader)) {
        closeRiffReader(reader);
        return false;
    }
    reader.window.resize(
        std::clamp<uint64_t>(reader.fileSize, kHeaderSize + kFormTypeSize, kWindowSize));
    reader.windowOffset = 0;
    reader.windowLength = 0;
    reader.position = 0;
    return true;
}

void closeRiffReader(RiffReader& reader) {
    if (reader.file != nullptr) {
        std::fclose(reader.file);
        reader.file = nullptr;
    }
}

RiffSearch findRiffForm(RiffReader& reader, const FourCc& formType, RiffChunk& form) {
    const auto isForm = [&formType](const RiffChunk& chunk) {
        return chunk.size >= kFormTypeSize && chunk.formType == formType;
    };
    return walkChunks(reader, 0, reader.fileSize, kRiffId, true, isForm, form);
}

RiffSearch findRiffChunk(RiffReader& reader, const RiffChunk& form, const FourCc& id,
                         RiffChunk& chunk) {
    const uint64_t limit = std::min(form.end(), reader.fileSize);
    return walkChunks(
        reader, form.dataOffset + kFormTypeSize, limit, id, false,
        [](const RiffChunk&) { return true; }, chunk);
}

uint64_t riffBytesInFile(const RiffReader& reader, const RiffChunk& chunk) {
    return reader.fileSize > chunk.dataOffset ? reader.fileSize - chunk.dataOffset : 0;
}

size_t readRiffData(RiffReader& reader, void* destination, size_t count) {
    if (count == 0) {
        return 0;  // an empty chunk may come with no buffer at all
    }
    auto* bytes = static_cast<uint8_t*>(destination);
    size_t copied = 0;
    const uint64_t windowEnd = reader.windowOffset + reader.windowLength;
    if (reader.position >= reader.windowOffset && reader.position < windowEnd) {
        copied = static_cast<size_t>(std::min<uint64_t>(count, windowEnd - reader.position));
        std::memcpy(bytes, reader.window.data() + (reader.position - reader.windowOffset), copied);
    }
    size_t read = 0;
    if (copied < count &&
        fseeko(reader.file, static_cast<off_t>(reader.position + copied), SEEK_SET) == 0) {
        read = std::fread(bytes + copied, 1, count - copied, reader.file);
    }
    reader.position += copied + read;
    return copied + read;
}
