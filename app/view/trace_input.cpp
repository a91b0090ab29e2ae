#include "app/view/trace_input.h"

#include <cstdlib>

#include "app/view/navigation.h"
#include "app/view/zoom_levels.h"
#include "core/scope_session.h"
#include "display/trace_geometry.h"
#include "display/trace_view.h"

namespace {

constexpr int kNotchAngle = 120;

// How many samples lie left of the held one, under the pointer at x, once the view is at `to`:
// on the time axis those taken in the time the pixels left of x stand for.
int64_t samplesLeftOfPointer(uint32_t held, int x, ViewScale to) {
    if (const std::optional<TimeAxis> time = sessionTimeAxis(scopeSession, to)) {
        const double left = time->secondsOf(held) - x * time->secondsPerPixel;
        return int64_t{held} - time->firstIndexFrom(left);
    }
    return to.belowOneToOne() ? screenSamples(x, to) : x / to.zoomStep();
}

// One step of the whole ladder; the sample under the pointer stays under it.
void zoomAtPointer(WindowSystem& mainWindow, const TracePointer& pointer, bool zoomIn) {
    ScopeSession& s = scopeSession;
    const ViewScale from = s.view.scale;
    const ViewScale to = ladderStep(from, zoomIn, viewExtent(s), pointer.width);
    const TraceGeometry g = viewGeometry(s, pointer.width, pointer.height);
    const std::optional<uint32_t> held = sampleAtX(g, pointer.x);
    if (to == from || (!held && !to.belowOneToOne() && !from.belowOneToOne())) {
        // Nothing to hold on to: zoom as the buttons do, the view where it was.
        s.view.scale = to;
        refreshTraceView(mainWindow);
        return;
    }
    if (!held) {
        showZoomLevel(mainWindow, to, g.firstSample);
        return;
    }
    // The held sample's step (or column) at the new zoom starts at or left of the pointer.
    showZoomLevel(mainWindow, to, int64_t{*held} - samplesLeftOfPointer(*held, pointer.x, to));
}

}  // namespace

void zoomAtMiddle(WindowSystem& mainWindow, bool zoomIn) {
    const int width = scopeSession.view.viewWidth;
    zoomAtPointer(mainWindow, TracePointer{width / 2, 0, width, 0}, zoomIn);
}

void turnWheel(WindowSystem& mainWindow, const TracePointer& pointer, int notches, bool zoom) {
    const bool away = notches > 0;
    for (int n = std::abs(notches); n > 0; --n) {
        if (zoom) {
            zoomAtPointer(mainWindow, pointer, away);
        } else {
            handleScroll(mainWindow, away ? SCROLL_LINE_LEFT : SCROLL_LINE_RIGHT, 0);
        }
    }
}

int WheelNotches::add(int angle) {
    remainder_ += angle;
    const int notches = remainder_ / kNotchAngle;
    remainder_ -= notches * kNotchAngle;
    return notches;
}
