#include "display/trace_view.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "core/scope_session.h"
#include "core/time_base.h"
#include "core/window_system.h"
#include "display/channel_pens.h"
#include "display/column_drawing.h"
#include "display/gap_marks.h"
#include "display/session_pyramid.h"
#include "display/trace_geometry.h"
#include "display/trace_readout.h"

namespace {

int level(uint8_t sample, int channel, int levelHeight) {
    return (sample & kChannelBits[channel]) != 0 ? levelHeight : 0;
}

void drawGrid(TraceCanvas& canvas, const TraceGeometry& g, int width) {
    for (int row : g.gridRow) {
        canvas.line(0, row, width, row);
    }
}

// Each sample continues every channel from the previous sample's level, one zoom step to the
// left; the first one continues from its own level, so it starts flat.
// A hidden channel is left out; pens change only where two channels' colours differ.
void drawSamples(TraceCanvas& canvas, const TraceGeometry& g, const uint8_t* samples,
                 const ChannelPens& pens) {
    const int zoomStep = g.scale.zoomStep();
    int previous[kChannelCount];
    for (int k = 0; k < kChannelCount; ++k) {
        previous[k] = level(samples[g.firstSample], k, g.levelHeight);
    }
    TraceCanvas::Pen selected = 0;
    int x = 0;
    for (uint32_t n = 0; n < g.sampleCount; ++n, x += zoomStep) {
        const uint8_t sample = samples[g.firstSample + n];
        for (int k = 0; k < kChannelCount; ++k) {
            const int current = level(sample, k, g.levelHeight);
            if (pens.select(k, selected)) {
                canvas.line(x - zoomStep, g.baseline[k] - previous[k], x, g.baseline[k] - current);
            }
            previous[k] = current;
        }
    }
}

ChannelRows rowsOf(const TraceGeometry& g, const ChannelPens& pens) {
    ChannelRows rows;
    rows.pens = &pens;
    std::copy(std::begin(g.baseline), std::end(g.baseline), rows.baseline);
    rows.levelHeight = g.levelHeight;
    return rows;
}

// Below 1:1, a column per pixel in min/max form, summed up from the pyramid.
void drawSampleColumns(TraceCanvas& canvas, const TraceGeometry& g, const ScopeSession& session,
                       const ChannelPens& pens) {
    const SampleColumns columns{g.firstSample, g.firstSample + g.sampleCount, g.scale.samples(),
                                g.scale.columns()};
    drawColumns(canvas, rowsOf(g, pens), columns, sessionSpans(session));
}

// Full-height lines at `xs` in a pen of `colour` made for them; none, and no pen, without any.
void drawFullHeightLines(TraceCanvas& canvas, uint32_t colour, const std::vector<int>& xs,
                         int height) {
    const TraceCanvas::Pen pen = xs.empty() ? 0 : canvas.createPen(colour);
    if (pen == 0) {
        return;
    }
    const TraceCanvas::Pen previous = canvas.selectPen(pen);
    for (const int x : xs) {
        canvas.line(x, 0, x, height);
    }
    canvas.selectPen(previous);
    canvas.deletePen(pen);
}

// On the time axis, a column per pixel over the samples taken in its time.
void drawTimeColumns(TraceCanvas& canvas, const TraceGeometry& g, const ScopeSession& session,
                     int width, const ChannelPens& pens) {
    const std::vector<LevelSpan> spans = timeColumnSpans(
        *g.time, g.firstSample, g.firstSample + g.sampleCount, width, sessionSpans(session));
    drawSpans(canvas, rowsOf(g, pens), spans);
}

// A gap wide enough on the time axis is hatched over the stretch it lasted, so that nobody reads
// it as a flat signal; a narrower one gets the sample axis's mark at its end.
constexpr int kHatchedGap = 8;
constexpr int kHatchSpacing = 8;

// Lines x + y = c, every kHatchSpacing pixels of c, clipped to [x0, x1) x [0, height).
void hatch(TraceCanvas& canvas, int x0, int x1, int height) {
    const int firstC = (x0 / kHatchSpacing + 1) * kHatchSpacing;
    for (int c = firstC; c < x1 + height; c += kHatchSpacing) {
        const int top = std::max(0, c - (x1 - 1));
        const int bottom = std::min(height - 1, c - x0);
        if (top <= bottom) {
            canvas.line(c - top, top, c - bottom, bottom);
        }
    }
}

// The hatched stretches of the gaps on screen; the rest go to `columns` as marks.
void drawGapStretches(TraceCanvas& canvas, const TraceGeometry& g, const std::vector<TimeGap>& gaps,
                      GapColumns& columns, double columnSeconds, int width, int height) {
    const TimeAxis& time = *g.time;
    std::vector<std::pair<int, int>> stretches;
    for (const TimeGap& gap : gaps) {
        const double index = gap.sample - time.origin;
        const int x0 = static_cast<int>(std::lround(time.x(time.secondsOf(index - 1)))) + 1;
        const int x1 = static_cast<int>(std::lround(time.x(time.secondsOf(index))));
        if (x1 - x0 >= kHatchedGap) {
            stretches.emplace_back(std::max(x0, 0), std::min(x1, width));
        } else {
            columns.add(static_cast<int>(edgeX(g, gap.sample - time.origin)),
                        gapMarkLevel(gap, columnSeconds));
        }
    }
    const TraceCanvas::Pen pen =
        stretches.empty() ? 0 : canvas.createPen(gapMarkColour(GapMarkLevel::Clear));
    if (pen == 0) {
        return;
    }
    const TraceCanvas::Pen previous = canvas.selectPen(pen);
    for (const auto& [x0, x1] : stretches) {
        hatch(canvas, x0, x1, height);
    }
    canvas.selectPen(previous);
    canvas.deletePen(pen);
}

// A mark where the sampling stood still (or reads failed), halfway into the step before the
// sample that came after it, as plain as the time it hid is long against a column's time. With no
// mark on screen nothing is drawn, not even a pen made, so that such a recording looks exactly as
// it would without a time base.
void drawGaps(TraceCanvas& canvas, const TraceGeometry& g, const ScopeSession& s, int width,
              int height) {
    if (g.sampleCount == 0) {
        return;
    }
    const uint32_t first = s.sampleOrigin + g.firstSample;
    const double columnSeconds = secondsPerColumn(s.timeBase, g.scale.samplesPerPixel());
    GapColumns columns(width);
    const std::vector<TimeGap> gaps = s.timeBase.gapsBetween(first + 1, first + g.sampleCount - 1);
    if (g.time) {
        drawGapStretches(canvas, g, gaps, columns, columnSeconds, width, height);
    } else {
        for (const TimeGap& gap : gaps) {
            if (const std::optional<int> x = gapX(g, gap.sample - s.sampleOrigin)) {
                columns.add(*x, gapMarkLevel(gap, columnSeconds));
            }
        }
    }
    columns.draw(canvas, height);
}

// One full-height line in a pen of its own, made only when the marker is on screen.
void drawMarker(TraceCanvas& canvas, const TraceGeometry& g, uint32_t marker, uint32_t colour,
                int width, int height) {
    const std::optional<int> x = sampleX(g, marker);
    if (x && *x < width) {
        drawFullHeightLines(canvas, colour, {*x}, height);
    }
}

// The span between the markers, as far as it is on screen, filled under everything else.
void drawSpan(TraceCanvas& canvas, const TraceGeometry& g, const ScopeSession& s, int width,
              int height) {
    if (!s.marker || !s.secondMarker || *s.marker == *s.secondMarker) {
        return;
    }
    // Where a sample is drawn, also off the view: its step starts half a step after its edge.
    const int half = g.scale.belowOneToOne() ? 0 : g.scale.zoomStep() / 2;
    const auto xOf = [&](uint32_t index) {
        return std::clamp<int64_t>(edgeX(g, index) + half, 0, width);
    };
    const auto [low, high] = std::minmax(*s.marker, *s.secondMarker);
    const auto x0 = static_cast<int>(xOf(low));
    const auto x1 = static_cast<int>(xOf(high));
    const TraceCanvas::Pen pen = x0 < x1 ? canvas.createPen(kSpanColour) : 0;
    if (pen == 0) {
        return;
    }
    const TraceCanvas::Pen previous = canvas.selectPen(pen);
    canvas.fill(x0, 0, x1 + 1, height);
    canvas.selectPen(previous);
    canvas.deletePen(pen);
}

// A full-height line with a T on top where the trigger fired, when that is on screen.
void drawTriggerPoint(TraceCanvas& canvas, const TraceGeometry& g, uint32_t trigger, int width,
                      int height) {
    constexpr int kHalfBar = 4;
    constexpr int kStem = 9;
    const std::optional<int> x = sampleX(g, trigger);
    if (!x || *x >= width) {
        return;
    }
    const TraceCanvas::Pen pen = canvas.createPen(kTriggerColour);
    if (pen == 0) {
        return;
    }
    const TraceCanvas::Pen previous = canvas.selectPen(pen);
    canvas.line(*x, 0, *x, height);
    canvas.fill(*x - kHalfBar, 0, *x + kHalfBar + 1, 2);
    canvas.fill(*x - 1, 0, *x + 2, kStem);
    canvas.selectPen(previous);
    canvas.deletePen(pen);
}

// The channels' traces in their pens, on the sample axis or the time axis.
void drawTraces(TraceCanvas& canvas, const TraceGeometry& g, const ScopeSession& s, int width,
                const ChannelPens& pens) {
    if (g.sampleCount > 0 && g.time) {
        drawTimeColumns(canvas, g, s, width, pens);
    } else if (g.sampleCount > 0 && g.scale.belowOneToOne()) {
        drawSampleColumns(canvas, g, s, pens);
    } else if (g.sampleCount > 0) {
        drawSamples(canvas, g, s.sampleData, pens);
    }
}

}  // namespace

