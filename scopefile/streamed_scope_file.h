#pragma once

#include <cstdint>

#include "scopefile/time_base_chunk.h"
#include "scopefile/trailed_output.h"

// The most samples a scope file holds: its RIFF sizes are 32 bits, and the times follow them.
inline constexpr uint64_t kMostStreamedScopeSamples = (uint64_t{1} << 32) - (uint64_t{1} << 20);

// A scope file written while the capture runs: the samples go to the end of its "data" chunk in
// blocks, each followed by the "tbas" chunk of the times so far, and the sizes in the headers
// say so only once both are written. After every block the file is a whole scope file.
class ScopeFileStream {
public:
    explicit ScopeFileStream(OutputFile& output) : output_(output), file_(output) {}

    bool start();
    // Appends `count` samples and takes `times` as the times of all the samples so far. False
    // when a write failed (the output's error set) or the file would pass
    // kMostStreamedScopeSamples (the error EFBIG); the file then holds what it held before.
    bool append(const uint8_t* samples, uint32_t count, const RecordingTimes& times);

    uint64_t samples() const { return samples_; }
    uint64_t bytes() const { return file_.size(); }

private:
    OutputFile& output_;
    TrailedOutput file_;
    uint64_t samples_ = 0;
};
