#pragma once

#include "app/view/trace_pointer.h"

class WindowSystem;

// Turns of the wheel over the trace view, in notches; positive is away from the user. Plain, each
// notch is a line step left (away) or right, as the scroll bar's wheel gives. With `zoom` (Ctrl),
// each notch zooms in (away) or out as the zoom buttons do, then scrolls so that the sample under
// the pointer stays under it as far as the scroll range allows.
void turnWheel(WindowSystem& mainWindow, const TracePointer& pointer, int notches, bool zoom);

// View > Zoom In and Zoom Out (Ctrl++ and Ctrl+-): one step of the whole ladder, as Ctrl+wheel
// takes it, holding the sample in the view's middle.
void zoomAtMiddle(WindowSystem& mainWindow, bool zoomIn);

// Adds up a wheel's angle (in eighths of a degree) into whole notches of 15 degrees, so that
// fine-grained wheels and touchpads step as often as a notched wheel does.
class WheelNotches {
public:
    // The whole notches that `angle` completes; the rest waits for the next turn.
    int add(int angle);

private:
    int remainder_ = 0;
};
