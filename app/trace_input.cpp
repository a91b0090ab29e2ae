#include "app/trace_input.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "app/navigation.h"
#include "core/scope_session.h"
#include "display/trace_geometry.h"

namespace {

constexpr int kNotchAngle = 120;

void zoomAtPointer(WindowSystem& mainWindow, const TracePointer& pointer, bool zoomIn) {
    ScopeSession& s = scopeSession;
    const uint8_t zoom = zoomedStep(s.zoomStep, zoomIn);
    const std::optional<uint32_t> held =
        sampleAtX(viewGeometry(s, pointer.width, pointer.height), pointer.x);
    if (!held || zoom == s.zoomStep) {
        zoomView(mainWindow, zoomIn);
        return;
    }
    s.zoomStep = zoom;
    // The held sample's step at the new zoom starts at or left of the pointer.
    const int64_t start = int64_t{*held} - pointer.x / zoom;
    handleScroll(
        mainWindow, SCROLL_THUMB_POSITION,
        static_cast<int32_t>(std::min<int64_t>(start, std::numeric_limits<int32_t>::max())));
}

}  // namespace

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
