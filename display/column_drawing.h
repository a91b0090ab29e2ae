#pragma once

#include <cstdint>
#include <vector>

#include "core/channels.h"
#include "display/channel_pens.h"
#include "display/level_pyramid.h"
#include "display/sample_spans.h"
#include "display/trace_geometry.h"
#include "display/trace_view.h"

// Where the five channels are drawn: each one's 0 level, and how far above it the 1 level lies.
struct ChannelRows {
    int baseline[kChannelCount] = {};
    int levelHeight = 0;
    const ChannelPens* pens = nullptr;  // each channel in its own pen; none: the one selected
};

// Pixel columns over samples [first, end): `samples` samples to every `pixels` columns, so column
// x starts at first + x * samples / pixels, rounded up.
struct SampleColumns {
    uint32_t first = 0;
    uint32_t end = 0;
    uint64_t samples = 1;
    uint64_t pixels = 1;

    uint32_t start(int x) const;
    // Columns up to the one that holds the last sample.
    int count() const;
};

// The samples in min/max form, a column per pixel from x = 0: a channel that keeps its level
// through a column is drawn at that level, one that changes within it as a line across both
// levels, so a pulse of a single sample shows at any scale. Level runs are joined into one line,
// and a run of columns with both levels is filled as a band.
void drawColumns(TraceCanvas& canvas, const ChannelRows& rows, const SampleColumns& columns,
                 const SampleSpans& samples);

// The same from a span per column, x = 0 on; a column of no samples (an empty span) draws nothing,
// nor a bar into or out of it.
void drawSpans(TraceCanvas& canvas, const ChannelRows& rows, const std::vector<LevelSpan>& spans);

// On a time axis, a span per pixel column from x = 0 over the samples of [first, end) taken in
// its time. A column that holds none keeps the level before it, unless a gap covers it: there
// the signal is not known, and the span is empty.
std::vector<LevelSpan> timeColumnSpans(const TimeAxis& time, uint32_t first, uint32_t end,
                                       int width, const SampleSpans& samples);
