#pragma once

#include <cstdint>
#include <optional>

#include "display/trace_geometry.h"

// What a point of the trace view shows: the sample drawn there, counted from the capture's first
// sample, and the level of the channel whose row it is in; with a known period, the time from the
// first sample; with a marker, the distance from it.
struct TraceReading {
    uint64_t sampleNumber = 0;
    int channel = 0;  // 0 for channel 1
    bool high = false;
    std::optional<double> seconds;
    std::optional<uint64_t> markerNumber;
    int64_t samplesFromMarker = 0;
    std::optional<double> secondsFromMarker;
};

// The recording as the view sees it: `samples` hold what `g` was computed for; `origin` is the
// capture's number of samples[0]; `periodSeconds` 0 is unknown; `marker` an index into samples.
struct TraceRecording {
    const uint8_t* samples = nullptr;
    uint32_t origin = 0;
    double periodSeconds = 0;
    std::optional<uint32_t> marker;
};

// None where no sample is drawn at x.
std::optional<TraceReading> readTrace(const TraceGeometry& g, const TraceRecording& recording,
                                      int x, int y);
