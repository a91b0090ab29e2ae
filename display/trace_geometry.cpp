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
    return g;
}
