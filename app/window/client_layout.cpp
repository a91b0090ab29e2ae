#include "app/window/client_layout.h"

#include <algorithm>
#include <cmath>

#include "resources/command_ids.h"

namespace {

// Room the client area has beyond its default size, and what the bands add.
struct Growth {
    int across = 0;  // extra width
    int down = 0;    // extra height
    int top = 0;     // the overview and the ruler, above the traces
    int left = 0;    // the labels, left of the traces
    int below = 0;   // the rows under the traces
};

const TemplateControl* findTraces(const std::vector<TemplateControl>& controls) {
    const auto traces =
        std::find_if(controls.begin(), controls.end(),
                     [](const TemplateControl& c) { return c.anchor == ControlAnchor::Traces; });
    return traces != controls.end() ? &*traces : nullptr;
}

// Trigger boxes keep their middles where they were relative to the rows, which grow with the
// traces' height.
int rowY(const PixelRect& box, const PixelRect& traces, int tracesHeight) {
    if (traces.height <= 0) {
        return box.y;
    }
    const double middle = box.y + box.height / 2.0 - traces.y;
    const double scaled = middle * tracesHeight / traces.height - box.height / 2.0;
    return traces.y + static_cast<int>(std::lround(scaled));
}

PixelRect placeControl(const TemplateControl& c, const PixelRect& traces, const Growth& g) {
    PixelRect r = c.rect;
    const int under = g.top + g.down + g.below;  // how far everything under the traces moves
    switch (c.anchor) {
        case ControlAnchor::Traces:
            return PixelRect{r.x + g.left, r.y + g.top, r.width + g.across, r.height + g.down};
        case ControlAnchor::UnderTraces:
            return PixelRect{r.x + g.left, r.y + under, r.width + g.across, r.height};
        case ControlAnchor::Left:
            return PixelRect{r.x, r.y + under, r.width, r.height};
        case ControlAnchor::Right:
            return PixelRect{r.x + g.left + g.across, r.y + under, r.width, r.height};
        case ControlAnchor::ChannelRow:
            return PixelRect{r.x, rowY(r, traces, traces.height + g.down) + g.top, r.width,
                             r.height};
        case ControlAnchor::Top:
            break;
    }
    return PixelRect{r.x, r.y + g.top, r.width, r.height};
}

}  // namespace

PixelRect defaultClientArea(int templateWidth, int templateHeight, const BandSizes& bands) {
    return PixelRect{
        0, 0, templateWidth + bands.labels,
        templateHeight + bands.overview + bands.ruler + bands.belowTraces + bands.status};
}

ClientPlacement placeClient(const std::vector<TemplateControl>& controls, int templateWidth,
                            int templateHeight, const BandSizes& bands, int width, int height) {
    const PixelRect least = defaultClientArea(templateWidth, templateHeight, bands);
    const Growth g{std::max(width - least.width, 0), std::max(height - least.height, 0),
                   bands.overview + bands.ruler, bands.labels, bands.belowTraces};
    const TemplateControl* traces = findTraces(controls);
    const PixelRect templateTraces = traces != nullptr ? traces->rect : PixelRect{};
    ClientPlacement placement;
    for (const TemplateControl& c : controls) {
        placement.controls.push_back(placeControl(c, templateTraces, g));
    }
    const PixelRect t =
        placeControl(TemplateControl{ControlAnchor::Traces, templateTraces}, templateTraces, g);
    placement.overview = PixelRect{t.x, templateTraces.y, t.width, bands.overview};
    placement.ruler = PixelRect{t.x, templateTraces.y + bands.overview, t.width, bands.ruler};
    placement.labels = PixelRect{templateTraces.x, t.y, bands.labels, t.height};
    // The rows' titles stand left of the traces, under the trigger boxes and labels.
    placement.belowTraces = PixelRect{0, t.bottom(), t.right(), bands.belowTraces};
    placement.status = PixelRect{0, std::max(height, least.height) - bands.status,
                                 std::max(width, least.width), bands.status};
    return placement;
}

ControlAnchor anchorOf(int controlId) {
    switch (controlId) {
        case IDC_TRACE_VIEW:
            return ControlAnchor::Traces;
        case IDC_SCROLL_BAR:
            return ControlAnchor::UnderTraces;
        case CMD_NEW_SAMPLE:
        case CMD_MEMORY_TRIGGER:
        case CMD_BREAK:
            return ControlAnchor::Left;
        case CMD_ZOOM_IN:
        case CMD_ZOOM_OUT:
            return ControlAnchor::Right;
        default:
            break;
    }
    const bool portBox = controlId >= CMD_PORT_TRIGGER_FIRST && controlId <= CMD_PORT_TRIGGER_LAST;
    const bool memoryBox =
        controlId >= CMD_MEMORY_TRIGGER_FIRST && controlId <= CMD_MEMORY_TRIGGER_LAST;
    return portBox || memoryBox ? ControlAnchor::ChannelRow : ControlAnchor::Top;
}

int rowsBandHeight(int needed, int rowHeight, int room) {
    if (needed <= room || rowHeight <= 0) {
        return needed;
    }
    const int rows = std::max(1, room / rowHeight);
    return std::min(needed, rows * rowHeight);
}
