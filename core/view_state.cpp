#include "core/view_state.h"

#include <algorithm>
#include <cmath>

namespace {

// The memory trigger leaves this many pixels of the old level in view at 1:1.
constexpr uint32_t kBackOffPixels = 10;

// Below 1:1 the ladder's rungs are the powers of two under the fit, then the fit itself. The rung
// above: the largest power of two under `samples` (1 is 1:1).
uint32_t fewerSamplesPerColumn(uint32_t samples) {
    uint32_t power = 1;
    while (power * 2 < samples) {
        power *= 2;
    }
    return power;
}

// The rung below: the next power of two, but never past the fit.
uint32_t moreSamplesPerColumn(uint32_t samples, uint32_t fit) {
    uint32_t power = 2;
    while (power <= samples && power < fit) {
        power *= 2;
    }
    return std::min(power, fit);
}

}  // namespace

ViewScale ViewScale::pixelsPerSample(int zoomStep) {
    return ViewScale(1.0 / zoomStep);
}

ViewScale ViewScale::samplesPerColumn(uint32_t samples) {
    return ViewScale(samples);
}

int ViewScale::zoomStep() const {
    return belowOneToOne() ? 1 : static_cast<int>(std::lround(1 / samplesPerPixel_));
}

uint32_t ViewScale::columnSamples() const {
    return belowOneToOne() ? static_cast<uint32_t>(samplesPerPixel_) : 1;
}

int64_t screenSamples(int width, ViewScale scale) {
    return int64_t{width} * scale.columnSamples();
}

ViewScale buttonZoom(ViewScale scale, bool zoomIn) {
    if (scale.belowOneToOne()) {
        return zoomIn ? ViewScale{} : scale;
    }
    const int step = scale.zoomStep();
    if (zoomIn && step < kLargestZoomStep) {
        return ViewScale::pixelsPerSample(step * 2);
    }
    if (!zoomIn && step > 1) {
        return ViewScale::pixelsPerSample(step / 2);
    }
    return scale;
}

ViewScale fitScale(uint32_t length, int width) {
    if (length == 0 || width <= 0) {
        return ViewScale{};
    }
    const auto pixels = static_cast<uint32_t>(width);
    if (length > pixels) {
        return ViewScale::samplesPerColumn(length / pixels + (length % pixels != 0 ? 1 : 0));
    }
    int zoomStep = kLargestZoomStep;
    while (zoomStep > 1 && uint64_t{length} * static_cast<uint64_t>(zoomStep) > pixels) {
        zoomStep /= 2;
    }
    return ViewScale::pixelsPerSample(zoomStep);
}

ViewScale ladderStep(ViewScale scale, bool zoomIn, uint32_t length, int width) {
    const uint32_t fit = fitScale(length, width).columnSamples();
    const uint32_t samples = scale.columnSamples();
    if (scale.belowOneToOne()) {
        return ViewScale::samplesPerColumn(
            zoomIn ? fewerSamplesPerColumn(samples)
                   : std::max(samples, moreSamplesPerColumn(samples, fit)));
    }
    if (!zoomIn && scale.zoomStep() == 1) {
        return ViewScale::samplesPerColumn(fit > 1 ? moreSamplesPerColumn(1, fit) : 1);
    }
    return buttonZoom(scale, zoomIn);
}

uint32_t memoryTriggerBackOff(ViewScale scale) {
    return scale.belowOneToOne() ? 0 : kBackOffPixels / static_cast<uint32_t>(scale.zoomStep());
}
