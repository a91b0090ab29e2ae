#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "display/trace_geometry.h"

// What the views around the session's recording show, in words for a screen reader. `g` is the
// geometry the trace view draws with, `width` its width in pixels.

// Samples `first` to `last`, indices into the data.
struct SampleSpan {
    uint32_t first = 0;
    uint32_t last = 0;
};

// The samples between the view's edges (past the right edge the view draws one or two more, so
// that their lines reach it); none when no sample is drawn.
std::optional<SampleSpan> shownSamples(const TraceGeometry& g, int width);

// The ruler: the stretch the traces show, in its terms: "Time ruler: 0 s to 858.0 µs" from the
// recording's time base, else "Time ruler: samples 0 to 429", numbered from the capture's first.
std::string rulerText(const TraceGeometry& g, int width);

// The overview: that stretch and the whole recording's, "Overview: samples 0 to 429 on screen,
// of samples 0 to 4999".
std::string overviewText(const TraceGeometry& g, int width);

// The trace view: samples, zoom and the stretch shown, and the marker with its time and the
// channels' levels there when one is set.
std::string traceViewText(const TraceGeometry& g, int width);

// The labels left of the traces: "Channel labels: 1 Error, pin 15; 2 Select, pin 13; ...".
std::string channelLabelsText();
