#pragma once

#include <cstdint>

class WindowSystem;

// The one way the session's view moves along the samples: its value changes here, and the scroll
// bar and the trace view are told. The scroll bar's handler, zooming, the live view, the edge
// jumps and the overview all come through here.

// The scroll range for `sampleLength` samples at the view's scale: 0 to one screen (as
// screenSamples counts it) before the end; below 0 when the data is shorter than a screen.
void setScrollRangeFor(WindowSystem& mainWindow, uint32_t sampleLength, bool redraw);

// The view's left edge to `start`, kept within the bar's range (its high end first, so that a
// range whose high end lies below its low end ends at the low end). During a worker capture, a
// position short of the range's end means the user looks elsewhere: the view stops following;
// the end takes the following up again.
void scrollViewTo(WindowSystem& mainWindow, int64_t start);

// The bar's position to viewStart as it is, the bar and the view redrawn.
void showViewStart(WindowSystem& mainWindow);
