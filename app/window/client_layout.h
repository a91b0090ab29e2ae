#pragma once

#include <vector>

// A rectangle in pixels of the main window's client area (origin top left).
struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;

    int right() const { return x + width; }
    int bottom() const { return y + height; }
    bool operator==(const PixelRect&) const = default;
};

// What a template control does when the client area is larger than the template's.
enum class ControlAnchor {
    Traces,       // the trace view: takes all the room there is
    UnderTraces,  // the scroll bar: as wide as the traces, below them
    Left,         // left-hand buttons: stay at the left, below the traces
    Right,        // right-hand buttons: keep their distance from the right edge, below the traces
    ChannelRow,   // a trigger box: stays beside its channel's row as the rows grow
    Top,          // the labels over the trigger boxes: stay where they are
};

struct TemplateControl {
    ControlAnchor anchor = ControlAnchor::Top;
    PixelRect rect;  // where the template puts it
};

// Sizes of the bands in pixels; 0 for a band that is hidden.
struct BandSizes {
    int overview = 0;     // height of the strip above the ruler
    int ruler = 0;        // height of the ruler above the traces
    int labels = 0;       // width of the channel labels left of the traces
    int status = 0;       // height of the status line under everything
    int belowTraces = 0;  // height of the rows under the traces (room kept for more rows)
};

struct ClientPlacement {
    std::vector<PixelRect> controls;  // in the order of the template controls given
    PixelRect overview, ruler, labels, status;
    // The rows under the traces: from the left edge (for their titles) to the traces' right edge.
    PixelRect belowTraces;
};

// The client area's size at which every template control is where the template puts it and
// every band shown fits around them: the window's default and smallest size.
PixelRect defaultClientArea(int templateWidth, int templateHeight, const BandSizes& bands);

// Where everything goes in a client area `width` x `height` pixels (at least the default size):
// the bands open room above, left of and under the traces, and what the client area has beyond
// the default size goes to the traces.
ClientPlacement placeClient(const std::vector<TemplateControl>& controls, int templateWidth,
                            int templateHeight, const BandSizes& bands, int width, int height);

// The height of the decoders' rows band: all `needed` pixels when they fit in `room`, else as many
// whole rows of `rowHeight` as fit there, at least one; the rest scroll inside the band, so that
// rows never push the window past the screen.
int rowsBandHeight(int needed, int rowHeight, int room);

// How the main window's control `controlId` follows a larger client area.
ControlAnchor anchorOf(int controlId);
