#pragma once

#include <cstdint>

#include "display/level_pyramid.h"

// What stretches of the samples hold, for the drawing's columns: from the pyramid where it covers
// them; without one (while it is being summed up) a short stretch is read from the samples
// themselves and a long one is left empty, so that its column draws nothing until it is ready.
struct SampleSpans {
    const uint8_t* samples = nullptr;
    const LevelPyramid* pyramid = nullptr;

    LevelSpan span(uint32_t first, uint32_t end) const;
};
