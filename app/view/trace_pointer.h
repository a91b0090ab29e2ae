#pragma once

// The pointer over the trace view, and the view's size, in pixels.
struct TracePointer {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
