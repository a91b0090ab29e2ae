#pragma once

#include <string>
#include <vector>

#include "core/measure_zero.h"
#include "display/trace_geometry.h"

class TimeBase;

// The step between labelled ticks: 1, 2 or 5 times a power of ten, the smallest that keeps ticks
// `minSpacing` pixels apart when `span` (seconds or samples) fills `width` pixels. Samples are
// counted whole: never a step below 1. 0 when there is nothing to divide.
double tickStep(double span, int width, int minSpacing, bool wholeNumbers);

struct RulerTick {
    int x = 0;
    std::string label;  // empty for a tick between two labelled ones
};

struct RulerScale {
    std::vector<RulerTick> ticks;
    // x of every gap in the sampling on screen that the traces mark: it hid a pixel column's
    // time or more (or reads failed)
    std::vector<int> gaps;
    // x of the gaps too short for a mark in the traces: only a small tick in the ruler shows them
    std::vector<int> gapTicks;
};

// The ruler over a trace view `width` pixels wide drawn with `g`: times from `timeBase` when
// there is one (sample numbers there are index + origin), else sample numbers; both counted from
// `zero`, negative before it, with a labelled tick on it when it is on screen. Labelled ticks
// stand at least `minSpacing` pixels apart.
RulerScale rulerScale(const TraceGeometry& g, int width, const TimeBase* timeBase, uint32_t origin,
                      const MeasureZero& zero, int minSpacing);
