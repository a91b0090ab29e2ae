#include "app/view/zoom_levels.h"

#include <algorithm>

#include "app/view/view_scroll.h"
#include "core/scope_session.h"
#include "core/window_system.h"
#include "display/trace_geometry.h"
#include "display/trace_view.h"
#include "resources/command_ids.h"

void showZoomLevel(WindowSystem& mainWindow, ViewScale scale, int64_t firstSample) {
    ScopeSession& s = scopeSession;
    // On the sample axis the range above 1:1 counts samples whatever the zoom; on the time axis
    // it ends where the last sample reaches the right edge at this zoom.
    const bool rangeChanges =
        scale != s.view.scale &&
        (scale.belowOneToOne() || s.view.scale.belowOneToOne() || sessionTimeAxis(s));
    s.view.scale = scale;
    if (rangeChanges) {
        setScrollRangeFor(mainWindow, drawableSamples(s), true);
    }
    scrollViewTo(mainWindow, firstSample);
}

void zoomToFit(WindowSystem& mainWindow) {
    const ScopeSession& s = scopeSession;
    // On the time axis the recording's time runs from the first sample to one period past the
    // last: spread over the width it would leave the last sample just beyond the last column,
    // and the scroll bar a column's worth to go. Spread over one column fewer, it ends inside.
    const int columns = sessionTimeAxis(s) ? std::max(s.view.viewWidth - 1, 1) : s.view.viewWidth;
    showZoomLevel(mainWindow, fitScale(viewExtent(s), columns), 0);
}

void toggleMeasureFromTrigger(WindowSystem& mainWindow) {
    ViewState& v = scopeSession.view;
    v.measureFromTrigger = !v.measureFromTrigger;
    mainWindow.checkMenuItem(CMD_MEASURE_FROM_TRIGGER, v.measureFromTrigger);
    refreshTraceView(mainWindow);
}

void toggleTimeAxis(WindowSystem& mainWindow) {
    ScopeSession& s = scopeSession;
    if (!s.view.timeAxis && !hasTimeAxis(s)) {
        mainWindow.beep();
        return;
    }
    s.view.timeAxis = !s.view.timeAxis;
    mainWindow.checkMenuItem(CMD_TIME_AXIS, s.view.timeAxis);
    setScrollRangeFor(mainWindow, drawableSamples(s), true);
    scrollViewTo(mainWindow, s.view.viewStart);
}
