#pragma once

#include <cstdint>

struct ScopeSession;

// Where the numbers and times the user reads count from: sample 0 at time 0 of the capture, or
// the trigger point, so that what came before it reads as negative.
struct MeasureZero {
    int64_t sample = 0;  // the capture's number of the sample counted as 0
    double seconds = 0;  // that sample's time in the time base's account; 0 without one

    int64_t number(uint64_t captureNumber) const {
        return static_cast<int64_t>(captureNumber) - sample;
    }
    double time(double captureSeconds) const { return captureSeconds - seconds; }
};

// The trigger point when the recording holds one and the view measures from it; else the
// capture's start. The time base counts only once its capture has ended.
MeasureZero measureZero(const ScopeSession& session);
