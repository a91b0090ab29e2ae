#pragma once

#include <cstdint>
#include <optional>

#include "display/column_drawing.h"
#include "display/trace_geometry.h"
#include "display/trace_view.h"

inline constexpr uint32_t kOverviewBoxColour = 0x00FFFFFF;  // white

// The overview strip maps the whole recording, `extent` samples (while the worker captures, the
// size of the buffer it fills), onto `width` pixels.
struct OverviewScale {
    uint32_t extent = 0;
    int width = 0;
    // On the time axis the strip maps the recording's time instead, gaps included.
    std::optional<TimeAxis> time;

    // The pixel column that holds `sample`; `extent` itself maps to the right edge.
    int x(uint64_t sample) const;
    // The first sample of column x, x clamped to the strip.
    uint32_t sample(int x) const;
};

// The overview strip of the session's recording, `width` pixels wide, as it is drawn and as
// the pointer on it is read.
OverviewScale sessionOverview(int width);

// The five channels in rows of a strip `height` pixels high.
ChannelRows overviewRows(int height);

// The recording in min/max form on a strip `width` x `height` pixels, over marks where gaps
// cluster, and the samples the trace view shows (on a view `traceWidth` pixels wide) as a box
// around them.
void paintOverview(TraceCanvas& canvas, int width, int height, int traceWidth);
