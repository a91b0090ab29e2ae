#pragma once

#include <cstdint>
#include <optional>

#include "core/time_base.h"
#include "display/trace_geometry.h"

// What a point of the trace view shows: the sample drawn there, counted from the capture's first
// sample, and the level of the channel whose row it is in; with a time base, the time from the
// first sample and the gap drawn near the point; with a marker, the distance from it.
struct TraceReading {
    uint64_t sampleNumber = 0;
    int channel = 0;  // 0 for channel 1
    bool high = false;
    std::optional<double> seconds;
    // The gap whose mark is within a few pixels of the point; its sample counted as sampleNumber.
    std::optional<TimeGap> gap;
    std::optional<uint64_t> markerNumber;
    int64_t samplesFromMarker = 0;
    std::optional<double> secondsFromMarker;
    uint32_t gapsFromMarker = 0;  // stalls between the marker and the sample
};

// The recording as the view sees it: `samples` hold what `g` was computed for; `origin` is the
// capture's number of samples[0]; `timeBase` when each sample was taken (none, or one that is not
// known, for a recording without times); `marker` an index into samples.
struct TraceRecording {
    const uint8_t* samples = nullptr;
    uint32_t origin = 0;
    const TimeBase* timeBase = nullptr;
    std::optional<uint32_t> marker;
};

// How far from a gap's mark, in pixels, the readout still names the gap.
inline constexpr int kGapReach = 2;

// Where the mark of a gap before sample `index` (into the samples drawn) is drawn: halfway into
// the step that leads to the sample. None when that sample is not drawn.
std::optional<int> gapX(const TraceGeometry& g, uint32_t index);

// None where no sample is drawn at x.
std::optional<TraceReading> readTrace(const TraceGeometry& g, const TraceRecording& recording,
                                      int x, int y);
