#pragma once

#include <cstdint>

class WindowSystem;

inline constexpr int kLineStep = 11;
inline constexpr int kPageStep = 101;

// Scroll codes of the horizontal scroll notification.
enum ScrollCode : int {
    SCROLL_LINE_LEFT = 0,
    SCROLL_LINE_RIGHT = 1,
    SCROLL_PAGE_LEFT = 2,
    SCROLL_PAGE_RIGHT = 3,
    SCROLL_THUMB_POSITION = 4,
    SCROLL_THUMB_TRACK = 5,
    SCROLL_LEFT = 6,
    SCROLL_RIGHT = 7,
    SCROLL_END = 8,
};

// The scroll bar's notification; `thumbPosition` is the full position, not cut to 16 bits. Line and
// page steps below 1:1 are as many columns as they are samples at 1:1.
void handleScroll(WindowSystem& mainWindow, int code, int32_t thumbPosition);
// Scroll range for new data, and back to the first sample.
void showTraceRange(WindowSystem& mainWindow);
// Zoom In and Zoom Out keep to zoom steps 1 to 16; Zoom In below 1:1 goes back to 1:1 with the
// left edge on the sample it showed.
void zoomView(WindowSystem& mainWindow, bool zoomIn);
// Also marks the change it finds. Below 1:1 it puts the change on the left edge, so that the next
// press goes on to the following one.
void findMemoryTrigger(WindowSystem& mainWindow);
// The cuts remove the marker; the samples kept keep their numbers.
void cutBefore(WindowSystem& mainWindow);
void cutAfter(WindowSystem& mainWindow);
