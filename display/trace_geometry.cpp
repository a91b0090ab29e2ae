#include "display/trace_geometry.h"

#include <algorithm>

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

}  // namespace

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

TraceGeometry viewGeometry(const ScopeSession& session, int width, int height) {
    return traceGeometry(width, height, session.view.viewStart, drawableSamples(session),
                         session.view.scale);
}

std::optional<uint32_t> sampleAtX(const TraceGeometry& g, int x) {
    if (x < 0) {
        return std::nullopt;
    }
    const uint64_t offset = g.scale.belowOneToOne()
                                ? uint64_t{static_cast<uint32_t>(x)} * g.scale.columnSamples()
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
    const uint32_t offset = index - g.firstSample;
    return g.scale.belowOneToOne() ? static_cast<int>(offset / g.scale.columnSamples())
                                   : static_cast<int>(offset) * g.scale.zoomStep();
}

int64_t edgeX(const TraceGeometry& g, int64_t index) {
    const int64_t offset = index - int64_t{g.firstSample};
    if (g.scale.belowOneToOne()) {
        const auto perPixel = static_cast<int64_t>(g.scale.columnSamples());
        // Rounded down, also left of the first sample.
        return offset >= 0 ? offset / perPixel : -((-offset + perPixel - 1) / perPixel);
    }
    const int zoomStep = g.scale.zoomStep();
    return offset * zoomStep - zoomStep / 2;
}

int channelAtY(const TraceGeometry& g, int y) {
    for (int channel = 0; channel < kChannelCount - 1; ++channel) {
        if (y <= g.gridRow[channel]) {
            return channel;
        }
    }
    return kChannelCount - 1;
}
