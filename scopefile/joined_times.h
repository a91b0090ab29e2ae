#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "scopefile/time_base_chunk.h"

// Samples between two marks kept, at most, outside the gaps.
inline constexpr uint32_t kKeptMarkStride = 1024;

// The time base of a recording taken as a run of captures, one after the other (a long capture
// written to disk in blocks): each block's marks and gaps moved to the recording's sample
// numbers and clock, and the time between two blocks a planned pause before the first sample of
// the later one, for the loop stopped on purpose to hand its block over. Of each block's marks
// those around its gaps are kept, else one every kKeptMarkStride samples, so that the marks grow
// with the gaps and a thousandth of the samples, not with every sample.
class JoinedTimes {
public:
    // The next block of `count` samples, timed by `values` (its own sample numbers, from 0),
    // whose clock started at `startNs` on the recording's clock. A block without marks adds its
    // samples alone.
    void add(const TimeBaseValues& values, uint32_t count, uint64_t startNs);

    // The recording's times so far; its first block's trigger point, when it had one.
    RecordingTimes times() const;

    uint64_t samples() const { return samples_; }
    // Typical seconds per sample over the blocks; 0 before any was timed.
    double periodSeconds() const;
    // Gaps so far, the pauses between blocks not counted.
    size_t stalls() const { return stalls_; }

    std::optional<uint32_t> triggerSample;

private:
    void endPreviousAt(uint32_t sample);

    TimeBaseValues joined_;
    std::vector<double> typicals_;
    std::vector<PeriodSpread> spreads_;
    uint64_t samples_ = 0;
    uint64_t firstStartNs_ = 0;
    size_t stalls_ = 0;
};
