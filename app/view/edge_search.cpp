#include "app/view/edge_search.h"

#include <algorithm>

#include "app/view/view_scroll.h"
#include "core/level_changes.h"
#include "core/scope_session.h"
#include "core/window_system.h"
#include "display/trace_geometry.h"
#include "display/trace_view.h"

namespace {

// Where a jump counts from when no marker is set: the screen's first sample, or just past its
// last, so that an edge on either is found.
uint32_t screenEnd(const TraceGeometry& g, bool forward) {
    return forward ? g.firstSample : g.firstSample + g.sampleCount;
}

// An edge off screen comes to the middle of it, as far as the scroll range allows.
void bringIntoView(WindowSystem& mainWindow, const TraceGeometry& g, uint32_t edge, int width) {
    const std::optional<int> x = sampleX(g, edge);
    if (x && *x < width) {
        refreshTraceView(mainWindow);
        return;
    }
    const int64_t half = int64_t{g.sampleCount} / 2;
    const int64_t start = std::max<int64_t>(int64_t{edge} - half, 0);
    scrollViewTo(mainWindow, start);
}

}  // namespace

void jumpToEdge(WindowSystem& mainWindow, int channel, bool forward) {
    ScopeSession& s = scopeSession;
    if (!hasSampleData(s) || channel < 0 || channel >= kChannelCount) {
        mainWindow.beep();
        return;
    }
    const TraceGeometry g = viewGeometry(s, s.view.viewWidth, 0);
    const uint32_t from = s.marker.value_or(screenEnd(g, forward));
    const uint8_t bit = kChannelBits[channel];
    const std::optional<uint32_t> edge =
        forward ? nextChange(s.sampleData, s.sampleLength, from, bit)
                : previousChange(s.sampleData, s.sampleLength, from, bit);
    if (!edge) {
        mainWindow.beep();
        return;
    }
    s.marker = edge;
    bringIntoView(mainWindow, g, *edge, s.view.viewWidth);
}
