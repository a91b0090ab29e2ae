#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "core/channels.h"

// One channel between two markers. Its rising edges mark off whole periods: from the first
// rising edge in the span to the last one, `periods` of them lasting `periodLength` together,
// the level high for `highLength` of it. Lengths are in the unit of the clock the span was
// measured with (seconds, or samples where the recording has no times).
struct ChannelSpan {
    uint32_t edges = 0;
    uint32_t periods = 0;
    double periodLength = 0;
    double highLength = 0;

    // Whether the channel toggled enough for a mean frequency and duty: a whole period or more.
    bool toggles() const { return periods > 0 && periodLength > 0; }
    double frequency() const { return periods / periodLength; }
    double duty() const { return highLength / periodLength; }
};

// When a data index was sampled, in the unit the span is measured in.
using SampleClock = std::function<double(uint32_t index)>;

// The edges of every channel in samples[first..last] (either order): a sample whose level
// differs from the one before, the first sample itself not counted as one.
std::array<ChannelSpan, kChannelCount> measureSpan(const uint8_t* samples, uint32_t first,
                                                   uint32_t last, const SampleClock& clock);
