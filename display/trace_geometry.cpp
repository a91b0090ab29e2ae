#include "display/trace_geometry.h"

#include <algorithm>

namespace {

// The last screenful never scrolls past the end of the data; the view start itself stays.
uint32_t firstVisibleSample(uint32_t viewStart, uint32_t sampleLength, int width) {
    const int64_t lastScreen = int64_t{sampleLength} - width;
    if (lastScreen >= 0 && viewStart > lastScreen) {
        return static_cast<uint32_t>(lastScreen);
    }
    return viewStart;
}

}  // namespace

TraceGeometry traceGeometry(int width, int height, uint32_t viewStart, uint32_t sampleLength,
                            int zoomStep) {
    TraceGeometry g;
    const int rowPitch = (height + 1) / 5;
    for (int i = 0; i < kChannelCount; ++i) {
        g.gridRow[i] = (i + 1) * rowPitch - 5;
        g.baseline[i] = g.gridRow[i] - 3;
    }
    g.levelHeight = height / 7;

    g.firstSample = firstVisibleSample(viewStart, sampleLength, width);
    // x runs from 0 while x <= width + zoomStep: width / zoomStep + 2 samples.
    const int64_t onScreen = std::max<int64_t>(int64_t{width} / zoomStep + 2, 0);
    const int64_t available = std::max<int64_t>(int64_t{sampleLength} - g.firstSample, 0);
    g.sampleCount = static_cast<uint32_t>(std::min(onScreen, available));
    g.zoomStep = zoomStep;
    return g;
}

TraceGeometry viewGeometry(const ScopeSession& session, int width, int height) {
    return traceGeometry(width, height, session.viewStart, drawableSamples(session),
                         session.zoomStep);
}

std::optional<uint32_t> sampleAtX(const TraceGeometry& g, int x) {
    if (x < 0 || static_cast<uint32_t>(x / g.zoomStep) >= g.sampleCount) {
        return std::nullopt;
    }
    return g.firstSample + static_cast<uint32_t>(x / g.zoomStep);
}

std::optional<int> sampleX(const TraceGeometry& g, uint32_t index) {
    if (index < g.firstSample || index - g.firstSample >= g.sampleCount) {
        return std::nullopt;
    }
    return static_cast<int>(index - g.firstSample) * g.zoomStep;
}

int channelAtY(const TraceGeometry& g, int y) {
    for (int channel = 0; channel < kChannelCount - 1; ++channel) {
        if (y <= g.gridRow[channel]) {
            return channel;
        }
    }
    return kChannelCount - 1;
}
