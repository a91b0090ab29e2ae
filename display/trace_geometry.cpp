#include "display/trace_geometry.h"

#include <algorithm>
#include <cmath>

#include "core/time_base.h"
#include "display/gap_marks.h"

namespace {

// The last screenful never scrolls past the end of the data; the view start itself stays.
uint32_t firstVisibleSample(uint32_t viewStart, uint32_t sampleLength, int width, ViewScale scale) {
    const int64_t lastScreen = int64_t{sampleLength} - screenSamples(width, scale);
    if (scale.belowOneToOne() && viewStart > lastScreen) {
        return static_cast<uint32_t>(std::max<int64_t>(lastScreen, 0));
    }
    if (lastScreen >= 0 && viewStart > lastScreen) {
        return static_cast<uint32_t>(lastScreen);
    }
    return viewStart;
}

// x runs from 0 while x <= width + zoomStep: width / zoomStep + 2 samples; below 1:1 a column
// for every pixel.
int64_t samplesOnScreen(int width, ViewScale scale) {
    if (scale.belowOneToOne()) {
        return screenSamples(width, scale);
    }
    return std::max<int64_t>(int64_t{width} / scale.zoomStep() + 2, 0);
}

// Float error must not put a sample's own time before it.
constexpr double kIndexSlack = 1e-6;

// Samples from g.firstSample up to the first one right of the view, and one more for the line
// into it.
uint32_t samplesInTime(const TraceGeometry& g, int width, uint32_t sampleLength) {
    const TimeAxis& time = *g.time;
    const uint32_t past = time.firstIndexFrom(time.secondsAtX(width + 1));
    const int64_t count = int64_t{past} - g.firstSample + 1;
    return static_cast<uint32_t>(
        std::clamp<int64_t>(count, 0, int64_t{sampleLength} - g.firstSample));
}

}  // namespace

TimeWalk& TimeAxis::walk() const {
    if (!walkCache || !walkCache->walks(*timeBase)) {
        walkCache.emplace(*timeBase);
    }
    return *walkCache;
}

double TimeAxis::secondsOf(double index) const {
    return walk().secondsAt(origin + index);
}

uint32_t TimeAxis::firstIndexFrom(double seconds) const {
    const double at = walk().sampleAt(seconds) - origin;
    if (at <= 0) {
        return 0;
    }
    auto index = static_cast<uint32_t>(std::ceil(at - kIndexSlack));
    // Inside a gap sampleAt gives the last sample before it.
    if (secondsOf(index) < seconds - kIndexSlack * secondsPerPixel) {
        ++index;
    }
    return index;
}

TraceGeometry traceGeometry(int width, int height, uint32_t viewStart, uint32_t sampleLength,
                            ViewScale scale) {
    TraceGeometry g;
    const int rowPitch = (height + 1) / 5;
    for (int i = 0; i < kChannelCount; ++i) {
        g.gridRow[i] = (i + 1) * rowPitch - 5;
        g.baseline[i] = g.gridRow[i] - 3;
    }
    g.levelHeight = height / 7;

    g.firstSample = firstVisibleSample(viewStart, sampleLength, width, scale);
    const int64_t onScreen = samplesOnScreen(width, scale);
    const int64_t available = std::max<int64_t>(int64_t{sampleLength} - g.firstSample, 0);
    g.sampleCount = static_cast<uint32_t>(std::clamp<int64_t>(onScreen, 0, available));
    g.scale = scale;
    return g;
}

TraceGeometry timeAxisGeometry(int width, int height, uint32_t viewStart, uint32_t sampleLength,
                               ViewScale scale, const TimeBase& timeBase, uint32_t origin) {
    TraceGeometry g = traceGeometry(width, height, viewStart, sampleLength, scale);
    const double perPixel = secondsPerColumn(timeBase, scale.samplesPerPixel());
    if (g.sampleCount == 0 || !(perPixel > 0)) {
        return g;
    }
    TimeAxis time{&timeBase, origin, 0, perPixel, {}};
    g.firstSample = std::min(viewStart, lastTimeScreenStart(time, sampleLength, width));
    time.leftSeconds = time.secondsOf(g.firstSample);
    g.time = time;
    g.sampleCount = samplesInTime(g, width, sampleLength);
    return g;
}

