#include "app/view/marker.h"

#include <optional>

#include "core/scope_session.h"
#include "display/trace_geometry.h"
#include "display/trace_view.h"

namespace {

void markAt(WindowSystem& mainWindow, const TracePointer& pointer,
            std::optional<uint32_t>& marker) {
    const std::optional<uint32_t> sample =
        sampleAtX(viewGeometry(scopeSession, pointer.width, pointer.height), pointer.x);
    if (!sample) {
        return;
    }
    marker = sample;
    refreshTraceView(mainWindow);
}

}  // namespace

void placeMarker(WindowSystem& mainWindow, const TracePointer& pointer) {
    markAt(mainWindow, pointer, scopeSession.marker);
}

void placeSecondMarker(WindowSystem& mainWindow, const TracePointer& pointer) {
    markAt(mainWindow, pointer, scopeSession.secondMarker);
}

void dropSecondMarker(WindowSystem& mainWindow) {
    if (!scopeSession.marker) {
        return;
    }
    scopeSession.secondMarker = scopeSession.marker;
    refreshTraceView(mainWindow);
}

void clearMarker(WindowSystem& mainWindow) {
    ScopeSession& s = scopeSession;
    if (!s.marker && !s.secondMarker) {
        return;
    }
    s.marker.reset();
    s.secondMarker.reset();
    refreshTraceView(mainWindow);
}
