#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/time_base.h"

// What a scope file keeps beside its samples, in a chunk of our own after "data" (its layout is
// in docs/scope-file.md). A reader that knows only "data" skips it.
struct RecordingTimes {
    TimeBaseValues timeBase;                // no marks: the file has sample numbers only
    uint32_t origin = 0;                    // the capture's number of the file's first sample
    std::optional<uint32_t> triggerSample;  // the capture's number of the trigger point
    // After a read: why a chunk of times in the file was ignored; empty when none was.
    std::string ignored;
};

inline constexpr uint32_t kTimeBaseChunkVersion = 1;

// Whether there is anything to keep: a time base, or a trigger point.
bool worthKeeping(const RecordingTimes& times);

// The chunk's bytes (without its header).
std::vector<uint8_t> encodeTimeBaseChunk(const RecordingTimes& times);

// Hands over the chunk's next `count` bytes; false when they are not all there.
using ChunkBytesSource = std::function<bool(uint8_t* destination, size_t count)>;

// Reads the chunk of `size` bytes of a file of `sampleCount` samples from `next`, a piece at a
// time, so that a long recording's marks are never held twice. False, with `note` saying why in
// a user's words, for a chunk of another version, one that does not hold together or one whose
// bytes are not all there; `times` is then as it was. Never allocates more than `size` calls for.
bool readTimeBaseChunk(const ChunkBytesSource& next, size_t size, uint32_t sampleCount,
                       RecordingTimes& times, std::string& note);
