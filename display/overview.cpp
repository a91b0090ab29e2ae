#include "display/overview.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/scope_session.h"
#include "display/channel_pens.h"
#include "display/gap_marks.h"
#include "display/session_pyramid.h"
#include "display/trace_geometry.h"

namespace {

// The visible samples, at least a few pixels wide so that a deep zoom still shows where it is.
void drawBox(TraceCanvas& canvas, const OverviewScale& scale, const TraceGeometry& g, int height) {
    constexpr int kNarrowest = 3;
    const int left = scale.x(g.firstSample);
    const int right = std::max(scale.x(uint64_t{g.firstSample} + g.sampleCount), left + kNarrowest);
    const int bottom = height - 1;
    canvas.line(left, 0, right, 0);
    canvas.line(right, 0, right, bottom);
    canvas.line(right, bottom, left, bottom);
    canvas.line(left, bottom, left, 0);
}

// Where gaps cluster: each column marked by the time its gaps hid together, against the time the
// column stands for.
GapColumns gapClusters(const ScopeSession& s, const OverviewScale& scale, uint32_t drawable) {
    GapColumns columns(scale.width);
    const double perColumn = static_cast<double>(scale.extent) / scale.width;
    const double columnSeconds =
        scale.time ? scale.time->secondsPerPixel : secondsPerColumn(s.timeBase, perColumn);
    std::vector<uint64_t> lost(static_cast<size_t>(scale.width) + 1);
    std::vector<uint32_t> failed(lost.size());
    for (const TimeGap& gap :
         s.timeBase.gapsBetween(s.sampleOrigin + 1, s.sampleOrigin + drawable - 1)) {
        const auto x = static_cast<size_t>(scale.x(gap.sample - s.sampleOrigin));
        lost[x] += gap.nanoseconds;
        failed[x] += gap.failedReads;
    }
    for (size_t x = 0; x < lost.size(); ++x) {
        columns.add(static_cast<int>(x), gapMarkLevel(lost[x], failed[x], columnSeconds));
    }
    return columns;
}

void drawTrace(TraceCanvas& canvas, const OverviewScale& scale, int height, uint32_t drawable,
               const ChannelPens& pens) {
    const ScopeSession& s = scopeSession;
    ChannelRows rows = overviewRows(height);
    rows.pens = &pens;
    if (scale.time) {
        drawSpans(canvas, rows,
                  timeColumnSpans(*scale.time, 0, drawable, scale.width, sessionSpans(s)));
        return;
    }
    const SampleColumns columns{0, drawable, scale.extent, static_cast<uint64_t>(scale.width)};
    drawColumns(canvas, rows, columns, sessionSpans(s));
}

}  // namespace

int OverviewScale::x(uint64_t sample) const {
    if (extent == 0) {
        return 0;
    }
    if (time) {
        const double at =
            time->x(time->secondsOf(static_cast<double>(std::min<uint64_t>(sample, extent))));
        return static_cast<int>(std::clamp(std::floor(at), 0.0, static_cast<double>(width)));
    }
    return static_cast<int>(std::min<uint64_t>(sample, extent) * static_cast<uint64_t>(width) /
                            extent);
}

uint32_t OverviewScale::sample(int x) const {
    if (width <= 0) {
        return 0;
    }
    if (time) {
        return std::min(time->firstIndexFrom(time->secondsAtX(std::clamp(x, 0, width))), extent);
    }
    const uint64_t column = static_cast<uint64_t>(std::clamp(x, 0, width));
    // The first sample whose column is x: ceil(x * extent / width).
    return static_cast<uint32_t>(
        std::min<uint64_t>((column * extent + static_cast<uint64_t>(width) - 1) / width, extent));
}

ChannelRows overviewRows(int height) {
    ChannelRows rows;
    const int pitch = height / kChannelCount;
    for (int k = 0; k < kChannelCount; ++k) {
        rows.baseline[k] = (k + 1) * pitch - 2;
    }
    rows.levelHeight = std::max(pitch - 4, 0);
    return rows;
}

OverviewScale sessionOverview(int width) {
    const ScopeSession& s = scopeSession;
    OverviewScale scale{std::max<uint32_t>(s.sampleLength, drawableSamples(s)), width, {}};
    std::optional<TimeAxis> time = sessionTimeAxis(s);
    if (time && width > 0) {
        time->leftSeconds = time->secondsOf(0);
        time->secondsPerPixel = (time->secondsOf(scale.extent) - time->leftSeconds) / width;
        if (time->secondsPerPixel > 0) {
            scale.time = time;
        }
    }
    return scale;
}

void paintOverview(TraceCanvas& canvas, int width, int height, int traceWidth) {
    const ScopeSession& s = scopeSession;
    const uint32_t drawable = drawableSamples(s);
    if (drawable == 0 || width <= 0) {
        return;
    }
    const ChannelPens tracePens(canvas, s.channels);
    const TraceCanvas::Pen boxPen = canvas.createPen(kOverviewBoxColour);
    if (tracePens.ok() && boxPen != 0) {
        const OverviewScale scale = sessionOverview(width);
        gapClusters(s, scale, drawable).draw(canvas, height);
        const TraceCanvas::Pen oldPen = canvas.selectPen(boxPen);
        drawTrace(canvas, scale, height, drawable, tracePens);
        canvas.selectPen(boxPen);
        drawBox(canvas, scale, viewGeometry(s, traceWidth, height), height);
        canvas.selectPen(oldPen);
    }
    if (boxPen != 0) {
        canvas.deletePen(boxPen);
    }
}
