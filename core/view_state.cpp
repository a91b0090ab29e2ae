#include "core/view_state.h"

#include <algorithm>
#include <numeric>

namespace {

// The memory trigger leaves this many pixels of the old level in view at 1:1.
constexpr uint32_t kBackOffPixels = 10;

// Whether `a` holds fewer samples a column than `b`. Columns count pixels of a screen, so the
// products stay far inside 64 bits.
bool finer(ViewScale a, ViewScale b) {
    return a.samples() * b.columns() < b.samples() * a.columns();
}

// Below 1:1 the ladder's rungs are the powers of two under the fit, then the fit itself. The rung
// above: the largest power of two under `scale` (1 is 1:1).
uint32_t fewerSamplesPerColumn(ViewScale scale) {
    uint32_t power = 1;
    while (uint64_t{power} * 2 * scale.columns() < scale.samples()) {
        power *= 2;
    }
    return power;
}

// The rung below: the next power of two, but never past the fit.
ViewScale moreSamplesPerColumn(ViewScale scale, ViewScale fit) {
    uint32_t power = 2;
    while (uint64_t{power} * scale.columns() <= scale.samples() &&
           uint64_t{power} * fit.columns() < fit.samples()) {
        power *= 2;
    }
    const ViewScale rung = ViewScale::samplesPerColumn(power);
    return finer(rung, fit) ? rung : fit;
}

}  // namespace

ViewScale ViewScale::pixelsPerSample(int zoomStep) {
    return ViewScale(1, static_cast<uint32_t>(std::max(zoomStep, 1)));
}

ViewScale ViewScale::samplesPerColumn(uint32_t samples) {
    return ViewScale(std::max<uint32_t>(samples, 1), 1);
}

ViewScale ViewScale::samplesOnColumns(uint64_t samples, uint32_t columns) {
    if (columns == 0 || samples <= columns) {
        return ViewScale{};
    }
    const uint64_t common = std::gcd(samples, uint64_t{columns});
    return ViewScale(samples / common, static_cast<uint32_t>(columns / common));
}

double ViewScale::samplesPerPixel() const {
    return static_cast<double>(samples_) / columns_;
}

int ViewScale::zoomStep() const {
    return belowOneToOne() ? 1 : static_cast<int>(columns_ / samples_);
}

uint64_t ViewScale::samplesBeforeColumn(uint32_t x) const {
    return (uint64_t{x} * samples_ + columns_ - 1) / columns_;
}

int64_t ViewScale::columnOf(int64_t offset) const {
    const int64_t scaled = offset * columns_;
    const auto samples = static_cast<int64_t>(samples_);
    return scaled >= 0 ? scaled / samples : -((-scaled + samples - 1) / samples);
}

int64_t screenSamples(int width, ViewScale scale) {
    const auto columns = static_cast<uint32_t>(std::max(width, 0));
    return scale.belowOneToOne() ? static_cast<int64_t>(scale.samplesBeforeColumn(columns))
                                 : int64_t{width};
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
        return ViewScale::samplesOnColumns(length, pixels);
    }
    int zoomStep = kLargestZoomStep;
    while (zoomStep > 1 && uint64_t{length} * static_cast<uint64_t>(zoomStep) > pixels) {
        zoomStep /= 2;
    }
    return ViewScale::pixelsPerSample(zoomStep);
}

ViewScale ladderStep(ViewScale scale, bool zoomIn, uint32_t length, int width) {
    const ViewScale fit = fitScale(length, width);
    if (scale.belowOneToOne() && zoomIn) {
        return ViewScale::samplesPerColumn(fewerSamplesPerColumn(scale));
    }
    if (scale.belowOneToOne() || (!zoomIn && scale.zoomStep() == 1)) {
        // A scale at or beyond the fit (after a cut) zooms no further out.
        return finer(scale, fit) ? moreSamplesPerColumn(scale, fit) : scale;
    }
    return buttonZoom(scale, zoomIn);
}

uint32_t memoryTriggerBackOff(ViewScale scale) {
    return scale.belowOneToOne() ? 0 : kBackOffPixels / static_cast<uint32_t>(scale.zoomStep());
}
