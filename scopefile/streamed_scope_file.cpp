#include "scopefile/streamed_scope_file.h"

#include <cerrno>

#include "scopefile/riff_reader.h"

namespace {

constexpr size_t kHeadSize = 20;  // RIFF <size> SCOP data <size>
constexpr uint64_t kFormSizeOffset = 4;
constexpr uint64_t kDataSizeOffset = 16;

std::vector<uint8_t> littleEndian(uint32_t value) {
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
}

template <typename Bytes>
void put(std::vector<uint8_t>& bytes, const Bytes& more) {
    for (const auto byte : more) {
        bytes.push_back(static_cast<uint8_t>(byte));
    }
}

// What follows the samples: the pad byte of an odd "data" chunk and the chunk of times.
std::vector<uint8_t> trailerFor(uint64_t samples, const RecordingTimes& times) {
    std::vector<uint8_t> trailer(samples % 2, 0);
    if (worthKeeping(times)) {
        const std::vector<uint8_t> chunk = encodeTimeBaseChunk(times);
        put(trailer, kTimesId);
        put(trailer, littleEndian(static_cast<uint32_t>(chunk.size())));
        put(trailer, chunk);
    }
    return trailer;
}

std::vector<TrailedOutput::Patch> sizesFor(uint64_t samples, size_t trailer) {
    const uint64_t formSize = kHeadSize - 8 + samples + trailer;
    return {{kFormSizeOffset, littleEndian(static_cast<uint32_t>(formSize))},
            {kDataSizeOffset, littleEndian(static_cast<uint32_t>(samples))}};
}

}  // namespace

bool ScopeFileStream::start() {
    std::vector<uint8_t> head;
    put(head, kRiffId);
    put(head, littleEndian(kHeadSize - 8));
    put(head, kScopeFormType);
    put(head, kDataId);
    put(head, littleEndian(0));
    return file_.start(head, {});
}

bool ScopeFileStream::append(const uint8_t* samples, uint32_t count, const RecordingTimes& times) {
    const uint64_t total = samples_ + count;
    const std::vector<uint8_t> trailer = trailerFor(total, times);
    if (total > kMostStreamedScopeSamples || kHeadSize + total + trailer.size() > UINT32_MAX) {
        output_.error = EFBIG;
        return false;
    }
    if (!file_.append(samples, count, trailer, sizesFor(total, trailer.size()))) {
        return false;
    }
    samples_ = total;
    return true;
}
