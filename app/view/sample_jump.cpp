#include "app/view/sample_jump.h"

#include "app/view/view_scroll.h"
#include "core/scope_session.h"
#include "core/window_system.h"
#include "display/trace_view.h"

void markAndShowSample(WindowSystem& mainWindow, uint32_t index) {
    ScopeSession& s = scopeSession;
    if (!hasSampleData(s) || index >= s.sampleLength) {
        return;
    }
    s.marker = index;
    // At 1:1 and above a screen shows its width over the zoom step in samples.
    const ViewScale scale = s.view.scale;
    const int64_t shown = scale.belowOneToOne() ? screenSamples(s.view.viewWidth, scale)
                                                : s.view.viewWidth / scale.zoomStep();
    const int64_t half = shown / 2;
    scrollViewTo(mainWindow, int64_t{index} - half);
    refreshTraceView(mainWindow);
}
