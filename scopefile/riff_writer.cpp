#include "scopefile/riff_writer.h"

#include <cstring>
#include <limits>

namespace {

constexpr size_t kSizeFieldSize = 4;

bool writeBytes(RiffWriter& writer, const void* bytes, size_t count) {
    if (std::fwrite(bytes, 1, count, writer.file) != count) {
        return false;
    }
    writer.position += count;
    return true;
}

bool writeHeader(RiffWriter& writer, const FourCc& id, const FourCc* formType,
                 RiffOpenChunk& chunk) {
    uint8_t bytes[12];
    std::memcpy(bytes, id.data(), id.size());
    writeLe32(bytes + 4, chunk.declaredSize);
    size_t length = 8;
    if (formType != nullptr) {
        std::memcpy(bytes + length, formType->data(), formType->size());
        length += formType->size();
    }
    chunk.sizeOffset = writer.position + id.size();
    return writeBytes(writer, bytes, length);
}

bool seekTo(RiffWriter& writer, uint64_t offset) {
    return fseeko(writer.file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

}  // namespace

void attachRiffWriter(RiffWriter& writer, std::FILE* stream) {
    writer.file = stream;
    writer.position = 0;
}

bool startRiffForm(RiffWriter& writer, const FourCc& formType, RiffOpenChunk& form,
                   uint32_t declaredSize) {
    form.declaredSize = declaredSize;
    return writeHeader(writer, kRiffId, &formType, form);
}

bool startRiffChunk(RiffWriter& writer, const FourCc& id, RiffOpenChunk& chunk,
                    uint32_t declaredSize) {
    chunk.declaredSize = declaredSize;
    return writeHeader(writer, id, nullptr, chunk);
}

bool writeRiffData(RiffWriter& writer, const void* bytes, size_t count) {
    // Nothing to write may come with no buffer at all.
    return count == 0 || writeBytes(writer, bytes, count);
}

bool closeRiffChunk(RiffWriter& writer, const RiffOpenChunk& chunk) {
    const uint64_t length = writer.position - (chunk.sizeOffset + kSizeFieldSize);
    if (length > std::numeric_limits<uint32_t>::max()) {
        return false;
    }
    const uint8_t pad = 0;
    if ((length & 1u) != 0 && !writeBytes(writer, &pad, 1)) {
        return false;
    }
    if (length == chunk.declaredSize) {
        return std::fflush(writer.file) == 0;
    }
    uint8_t size[kSizeFieldSize];
    writeLe32(size, static_cast<uint32_t>(length));
    const uint64_t end = writer.position;
    return std::fflush(writer.file) == 0 && seekTo(writer, chunk.sizeOffset) &&
           std::fwrite(size, 1, kSizeFieldSize, writer.file) == kSizeFieldSize &&
           seekTo(writer, end) && std::fflush(writer.file) == 0;
}