void paintTrace(TraceCanvas& canvas, int width, int height) {
    const TraceCanvas::Pen gridPen = canvas.createPen(kGridColour);
    const ScopeSession& s = scopeSession;
    // Made after the grid's, and released whatever happens.
    const ChannelPens tracePens(canvas, s.channels);
    if (gridPen == 0 || !tracePens.ok()) {
        if (gridPen != 0) {
            canvas.deletePen(gridPen);
        }
        return;
    }
    const TraceCanvas::Pen oldPen = canvas.selectPen(gridPen);

    const TraceGeometry g = viewGeometry(s, width, height);
    if (s.sampleData != nullptr) {
        drawSpan(canvas, g, s, width, height);
    }
    drawGrid(canvas, g, width);
    // Also while the worker fills the buffer.
    if (s.sampleData != nullptr) {
        // Under the traces, so that a capture full of gaps still shows its signal.
        drawGaps(canvas, g, s, width, height);
        drawTraces(canvas, g, s, width, tracePens);
        if (const std::optional<uint32_t> trigger = triggerIndex(s)) {
            drawTriggerPoint(canvas, g, *trigger, width, height);
        }
        if (s.secondMarker) {
            drawMarker(canvas, g, *s.secondMarker, kSecondMarkerColour, width, height);
        }
        if (s.marker) {
            drawMarker(canvas, g, *s.marker, kMarkerColour, width, height);
        }
    }

    canvas.selectPen(oldPen);
    canvas.deletePen(gridPen);
}

void refreshTraceView(WindowSystem& mainWindow) {
    mainWindow.refreshTraceView();
}
