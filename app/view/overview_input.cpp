#include "app/view/overview_input.h"

#include "app/view/view_scroll.h"
#include "app/view/zoom_levels.h"
#include "core/scope_session.h"
#include "display/trace_geometry.h"

void OverviewDrag::press(WindowSystem& mainWindow, int x, int width, int traceWidth) {
    const TraceGeometry g = viewGeometry(scopeSession, traceWidth, 0);
    const uint32_t sample = sessionOverview(width).sample(x);
    const bool inBox = sample >= g.firstSample && sample - g.firstSample < g.sampleCount;
    grab_ = inBox ? int64_t{sample} - g.firstSample : int64_t{g.sampleCount} / 2;
    scrollViewTo(mainWindow, int64_t{sample} - grab_);
}

void OverviewDrag::dragTo(WindowSystem& mainWindow, int x, int width) {
    scrollViewTo(mainWindow, int64_t{sessionOverview(width).sample(x)} - grab_);
}

void zoomAtOverview(WindowSystem& mainWindow, int x, int width, int traceWidth, bool zoomIn) {
    const ScopeSession& s = scopeSession;
    const ViewScale scale = ladderStep(s.view.scale, zoomIn, viewExtent(s), traceWidth);
    const int64_t shown = scale.belowOneToOne() ? screenSamples(traceWidth, scale)
                                                : int64_t{traceWidth} / scale.zoomStep();
    showZoomLevel(mainWindow, scale, int64_t{sessionOverview(width).sample(x)} - shown / 2);
}
