#include "app/view/marker.h"

#include "core/scope_session.h"
#include "display/trace_geometry.h"
#include "display/trace_view.h"

void placeMarker(WindowSystem& mainWindow, const TracePointer& pointer) {
    const std::optional<uint32_t> sample =
        sampleAtX(viewGeometry(scopeSession, pointer.width, pointer.height), pointer.x);
    if (!sample) {
        return;
    }
    scopeSession.marker = sample;
    refreshTraceView(mainWindow);
}

void clearMarker(WindowSystem& mainWindow) {
    if (!scopeSession.marker) {
        return;
    }
    scopeSession.marker.reset();
    refreshTraceView(mainWindow);
}
