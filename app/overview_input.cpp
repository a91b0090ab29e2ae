#include "app/overview_input.h"

#include <algorithm>
#include <limits>

#include "app/navigation.h"
#include "app/zoom_levels.h"
#include "core/scope_session.h"
#include "display/trace_geometry.h"

namespace {

void scrollTo(WindowSystem& mainWindow, int64_t start) {
    const int64_t position = std::clamp<int64_t>(start, 0, std::numeric_limits<int32_t>::max());
    handleScroll(mainWindow, SCROLL_THUMB_POSITION, static_cast<int32_t>(position));
}

}  // namespace

void OverviewDrag::press(WindowSystem& mainWindow, int x, int width, int traceWidth) {
    const TraceGeometry g = viewGeometry(scopeSession, traceWidth, 0);
    const uint32_t sample = sessionOverview(width).sample(x);
    const bool inBox = sample >= g.firstSample && sample - g.firstSample < g.sampleCount;
    grab_ = inBox ? int64_t{sample} - g.firstSample : int64_t{g.sampleCount} / 2;
    scrollTo(mainWindow, int64_t{sample} - grab_);
}

void OverviewDrag::move(WindowSystem& mainWindow, int x, int width) {
    scrollTo(mainWindow, int64_t{sessionOverview(width).sample(x)} - grab_);
}

void zoomAtOverview(WindowSystem& mainWindow, int x, int width, int traceWidth, bool zoomIn) {
    const ScopeSession& s = scopeSession;
    const ZoomLevel level = ladderStep(currentZoom(), zoomIn, drawableSamples(s), traceWidth);
    const int64_t shown = level.samplesPerPixel > 1
                              ? screenSamples(traceWidth, level.samplesPerPixel)
                              : int64_t{traceWidth} / level.zoomStep;
    showZoomLevel(mainWindow, level, int64_t{sessionOverview(width).sample(x)} - shown / 2);
}
