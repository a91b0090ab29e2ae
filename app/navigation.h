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

// The scroll bar's notification; `thumbPosition` is the full position, not cut to 16 bits.
void handleScroll(WindowSystem& mainWindow, int code, int32_t thumbPosition);
// Scroll range for new data, and back to the first sample.
void showTraceRange(WindowSystem& mainWindow);
void zoomView(WindowSystem& mainWindow, bool zoomIn);
// The zoom step one Zoom In or Zoom Out makes of `zoomStep`: 1, 2, 4, 8 or 16.
uint8_t zoomedStep(uint8_t zoomStep, bool zoomIn);
void findMemoryTrigger(WindowSystem& mainWindow);
// The cuts remove the marker; the samples kept keep their numbers.
void cutBefore(WindowSystem& mainWindow);
void cutAfter(WindowSystem& mainWindow);
