#include "app/navigation.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "app/live_view.h"
#include "app/marker.h"
#include "app/zoom_levels.h"
#include "core/scope_session.h"
#include "core/window_system.h"
#include "display/trace_geometry.h"
#include "display/trace_view.h"

namespace {

// Upper end of the scroll range: one screen (viewWidth samples at any zoom step; below 1:1, those
// of viewWidth columns) before the end. Below 0 when the data is shorter than a screen.
int32_t scrollHighEnd(uint32_t sampleLength) {
    const int64_t high =
        int64_t{sampleLength} - screenSamples(scopeSession.viewWidth, scopeSession.samplesPerPixel);
    return static_cast<int32_t>(std::clamp<int64_t>(high, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// The first index after `from` whose watched channels differ from the sample before it, or
// `length` when there is none.
uint32_t nextChange(const uint8_t* samples, uint32_t from, uint32_t length, uint8_t mask) {
    if (from >= length) {
        return length;
    }
    const uint8_t reference = samples[from] & mask;
    uint32_t i = from + 1;
    while (i < length && (samples[i] & mask) == reference) {
        ++i;
    }
    return i;
}

void showViewStart(WindowSystem& mainWindow) {
    scopeSession.scrollPosition = static_cast<int32_t>(scopeSession.viewStart);
    mainWindow.setScrollPosition(scopeSession.scrollPosition, true);
    refreshTraceView(mainWindow);
}

}  // namespace

void handleScroll(WindowSystem& mainWindow, int code, int32_t thumbPosition) {
    const ScrollRange range = mainWindow.scrollRange();
    const int64_t from = scopeSession.scrollPosition;
    // Below 1:1 the steps are as many pixels as they are samples at 1:1.
    const int64_t line = int64_t{kLineStep} * scopeSession.samplesPerPixel;
    const int64_t page = int64_t{kPageStep} * scopeSession.samplesPerPixel;
    int64_t p = 0;
    switch (code) {
        case SCROLL_LINE_LEFT:
            p = from - line;
            break;
        case SCROLL_LINE_RIGHT:
            p = from + line;
            break;
        case SCROLL_PAGE_LEFT:
            p = from - page;
            break;
        case SCROLL_PAGE_RIGHT:
            p = from + page;
            break;
        case SCROLL_THUMB_POSITION:
        case SCROLL_THUMB_TRACK:
            p = thumbPosition;
            break;
        case SCROLL_LEFT:
            p = range.low;
            break;
        case SCROLL_RIGHT:
            p = range.high;
            break;
        default:
            return;
    }
    // High end first: a range whose high end lies below its low end ends at the low end.
    if (p >= range.high) {
        p = range.high;
    }
    if (p < range.low) {
        p = range.low;
    }
    noteScrolledTo(p, range);
    scopeSession.viewStart = static_cast<uint32_t>(p);
    showViewStart(mainWindow);
}

void showTraceRange(WindowSystem& mainWindow) {
    mainWindow.setScrollRange(0, scrollHighEnd(scopeSession.sampleLength), false);
    handleScroll(mainWindow, SCROLL_LEFT, 0);
}

void setScrollRangeFor(WindowSystem& mainWindow, uint32_t sampleLength) {
    mainWindow.setScrollRange(0, scrollHighEnd(sampleLength), true);
}

uint8_t zoomedStep(uint8_t zoomStep, bool zoomIn) {
    if (zoomIn && zoomStep < 15) {
        return static_cast<uint8_t>(zoomStep * 2);
    }
    if (!zoomIn && zoomStep > 1) {
        return static_cast<uint8_t>(zoomStep / 2);
    }
    return zoomStep;
}

void zoomView(WindowSystem& mainWindow, bool zoomIn) {
    ScopeSession& s = scopeSession;
    if (s.samplesPerPixel > 1 && zoomIn) {
        // The left edge stays on the sample it shows.
        const uint32_t shown = viewGeometry(s, s.viewWidth, 0).firstSample;
        showZoomLevel(mainWindow, ZoomLevel{}, shown);
        return;
    }
    s.zoomStep = zoomedStep(s.zoomStep, zoomIn);
    refreshTraceView(mainWindow);
}

void findMemoryTrigger(WindowSystem& mainWindow) {
    ScopeSession& s = scopeSession;
    if (!hasSampleData(s)) {
        return;
    }
    const uint32_t length = s.sampleLength;
    const uint32_t change = nextChange(s.sampleData, s.viewStart, length, s.memoryTriggerMask);
    if (change < length) {
        // Leave a few pixels of the old level in view before the change.
        const uint32_t backOff = s.samplesPerPixel > 1 ? 0 : 10u / s.zoomStep;
        s.viewStart = change > backOff ? change - backOff : 0;
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
    const uint32_t dropped = std::min(s.viewStart, length);
    // Moved to the front, so that the block given back later is still the one obtained.
    std::memmove(s.sampleData, s.sampleData + dropped, length - dropped);
    s.sampleLength = length - dropped;
    s.sampleOrigin += dropped;
    samplesChanged(s);
    s.viewStart = 0;
    s.scrollPosition = 0;
    mainWindow.setScrollRange(0, scrollHighEnd(length - dropped), false);
    mainWindow.setScrollPosition(0, true);
    clearMarker(mainWindow);
}

void cutAfter(WindowSystem& mainWindow) {
    ScopeSession& s = scopeSession;
    if (!hasSampleData(s)) {
        return;
    }
    const int64_t length = s.sampleLength;
    const int64_t end = int64_t{s.viewStart} + screenSamples(s.viewWidth, s.samplesPerPixel);
    s.sampleLength = static_cast<uint32_t>(std::clamp<int64_t>(end, 0, length));
    samplesChanged(s);
    mainWindow.setScrollRange(0, static_cast<int32_t>(s.viewStart), true);
    clearMarker(mainWindow);
}
