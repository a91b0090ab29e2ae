#include "app/view/live_view.h"

#include "app/view/view_scroll.h"
#include "core/scope_session.h"
#include "core/window_system.h"
#include "display/trace_view.h"

namespace {

LiveClock::time_point startedAt{};
ViewScale startScale;

}  // namespace

void startLiveView(LiveClock::time_point now) {
    scopeSession.view.following = true;
    startedAt = now;
    startScale = scopeSession.view.scale;
}

bool liveViewMoved() {
    return !scopeSession.view.following || scopeSession.view.scale != startScale;
}

void followLiveCapture(WindowSystem& mainWindow) {
    if (!scopeSession.workerCapturing) {
        return;
    }
    setScrollRangeFor(mainWindow, drawableSamples(scopeSession), true);
    if (scopeSession.view.following) {
        scrollViewTo(mainWindow, mainWindow.scrollRange().high);
    } else {
        refreshTraceView(mainWindow);
    }
}

double liveSeconds(LiveClock::time_point now) {
    return std::chrono::duration<double>(now - startedAt).count();
}
