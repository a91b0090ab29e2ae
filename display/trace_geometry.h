#pragma once

#include <cstdint>
#include <optional>

#include "core/scope_session.h"

class TimeBase;

// On the time axis every sample is drawn at its time: data index i at
// (seconds(origin + i) - leftSeconds) / secondsPerPixel, so a gap takes the room of the time it
// lasted.
struct TimeAxis {
    const TimeBase* timeBase = nullptr;
    uint32_t origin = 0;  // the capture's number of data index 0
    double leftSeconds = 0;
    double secondsPerPixel = 0;

    double secondsOf(double index) const;
    // Unrounded.
    double x(double seconds) const { return (seconds - leftSeconds) / secondsPerPixel; }
    double secondsAtX(double x) const { return leftSeconds + x * secondsPerPixel; }
    // The first data index whose time is at or after `seconds`.
    uint32_t firstIndexFrom(double seconds) const;

    // A paint asks in rising order: each lookup starts where the last one ended.
    mutable std::optional<TimeWalk> walkCache;
    TimeWalk& walk() const;
};

// Where a trace view of a given size puts its rows, and which samples it shows. Every paint and
// every test takes these numbers from here.
struct TraceGeometry {
    int gridRow[kChannelCount] = {};   // y of the grid line under channel 1..5
    int baseline[kChannelCount] = {};  // y of a channel's 0 level
    int levelHeight = 0;               // how far above its baseline a channel's 1 level lies
    uint32_t firstSample = 0;          // the sample drawn at x = 0
    uint32_t sampleCount = 0;          // samples drawn, one every zoomStep pixels
    // At 1:1 and above a sample every scale.zoomStep() pixels; below 1:1 column x holds the
    // samples from firstSample + scale.samplesBeforeColumn(x) up to the next column's.
    ViewScale scale;
    // On the time axis; none on the sample axis.
    std::optional<TimeAxis> time;
};

// With sampleLength 0 (or no data) nothing is drawn. Below 1:1 the last screen ends at the end of
// the data, and a capture shorter than a screen is shown from its first sample.
TraceGeometry traceGeometry(int width, int height, uint32_t viewStart, uint32_t sampleLength,
                            ViewScale scale = {});

// The same view against time: `timeBase` (known, its capture ended) gives every sample's time;
// `origin` is the capture's number of data index 0. The view starts at the time of sample
// viewStart (as the sample axis keeps it to the data), and the scale counts samples at the
// recording's typical pace.
TraceGeometry timeAxisGeometry(int width, int height, uint32_t viewStart, uint32_t sampleLength,
                               ViewScale scale, const TimeBase& timeBase, uint32_t origin);

// The last left edge on the time axis (`time`'s leftSeconds aside) whose screen, `width` pixels
// wide, still shows the recording's last sample: the scroll range ends there, and a view start
// beyond it shows the same screen.
uint32_t lastTimeScreenStart(const TimeAxis& time, uint32_t sampleLength, int width);

// The session's time axis at its view's scale, or at `scale` (leftSeconds 0), when its view shows
// one.
std::optional<TimeAxis> sessionTimeAxis(const ScopeSession& session);
std::optional<TimeAxis> sessionTimeAxis(const ScopeSession& session, ViewScale scale);

// Whether the session's recording can be drawn against time: it has a time base and no capture
// is still filling it.
bool hasTimeAxis(const ScopeSession& session);

// How many samples the view's scale takes the recording to span: its samples on the sample axis;
// on the time axis, its whole time in samples at the typical pace, gaps included.
uint32_t viewExtent(const ScopeSession& session);

// The geometry of the session's view on a client area of `width` x `height` pixels, over the
// samples that may be drawn (during a worker capture, those stored so far), on the time axis
// when the view asks for it and the recording has one.
TraceGeometry viewGeometry(const ScopeSession& session, int width, int height);

// The sample (an index into the data) drawn at x: the one whose step, from its own x to the
// next sample's, holds x. None left of the first or right of the last sample drawn.
std::optional<uint32_t> sampleAtX(const TraceGeometry& g, int x);
// Where sample `index` is drawn; none when it is not among the samples drawn.
std::optional<int> sampleX(const TraceGeometry& g, uint32_t index);
// Where the edge just before sample `index` is drawn: at 1:1 and above in the middle of the
// slope into that sample, below 1:1 at its column. May lie off the view.
int64_t edgeX(const TraceGeometry& g, int64_t index);
// The channel (0 for channel 1) whose row holds y: the band down to its grid line; the pixels
// under the last grid line belong to the last channel.
int channelAtY(const TraceGeometry& g, int y);
