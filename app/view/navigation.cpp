#include "app/view/navigation.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "app/view/marker.h"
#include "app/view/view_scroll.h"
#include "app/view/zoom_levels.h"
#include "core/level_changes.h"
#include "core/scope_session.h"
#include "core/window_system.h"
#include "display/trace_geometry.h"
#include "display/trace_view.h"

namespace {

// Where a scroll action goes from `from` within `range`; none for the end of scrolling.
std::optional<int64_t> scrollTarget(int code, int64_t from, int32_t thumbPosition,
                                    const ScrollRange& range, ViewScale scale) {
    // As many columns as at 1:1 and above, in the samples they hold below it.
    const int64_t line = screenSamples(kLineStep, scale);
    const int64_t page = screenSamples(kPageStep, scale);
    switch (code) {
        case SCROLL_LINE_LEFT:
            return from - line;
        case SCROLL_LINE_RIGHT:
            return from + line;
        case SCROLL_PAGE_LEFT:
            return from - page;
        case SCROLL_PAGE_RIGHT:
            return from + page;
        case SCROLL_THUMB_POSITION:
        case SCROLL_THUMB_TRACK:
            return thumbPosition;
        case SCROLL_LEFT:
            return range.low;
        case SCROLL_RIGHT:
            return range.high;
        default:
            return std::nullopt;
    }
}

}  // namespace

void handleScroll(WindowSystem& mainWindow, int code, int32_t thumbPosition) {
    const ViewState& v = scopeSession.view;
    const std::optional<int64_t> target =
        scrollTarget(code, v.scrollPosition, thumbPosition, mainWindow.scrollRange(), v.scale);
    if (target) {
        scrollViewTo(mainWindow, *target);
    }
}

void showTraceRange(WindowSystem& mainWindow) {
    setScrollRangeFor(mainWindow, scopeSession.sampleLength, false);
    scrollViewTo(mainWindow, 0);
}

void zoomView(WindowSystem& mainWindow, bool zoomIn) {
    ScopeSession& s = scopeSession;
    const ViewScale to = buttonZoom(s.view.scale, zoomIn);
    if (s.view.scale.belowOneToOne() && to != s.view.scale) {
        const uint32_t shown = viewGeometry(s, s.view.viewWidth, 0).firstSample;
        showZoomLevel(mainWindow, to, shown);
        return;
    }
    s.view.scale = to;
    refreshTraceView(mainWindow);
}

void findMemoryTrigger(WindowSystem& mainWindow) {
    ScopeSession& s = scopeSession;
    if (!hasSampleData(s)) {
        return;
    }
    const std::optional<uint32_t> change =
        nextChange(s.sampleData, s.sampleLength, s.view.viewStart, s.memoryTriggerMask);
    if (change) {
        const uint32_t backOff = memoryTriggerBackOff(s.view.scale);
        s.view.viewStart = *change > backOff ? *change - backOff : 0;
        s.marker = change;
    }
    showViewStart(mainWindow);
}

void cutBefore(WindowSystem& mainWindow) {
    ScopeSession& s = scopeSession;
    if (!hasSampleData(s)) {
        return;
    }
    const uint32_t length = s.sampleLength;
    const uint32_t dropped = std::min(s.view.viewStart, length);
    // Moved to the front, so that the block given back later is still the one obtained.
    stopSampleReaders();
    std::memmove(s.sampleData, s.sampleData + dropped, length - dropped);
    s.sampleLength = length - dropped;
    s.sampleOrigin += dropped;
    samplesChanged(s);
    s.view.viewStart = 0;
    s.view.scrollPosition = 0;
    setScrollRangeFor(mainWindow, length - dropped, false);
    mainWindow.setScrollPosition(0, true);
    clearMarker(mainWindow);
}

void cutAfter(WindowSystem& mainWindow) {
    ScopeSession& s = scopeSession;
    if (!hasSampleData(s)) {
        return;
    }
    const ViewState& v = s.view;
    const int64_t length = s.sampleLength;
    const int64_t end = int64_t{v.viewStart} + screenSamples(v.viewWidth, v.scale);
    s.sampleLength = static_cast<uint32_t>(std::clamp<int64_t>(end, 0, length));
    samplesChanged(s);
    mainWindow.setScrollRange(0, static_cast<int32_t>(v.viewStart), true);
    clearMarker(mainWindow);
}
