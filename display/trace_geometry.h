#pragma once

#include <cstdint>

#include "core/scope_session.h"

// Where a trace view of a given size puts its rows, and which samples it shows. Every paint and
// every test takes these numbers from here.
struct TraceGeometry {
    int gridRow[kChannelCount] = {};   // y of the grid line under channel 1..5
    int baseline[kChannelCount] = {};  // y of a channel's 0 level
    int levelHeight = 0;               // how far above its baseline a channel's 1 level lies
    uint32_t firstSample = 0;          // the sample drawn at x = 0
    uint32_t sampleCount = 0;          // samples drawn, one every zoomStep pixels
};

// `zoomStep` must be at least 1. With sampleLength 0 (or no data) nothing is drawn.
TraceGeometry traceGeometry(int width, int height, uint32_t viewStart, uint32_t sampleLength,
                            int zoomStep);
