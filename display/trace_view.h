#pragma once

#include <cstdint>

#include "core/channel_looks.h"

class WindowSystem;

// Colours in 0x00BBGGRR form.
inline constexpr uint32_t kGridColour = 0x00FF0000;  // blue
inline constexpr uint32_t kTraceColour = kClassicTraceColour;
inline constexpr uint32_t kMarkerColour = 0x0000FFFF;        // yellow
inline constexpr uint32_t kGapColour = 0x000000FF;           // red
inline constexpr uint32_t kTriggerColour = 0x00FF00FF;       // magenta
inline constexpr uint32_t kSecondMarkerColour = 0x00FFFF00;  // cyan
inline constexpr uint32_t kSpanColour = 0x00503018;          // a dim blue under the traces

// The few drawing operations a paint needs, so that the drawing is a pure routine that tests can
// record and the widget backs with a QPainter.
class TraceCanvas {
public:
    using Pen = int;  // 0 is no pen
    virtual ~TraceCanvas() = default;
    virtual Pen createPen(uint32_t colour) = 0;  // a solid pen 1 pixel wide; 0 on failure
    virtual Pen selectPen(Pen pen) = 0;          // gives back the pen it replaces
    virtual void deletePen(Pen pen) = 0;
    virtual void line(int x0, int y0, int x1, int y1) = 0;
    // The pixels x0 <= x < x1, y0 <= y < y1 in the selected pen's colour.
    virtual void fill(int x0, int y0, int x1, int y1) = 0;
};

// Draws the grid and the session's samples (during a worker capture, those stored so far) on a
// client area `width` x `height` pixels, a mark at each gap of the time base, the trigger point's
// T and the markers over them when they are on screen, the span between the two markers shaded
// under it all.
void paintTrace(TraceCanvas& canvas, int width, int height);

// Repaints the trace view now.
void refreshTraceView(WindowSystem& mainWindow);
