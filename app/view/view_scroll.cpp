#include "app/view/view_scroll.h"

#include <algorithm>
#include <limits>

#include "core/scope_session.h"
#include "core/window_system.h"
#include "display/trace_geometry.h"
#include "display/trace_view.h"

void setScrollRangeFor(WindowSystem& mainWindow, uint32_t sampleLength, bool redraw) {
    const ViewState& v = scopeSession.view;
    const std::optional<TimeAxis> time = sessionTimeAxis(scopeSession);
    const int64_t high = time ? lastTimeScreenStart(*time, sampleLength, v.viewWidth)
                              : int64_t{sampleLength} - screenSamples(v.viewWidth, v.scale);
    constexpr int64_t kLowest = std::numeric_limits<int32_t>::min();
    constexpr int64_t kHighest = std::numeric_limits<int32_t>::max();
    mainWindow.setScrollRange(0, static_cast<int32_t>(std::clamp(high, kLowest, kHighest)), redraw);
}

void scrollViewTo(WindowSystem& mainWindow, int64_t start) {
    const ScrollRange range = mainWindow.scrollRange();
    int64_t p = start;
    // High end first: a range whose high end lies below its low end ends at the low end.
    if (p >= range.high) {
        p = range.high;
    }
    if (p < range.low) {
        p = range.low;
    }
    ViewState& v = scopeSession.view;
    if (scopeSession.workerCapturing) {
        v.following = p >= range.high;
    }
    v.viewStart = static_cast<uint32_t>(p);
    showViewStart(mainWindow);
}

void showViewStart(WindowSystem& mainWindow) {
    ViewState& v = scopeSession.view;
    v.scrollPosition = static_cast<int32_t>(v.viewStart);
    mainWindow.setScrollPosition(v.scrollPosition, true);
    refreshTraceView(mainWindow);
}
