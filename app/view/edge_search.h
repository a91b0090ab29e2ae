#pragma once

#include <cstdint>
#include <optional>

class WindowSystem;

// The marker goes to `sample` (an index into the data), the view scrolling to it when it is not
// on screen; a beep and no change without one.
void markSample(WindowSystem& mainWindow, std::optional<uint32_t> sample);

// `.` and `,` with the pointer on channel `channel` (0 for channel 1): the marker goes to the
// next (or previous) edge of that channel, counted from the marker or, without one, from the
// first (or last) sample on screen, and the view scrolls to the edge when it is not on screen.
// With no edge that way, or no data, it beeps and changes nothing.
void jumpToEdge(WindowSystem& mainWindow, int channel, bool forward);

// `g` and Shift+g: the marker goes to the sample after the next (or previous) gap in the
// sampling, counted as the edge keys count, and the view scrolls to it when it is not on screen.
// With no gap that way, no time base or no data, it beeps and changes nothing.
void jumpToGap(WindowSystem& mainWindow, bool forward);

// `t` and Tools > Trigger Point: the marker goes to the recording's trigger point and the view
// scrolls to it when it is not on screen. A recording without one says so and nothing changes.
void jumpToTrigger(WindowSystem& mainWindow);
