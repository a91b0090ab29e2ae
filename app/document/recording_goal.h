#pragma once

#include <cstdint>
#include <string_view>

// Where a capture written to disk as it runs stops, whichever comes first: a number of samples,
// a time. Neither set: a capture of the usual kind, into memory.
struct CaptureGoal {
    uint64_t samples = 0;
    double seconds = 0;
    bool set() const { return samples != 0 || seconds != 0; }
};

// The most samples one recording numbers.
inline constexpr uint64_t kMostGoalSamples = UINT32_MAX;

// A finite number above 0.
bool parseSeconds(std::string_view text, double& seconds);
// "90", "90s", "500ms", "10min", "2h": a time above 0, in seconds.
bool parseDuration(std::string_view text, double& seconds);
// "50000", "2k", "50M", "1.5G" (powers of 1000): from 1 to kMostGoalSamples.
bool parseGoalSamples(std::string_view text, uint64_t& samples);
