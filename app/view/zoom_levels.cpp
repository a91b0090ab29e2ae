#include "app/view/zoom_levels.h"

#include "app/view/view_scroll.h"
#include "core/scope_session.h"

void showZoomLevel(WindowSystem& mainWindow, ViewScale scale, int64_t firstSample) {
    ScopeSession& s = scopeSession;
    const bool rangeChanges = scale.columnSamples() != s.view.scale.columnSamples();
    s.view.scale = scale;
    if (rangeChanges) {
        setScrollRangeFor(mainWindow, drawableSamples(s), true);
    }
    scrollViewTo(mainWindow, firstSample);
}

void zoomToFit(WindowSystem& mainWindow) {
    const ScopeSession& s = scopeSession;
    showZoomLevel(mainWindow, fitScale(drawableSamples(s), s.view.viewWidth), 0);
}
