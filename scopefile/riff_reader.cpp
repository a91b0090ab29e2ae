#include "scopefile/riff_reader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kHeaderSize = 8;  // id and size
constexpr size_t kFormTypeSize = 4;

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

FourCc fourCcAt(const uint8_t* bytes) {
    FourCc code;
    std::memcpy(code.data(), bytes, code.size());
    return code;
}

// Reads the header at `offset`, which must lie whole before `limit`. With `withFormType` a form's
// type is read as well, provided the form's declared size holds one.
RiffSearch readHeader(RiffReader& reader, uint64_t offset, uint64_t limit, bool withFormType,
                      RiffChunk& chunk) {
    uint8_t bytes[kHeaderSize + kFormTypeSize];
    if (limit - offset < kHeaderSize ||
        fseeko(reader.file, static_cast<off_t>(offset), SEEK_SET) != 0 ||
        std::fread(bytes, 1, kHeaderSize, reader.file) != kHeaderSize) {
        return RiffSearch::Short;
    }
    chunk.id = fourCcAt(bytes);
    chunk.size = readLe32(bytes + 4);
    chunk.dataOffset = offset + kHeaderSize;
    chunk.formType = {};
    if (withFormType && chunk.id == kRiffId && chunk.size >= kFormTypeSize) {
        if (limit - chunk.dataOffset < kFormTypeSize ||
            std::fread(bytes + kHeaderSize, 1, kFormTypeSize, reader.file) != kFormTypeSize) {
            return RiffSearch::Short;
        }
        chunk.formType = fourCcAt(bytes + kHeaderSize);
    }
    return RiffSearch::Found;
}

// Walks the chunk headers from `offset` to `limit` until one matches, skipping the others whole.
template <typename Match>
RiffSearch walkChunks(RiffReader& reader, uint64_t offset, uint64_t limit, bool withFormType,
                      Match matches, RiffChunk& chunk) {
    // A missing pad byte after the last chunk puts `offset` one past the limit: a clean end.
    while (offset < limit) {
        const RiffSearch header = readHeader(reader, offset, limit, withFormType, chunk);
        if (header != RiffSearch::Found || matches(chunk)) {
            return header;
        }
        if (chunk.end() > limit) {
            return RiffSearch::Malformed;
        }
        offset = chunk.end() + (chunk.size & 1u);
    }
    return RiffSearch::NotFound;
}

}  // namespace

bool openRiffReader(RiffReader& reader, const std::string& path) {
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    if (stream == nullptr) {
        return false;
    }
    // A directory opens for reading on Linux, and a pipe cannot be walked: only plain files.
    struct stat info {};
    if (fstat(fileno(stream), &info) != 0 || !S_ISREG(info.st_mode)) {
        std::fclose(stream);
        return false;
    }
    return attachRiffReader(reader, stream);
}

bool attachRiffReader(RiffReader& reader, std::FILE* stream) {
    reader.file = stream;
    if (stream == nullptr || !measureFile(reader)) {
        closeRiffReader(reader);
        return false;
    }
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
        return chunk.id == kRiffId && chunk.size >= kFormTypeSize && chunk.formType == formType;
    };
    return walkChunks(reader, 0, reader.fileSize, true, isForm, form);
}

RiffSearch findRiffChunk(RiffReader& reader, const RiffChunk& form, const FourCc& id,
                         RiffChunk& chunk) {
    const uint64_t limit = std::min(form.end(), reader.fileSize);
    const auto hasId = [&id](const RiffChunk& candidate) { return candidate.id == id; };
    return walkChunks(reader, form.dataOffset + kFormTypeSize, limit, false, hasId, chunk);
}

size_t readRiffData(RiffReader& reader, void* destination, size_t count) {
    return std::fread(destination, 1, count, reader.file);
}
