#pragma once

#include <cstdint>

#include "display/overview.h"

class WindowSystem;

// A press and a drag on the overview strip, `width` pixels wide, over a trace view `traceWidth`
// pixels wide. A press inside the box grabs it where it is; a press beside it brings the view's
// middle there. Either way the box follows the pointer until the button is let go.
class OverviewDrag {
public:
    void press(WindowSystem& mainWindow, int x, int width, int traceWidth);
    void dragTo(WindowSystem& mainWindow, int x, int width);

private:
    int64_t grab_ = 0;  // samples from the view's start to the pointer
};

// The wheel over the overview: one step of the zoom ladder, with the sample at x in the middle of
// the view.
void zoomAtOverview(WindowSystem& mainWindow, int x, int width, int traceWidth, bool zoomIn);
