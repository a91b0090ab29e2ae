#include "app/window/client_layout.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/window/commands.h"
#include "app/window/view_bands.h"
#include "resources/command_ids.h"
#include "tests/support/recording_window_system.h"

void PrintTo(const PixelRect& r, std::ostream* out) {
    *out << r.x << "," << r.y << " " << r.width << "x" << r.height;
}

namespace {

// A small template 300 x 200: traces at 50, 10 (240 x 150), the scroll bar under them, a button
// at either side, a trigger box beside the second of five rows, a heading at the top.
const std::vector<TemplateControl> kControls = {
    {ControlAnchor::Traces, {50, 10, 240, 150}},   {ControlAnchor::UnderTraces, {50, 162, 240, 8}},
    {ControlAnchor::Left, {5, 175, 40, 20}},       {ControlAnchor::Right, {250, 175, 40, 20}},
    {ControlAnchor::ChannelRow, {10, 70, 10, 10}}, {ControlAnchor::Top, {5, 10, 30, 10}},
};

TEST(ClientLayout, AtTheTemplateSizeWithoutBandsEverythingIsWhereTheTemplatePutsIt) {
    const ClientPlacement p = placeClient(kControls, 300, 200, BandSizes{}, 300, 200);
    for (size_t i = 0; i < kControls.size(); ++i) {
        EXPECT_EQ(p.controls[i], kControls[i].rect) << i;
    }
    EXPECT_EQ(defaultClientArea(300, 200, BandSizes{}), (PixelRect{0, 0, 300, 200}));
    EXPECT_EQ(p.overview.height + p.ruler.height + p.labels.width + p.status.height, 0);
}

struct SizeCase {
    BandSizes bands;
    int width, height;
    std::vector<PixelRect> controls;
    PixelRect overview, ruler, labels, status;
};

// The bands open room around the controls (the window's default size grows by them); what the
// client area has beyond its default size goes to the traces; trigger boxes stay beside their
// rows and the buttons under the traces, the right-hand one at its distance from the right edge.
TEST(ClientLayout, GeometryAtSeveralSizes) {
    const BandSizes all{30, 20, 60, 15, 0};
    // clang-format off
    const SizeCase cases[] = {
        {all, 360, 265,
         {{110, 60, 240, 150}, {110, 212, 240, 8}, {5, 225, 40, 20}, {310, 225, 40, 20},
          {10, 120, 10, 10}, {5, 60, 30, 10}},
         {110, 10, 240, 30}, {110, 40, 240, 20}, {50, 60, 60, 150}, {0, 250, 360, 15}},
        {all, 460, 565,  // 100 wider, 300 higher: the traces three times as high
         {{110, 60, 340, 450}, {110, 512, 340, 8}, {5, 525, 40, 20}, {410, 525, 40, 20},
          {10, 250, 10, 10}, {5, 60, 30, 10}},
         {110, 10, 340, 30}, {110, 40, 340, 20}, {50, 60, 60, 450}, {0, 550, 460, 15}},
        {BandSizes{}, 400, 200,
         {{50, 10, 340, 150}, {50, 162, 340, 8}, {5, 175, 40, 20}, {350, 175, 40, 20},
          {10, 70, 10, 10}, {5, 10, 30, 10}},
         {50, 10, 340, 0}, {50, 10, 340, 0}, {50, 10, 0, 150}, {0, 200, 400, 0}},
    };
    // clang-format on
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        const ClientPlacement p = placeClient(kControls, 300, 200, c.bands, c.width, c.height);
        EXPECT_EQ(p.controls, c.controls);
        EXPECT_EQ(p.overview, c.overview);
        EXPECT_EQ(p.ruler, c.ruler);
        EXPECT_EQ(p.labels, c.labels);
        EXPECT_EQ(p.status, c.status);
    }
    EXPECT_EQ(defaultClientArea(300, 200, all), (PixelRect{0, 0, 360, 265}));
    // Never below the default size.
    const ClientPlacement least = placeClient(kControls, 300, 200, all, 360, 265);
    const ClientPlacement smaller = placeClient(kControls, 300, 200, all, 100, 100);
    EXPECT_EQ(smaller.controls, least.controls);
    EXPECT_EQ(smaller.status, least.status);
}

// Rows under the traces (room kept for more of them) push the scroll bar and buttons down.
TEST(ClientLayout, RowsUnderTheTracesSitAboveTheScrollBar) {
    const ClientPlacement p = placeClient(kControls, 300, 200, BandSizes{0, 0, 0, 0, 40}, 300, 240);
    EXPECT_EQ(p.belowTraces, (PixelRect{0, 160, 290, 40}));
    EXPECT_EQ(p.controls[1], (PixelRect{50, 202, 240, 8}));
    EXPECT_EQ(p.controls[0], kControls[0].rect);
}

// Rows that do not fit give the band as many whole rows as the room takes, never none, and never
// more than they need.
TEST(ClientLayout, RowsBandTakesWholeRowsUpToTheRoom) {
    const struct {
        int needed, rowHeight, room, band;
    } cases[] = {
        {60, 20, 100, 60}, {60, 20, 60, 60},   {60, 20, 59, 40}, {200, 20, 130, 120},
        {200, 20, 10, 20}, {200, 20, -50, 20}, {0, 20, 0, 0},    {0, 20, -10, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rowsBandHeight(c.needed, c.rowHeight, c.room), c.band)
            << c.needed << " in " << c.room;
    }
}

TEST(ClientLayout, EveryControlOfTheMainWindowHasItsAnchor) {
    EXPECT_EQ(anchorOf(IDC_TRACE_VIEW), ControlAnchor::Traces);
    EXPECT_EQ(anchorOf(IDC_SCROLL_BAR), ControlAnchor::UnderTraces);
    for (int id : {CMD_NEW_SAMPLE, CMD_MEMORY_TRIGGER, CMD_BREAK}) {
        EXPECT_EQ(anchorOf(id), ControlAnchor::Left) << id;
    }
    for (int id : {CMD_ZOOM_IN, CMD_ZOOM_OUT}) {
        EXPECT_EQ(anchorOf(id), ControlAnchor::Right) << id;
    }
    for (int id : {1015, 1019, 2000, 2004}) {
        EXPECT_EQ(anchorOf(id), ControlAnchor::ChannelRow) << id;
    }
    for (int id : {-1, 1014, 1020, 1999, 2005}) {
        EXPECT_EQ(anchorOf(id), ControlAnchor::Top) << id;
    }
}

// The View menu's entries flip their band and its mark; at start the window takes what was kept.
TEST(ViewBands, MenuEntriesShowAndHideTheirBand) {
    RecordingWindowSystem ws;
    showViewBands(ws, ViewBands{{true, false, true, true}});
    EXPECT_EQ(ws.bands, (std::array<bool, kViewBandCount>{true, false, true, true}));
    EXPECT_FALSE(ws.menuChecks[CMD_SHOW_RULER]);
    ws.clearLog();
    dispatchCommand(ws, CMD_SHOW_RULER);
    dispatchCommand(ws, CMD_SHOW_STATUS);
    EXPECT_EQ(ws.log, (std::vector<std::string>{"check 40032 on", "band 1 on", "check 40034 off",
                                                "band 3 off"}));
    EXPECT_FALSE(viewBands[ViewBand::Status]);
    EXPECT_EQ(commandBand(CMD_ZOOM_FIT), std::nullopt);
    EXPECT_EQ(commandBand(CMD_SHOW_OVERVIEW), ViewBand::Overview);
    viewBands = ViewBands{};
}

}  // namespace
