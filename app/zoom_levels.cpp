#include "app/zoom_levels.h"

#include <algorithm>
#include <limits>

#include "app/navigation.h"
#include "core/scope_session.h"

namespace {

constexpr uint8_t kLargestZoomStep = 16;

// Below 1:1 the ladder's rungs are the powers of two under the fit, then the fit itself. The rung
// above: the largest power of two under `samplesPerPixel` (1 is 1:1).
uint32_t fewerSamplesPerPixel(uint32_t samplesPerPixel) {
    uint32_t power = 1;
    while (power * 2 < samplesPerPixel) {
        power *= 2;
    }
    return power;
}

// The rung below: the next power of two, but never past the fit.
uint32_t moreSamplesPerPixel(uint32_t samplesPerPixel, uint32_t fit) {
    uint32_t power = 2;
    while (power <= samplesPerPixel && power < fit) {
        power *= 2;
    }
    return std::min(power, fit);
}

}  // namespace

ZoomLevel currentZoom() {
    return ZoomLevel{scopeSession.zoomStep, scopeSession.samplesPerPixel};
}

ZoomLevel fitZoom(uint32_t length, int width) {
    if (length == 0 || width <= 0) {
        return ZoomLevel{};
    }
    const auto pixels = static_cast<uint32_t>(width);
    if (length > pixels) {
        return ZoomLevel{1, length / pixels + (length % pixels != 0 ? 1 : 0)};
    }
    uint8_t zoomStep = kLargestZoomStep;
    while (zoomStep > 1 && uint64_t{length} * zoomStep > pixels) {
        zoomStep /= 2;
    }
    return ZoomLevel{zoomStep, 1};
}

ZoomLevel ladderStep(ZoomLevel level, bool zoomIn, uint32_t length, int width) {
    const uint32_t fit = fitZoom(length, width).samplesPerPixel;
    if (level.samplesPerPixel > 1) {
        if (zoomIn) {
            return ZoomLevel{1, fewerSamplesPerPixel(level.samplesPerPixel)};
        }
        return ZoomLevel{
            1, std::max(level.samplesPerPixel, moreSamplesPerPixel(level.samplesPerPixel, fit))};
    }
    if (!zoomIn && level.zoomStep == 1) {
        return ZoomLevel{1, fit > 1 ? moreSamplesPerPixel(1, fit) : 1};
    }
    return ZoomLevel{zoomedStep(level.zoomStep, zoomIn), 1};
}

void showZoomLevel(WindowSystem& mainWindow, ZoomLevel level, int64_t firstSample) {
    ScopeSession& s = scopeSession;
    const bool rangeChanges = level.samplesPerPixel != s.samplesPerPixel;
    s.zoomStep = level.zoomStep;
    s.samplesPerPixel = level.samplesPerPixel;
    if (rangeChanges) {
        setScrollRangeFor(mainWindow, drawableSamples(s));
    }
    const int64_t start = std::clamp<int64_t>(firstSample, 0, std::numeric_limits<int32_t>::max());
    handleScroll(mainWindow, SCROLL_THUMB_POSITION, static_cast<int32_t>(start));
}

void zoomToFit(WindowSystem& mainWindow) {
    showZoomLevel(mainWindow, fitZoom(drawableSamples(scopeSession), scopeSession.viewWidth), 0);
}
