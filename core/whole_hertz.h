#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// How a sample period fares as a sample rate of whole hertz, the only kind a sigrok session and
// the decoders' library keep.
struct WholeHertzFit {
    uint64_t hertz = 0;        // the period's rate, rounded; 0 below 1 Hz
    double samplesOff = 0;     // how far the last of the samples then lands from its time
    double nearestPeriod = 0;  // the period nearest to the one given whose rate is whole hertz
    bool fits() const { return hertz > 0 && samplesOff <= 0.5; }
};

// The fit of `periodSeconds` (above 0) for a recording of `count` samples: it fits while its
// last sample's time, counted at the rounded rate, stays within half a sample of its own.
WholeHertzFit wholeHertzFit(double periodSeconds, uint64_t count);

// Empty when `periodSeconds` fits a recording of `count` samples; else what is wrong, for `keeper`
// ("a sigrok session keeps"): "not a whole number of hertz (1.42857 Hz), which a sigrok session
// keeps: the nearest period that is, is 0.5 s".
std::string wholeHertzProblem(double periodSeconds, uint64_t count, std::string_view keeper);
