#include "app/view/edge_search.h"

#include <algorithm>
#include <vector>

#include "app/view/view_scroll.h"
#include "core/level_changes.h"
#include "core/message_box.h"
#include "core/scope_session.h"
#include "core/time_base.h"
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

// The sample after the next (or previous) gap from `from`, an index into the recording kept. The
// time base has no gaps until its capture has ended.
std::optional<uint32_t> gapFrom(const ScopeSession& s, uint32_t from, bool forward) {
    const uint32_t origin = s.sampleOrigin;
    if (!forward && from < 2) {
        return std::nullopt;
    }
    const std::vector<TimeGap> gaps =
        forward ? s.timeBase.gapsBetween(origin + from + 1, origin + s.sampleLength - 1)
                : s.timeBase.gapsBetween(origin + 1, origin + from - 1);
    if (gaps.empty()) {
        return std::nullopt;
    }
    return (forward ? gaps.front() : gaps.back()).sample - origin;
}

// The marker goes to `sample`, brought into view; a beep and no change without one.
void markFound(WindowSystem& mainWindow, const TraceGeometry& g, std::optional<uint32_t> sample) {
    if (!sample) {
        mainWindow.beep();
        return;
    }
    scopeSession.marker = sample;
    bringIntoView(mainWindow, g, *sample, scopeSession.view.viewWidth);
}

}  // namespace

void markSample(WindowSystem& mainWindow, std::optional<uint32_t> sample) {
    const ScopeSession& s = scopeSession;
    markFound(mainWindow, viewGeometry(s, s.view.viewWidth, 0), sample);
}

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
    markFound(mainWindow, g, edge);
}

void jumpToGap(WindowSystem& mainWindow, bool forward) {
    ScopeSession& s = scopeSession;
    if (!hasSampleData(s)) {
        mainWindow.beep();
        return;
    }
    const TraceGeometry g = viewGeometry(s, s.view.viewWidth, 0);
    markFound(mainWindow, g, gapFrom(s, s.marker.value_or(screenEnd(g, forward)), forward));
}

void jumpToTrigger(WindowSystem& mainWindow) {
    ScopeSession& s = scopeSession;
    if (!hasSampleData(s)) {
        mainWindow.beep();
        return;
    }
    const std::optional<uint32_t> trigger = triggerIndex(s);
    if (!trigger) {
        showMessage(mainWindow, IDS_NO_TRIGGER_POINT);
        return;
    }
    markFound(mainWindow, viewGeometry(s, s.view.viewWidth, 0), trigger);
}
