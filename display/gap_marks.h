#pragma once

#include <cstdint>
#include <vector>

#include "core/time_base.h"
#include "display/trace_view.h"

// How plainly a gap is marked, by the time it hides measured in pixel columns: less than a
// column's worth is a tick in the ruler only; then one, ten and a hundred columns' worth make a
// faint, a clear and a strong mark, each a pixel wider and brighter than the one before.
enum class GapMarkLevel : uint8_t { RulerTick = 0, Faint = 1, Clear = 2, Strong = 3 };

// The level of a gap that hid `nanoseconds` where one pixel column stands for
// `secondsPerColumn`. Failed reads hide samples rather than time: such a gap is marked at least
// faintly.
GapMarkLevel gapMarkLevel(uint64_t nanoseconds, uint32_t failedReads, double secondsPerColumn);
inline GapMarkLevel gapMarkLevel(const TimeGap& gap, double secondsPerColumn) {
    return gapMarkLevel(gap.nanoseconds, gap.failedReads, secondsPerColumn);
}

// Pixels a mark of `level` spans: none for a ruler tick.
int gapMarkWidth(GapMarkLevel level);
uint32_t gapMarkColour(GapMarkLevel level);

// The strongest mark of every pixel column of a view `width` pixels wide, so that thousands of
// gaps cost no more to draw than a mark per column.
class GapColumns {
public:
    explicit GapColumns(int width);
    // Columns outside the view are left out.
    void add(int x, GapMarkLevel level);
    GapMarkLevel at(int x) const;
    bool anyMark() const { return marked_; }

    // Each column's mark, `height` pixels high and as wide as its level, centred on the column;
    // a pen for each level on screen. Drawn under the traces, so that they stay readable over it.
    void draw(TraceCanvas& canvas, int height) const;

private:
    std::vector<GapMarkLevel> levels_;
    bool marked_ = false;
};

// Seconds one pixel column stands for where it holds `samplesPerPixel` samples of a recording
// sampled at `timeBase`'s typical pace; 0 without a time base.
double secondsPerColumn(const TimeBase& timeBase, double samplesPerPixel);
