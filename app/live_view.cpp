#include "app/live_view.h"

#include "app/navigation.h"
#include "core/scope_session.h"
#include "core/window_system.h"
#include "display/trace_view.h"

namespace {

struct LiveView {
    bool following = true;
    LiveClock::time_point startedAt{};
};

LiveView liveView;

}  // namespace

void startLiveView(LiveClock::time_point now) {
    liveView = LiveView{true, now};
}

void noteScrolledTo(int64_t position, const ScrollRange& range) {
    if (scopeSession.workerCapturing) {
        liveView.following = position >= range.high;
    }
}

bool liveViewFollows() {
    return liveView.following;
}

void followLiveCapture(WindowSystem& mainWindow) {
    if (!scopeSession.workerCapturing) {
        return;
    }
    setScrollRangeFor(mainWindow, drawableSamples(scopeSession));
    if (liveView.following) {
        handleScroll(mainWindow, SCROLL_RIGHT, 0);
    } else {
        refreshTraceView(mainWindow);
    }
}

double liveSeconds(LiveClock::time_point now) {
    return std::chrono::duration<double>(now - liveView.startedAt).count();
}
