#include "display/column_drawing.h"

#include <algorithm>
#include <vector>

#include "core/time_base.h"

namespace {

enum class Level { None, Low, High, Both };

Level levelIn(LevelSpan span, uint8_t bit) {
    // A span of no samples: a level in every sample and in none.
    if ((span.allHigh & ~span.anyHigh & bit) != 0) {
        return Level::None;
    }
    if ((span.allHigh & bit) != 0) {
        return Level::High;
    }
    return (span.anyHigh & bit) != 0 ? Level::Both : Level::Low;
}

bool isSteady(Level level) {
    return level == Level::Low || level == Level::High;
}

// A line from (x, y0) to (x, y1) in the canvas's flat-cap convention: the end pixel is left out,
// so the bottom end is taken one further down.
void verticalBar(TraceCanvas& canvas, int x, int baseline, int levelHeight) {
    canvas.line(x, baseline - levelHeight, x, baseline + 1);
}

// Columns [from, to) that all hold both levels: one bar, or the band between the levels filled.
void bothLevels(TraceCanvas& canvas, int from, int to, int baseline, int levelHeight) {
    if (to - from == 1) {
        verticalBar(canvas, from, baseline, levelHeight);
    } else {
        canvas.fill(from, baseline - levelHeight, to, baseline + 1);
    }
}

// One channel over the columns: runs of one level as single lines, columns that hold both levels
// as bars across them, and a bar where a run at the other level starts.
void drawChannel(TraceCanvas& canvas, const std::vector<LevelSpan>& spans, uint8_t bit,
                 int baseline, int levelHeight) {
    int runStart = 0;
    Level previous = Level::None;
    const auto endRun = [&](int x) {
        if (previous == Level::Both) {
            bothLevels(canvas, runStart, x, baseline, levelHeight);
        } else if (isSteady(previous)) {
            const int y = previous == Level::High ? baseline - levelHeight : baseline;
            canvas.line(runStart, y, x, y);
        }
    };
    const int count = static_cast<int>(spans.size());
    for (int x = 0; x < count; ++x) {
        const Level level = levelIn(spans[static_cast<size_t>(x)], bit);
        if (level == previous) {
            continue;
        }
        endRun(x);
        if (isSteady(level) && isSteady(previous)) {
            verticalBar(canvas, x, baseline, levelHeight);
        }
        previous = level;
        runStart = x;
    }
    endRun(count);
}

}  // namespace

uint32_t SampleColumns::start(int x) const {
    // Rounded up, so that column x holds exactly the samples s with s * pixels / samples == x.
    const uint64_t offset = (uint64_t{static_cast<uint32_t>(x)} * samples + pixels - 1) / pixels;
    return offset >= uint64_t{end} - first ? end : first + static_cast<uint32_t>(offset);
}

int SampleColumns::count() const {
    if (end <= first) {
        return 0;
    }
    // The column of the last sample, and one more.
    return static_cast<int>((uint64_t{end} - first - 1) * pixels / samples + 1);
}

void drawColumns(TraceCanvas& canvas, const ChannelRows& rows, const SampleColumns& columns,
                 const SampleSpans& samples) {
    const int count = columns.count();
    std::vector<LevelSpan> spans(static_cast<size_t>(count));
    for (int x = 0; x < count; ++x) {
        const uint32_t start = columns.start(x);
        const uint32_t end = columns.start(x + 1);
        // With fewer samples than pixels a column may hold none: the level before it goes on.
        spans[static_cast<size_t>(x)] =
            start < end ? samples.span(start, end) : samples.span(start - 1, start);
    }
    drawSpans(canvas, rows, spans);
}

void drawSpans(TraceCanvas& canvas, const ChannelRows& rows, const std::vector<LevelSpan>& spans) {
    TraceCanvas::Pen selected = 0;
    for (int k = 0; k < kChannelCount; ++k) {
        if (rows.pens != nullptr && !rows.pens->select(k, selected)) {
            continue;
        }
        drawChannel(canvas, spans, kChannelBits[k], rows.baseline[k], rows.levelHeight);
    }
}

std::vector<LevelSpan> timeColumnSpans(const TimeAxis& time, uint32_t first, uint32_t end,
                                       int width, const SampleSpans& samples) {
    std::vector<LevelSpan> spans(static_cast<size_t>(std::max(width, 0)));
    uint32_t start = std::clamp(time.firstIndexFrom(time.secondsAtX(0)), first, end);
    for (int x = 0; x < width && start < end; ++x) {
        const uint32_t next = std::clamp(time.firstIndexFrom(time.secondsAtX(x + 1)), start, end);
        LevelSpan& span = spans[static_cast<size_t>(x)];
        if (next > start) {
            span = samples.span(start, next);
        } else if (start > 0 && !time.timeBase->gapBefore(time.origin + start)) {
            span = samples.span(start - 1, start);
        }
        start = next;
    }
    return spans;
}