uint32_t lastTimeScreenStart(const TimeAxis& time, uint32_t sampleLength, int width) {
    if (sampleLength == 0) {
        return 0;
    }
    const double end = time.secondsOf(sampleLength - 1);
    return std::min(time.firstIndexFrom(end - (width - 1) * time.secondsPerPixel),
                    sampleLength - 1);
}

bool hasTimeAxis(const ScopeSession& session) {
    return !session.workerCapturing && session.timeBase.known();
}

std::optional<TimeAxis> sessionTimeAxis(const ScopeSession& session) {
    return sessionTimeAxis(session, session.view.scale);
}

std::optional<TimeAxis> sessionTimeAxis(const ScopeSession& session, ViewScale scale) {
    const double perPixel = secondsPerColumn(session.timeBase, scale.samplesPerPixel());
    if (!session.view.timeAxis || !hasTimeAxis(session) || !(perPixel > 0)) {
        return std::nullopt;
    }
    return TimeAxis{&session.timeBase, session.sampleOrigin, 0, perPixel, {}};
}

uint32_t viewExtent(const ScopeSession& session) {
    const uint32_t samples = drawableSamples(session);
    if (!session.view.timeAxis || !hasTimeAxis(session) || samples == 0) {
        return samples;
    }
    const TimeBase& time = session.timeBase;
    const double period = secondsPerColumn(time, 1);
    const double first = session.sampleOrigin;
    const double lasted = time.secondsAt(first + samples) - time.secondsAt(first);
    if (!(period > 0)) {
        return samples;
    }
    return static_cast<uint32_t>(std::clamp(std::ceil(lasted / period), 1.0, 4294967295.0));
}

TraceGeometry viewGeometry(const ScopeSession& session, int width, int height) {
    const ViewState& view = session.view;
    if (view.timeAxis && hasTimeAxis(session)) {
        return timeAxisGeometry(width, height, view.viewStart, drawableSamples(session), view.scale,
                                session.timeBase, session.sampleOrigin);
    }
    return traceGeometry(width, height, view.viewStart, drawableSamples(session), view.scale);
}

std::optional<uint32_t> sampleAtX(const TraceGeometry& g, int x) {
    if (x < 0) {
        return std::nullopt;
    }
    if (g.time) {
        // The sample whose stretch, up to the next one's time, holds x; in a gap the one before.
        const double at = g.time->timeBase->sampleAt(g.time->secondsAtX(x)) - g.time->origin;
        const auto index = static_cast<int64_t>(std::floor(at + kIndexSlack));
        if (index < g.firstSample || index - g.firstSample >= g.sampleCount) {
            return std::nullopt;
        }
        return static_cast<uint32_t>(index);
    }
    const uint64_t offset = g.scale.belowOneToOne()
                                ? g.scale.samplesBeforeColumn(static_cast<uint32_t>(x))
                                : static_cast<uint32_t>(x / g.scale.zoomStep());
    if (offset >= g.sampleCount) {
        return std::nullopt;
    }
    return g.firstSample + static_cast<uint32_t>(offset);
}

std::optional<int> sampleX(const TraceGeometry& g, uint32_t index) {
    if (index < g.firstSample || index - g.firstSample >= g.sampleCount) {
        return std::nullopt;
    }
    if (g.time) {
        return static_cast<int>(std::lround(g.time->x(g.time->secondsOf(index))));
    }
    return static_cast<int>(g.scale.columnOf(index - g.firstSample));
}

int64_t edgeX(const TraceGeometry& g, int64_t index) {
    if (g.time) {
        // Half a typical sample before the sample, as on the sample axis; after a gap, at its end.
        const double x = g.time->x(g.time->secondsOf(static_cast<double>(index)));
        if (g.scale.belowOneToOne()) {
            return static_cast<int64_t>(std::floor(x + kIndexSlack));
        }
        return std::lround(x) - g.scale.zoomStep() / 2;
    }
    const int64_t column = g.scale.columnOf(index - int64_t{g.firstSample});
    return g.scale.belowOneToOne() ? column : column - g.scale.zoomStep() / 2;
}

int channelAtY(const TraceGeometry& g, int y) {
    for (int channel = 0; channel < kChannelCount - 1; ++channel) {
        if (y <= g.gridRow[channel]) {
            return channel;
        }
    }
    return kChannelCount - 1;
}
