#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "core/scope_session.h"
#include "display/overview.h"
#include "display/trace_geometry.h"
#include "display/trace_view.h"
#include "tests/support/recording_canvas.h"
#include "tests/support/session_samples.h"

namespace {

using Line = RecordingCanvas::Line;

constexpr uint32_t kRed = 0x000000FF;
constexpr uint32_t kBlue = 0x00FF0000 + 1;  // not the grid's blue

class ChannelPensTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetScopeSession();
        // Every channel low throughout: each trace is a row of flat lines on its baseline.
        loadSessionSamples(std::vector<uint8_t>(2000, 0x00));
    }
    void TearDown() override { resetScopeSession(); }

    // The channels whose baselines hold lines in `colour`.
    std::set<int> channelsIn(uint32_t colour) const {
        const TraceGeometry g = traceGeometry(400, 300, 0, 0);
        std::set<int> channels;
        for (const Line& line : canvas.linesIn(colour)) {
            const auto at = std::find(std::begin(g.baseline), std::end(g.baseline), line.y0);
            if (at != std::end(g.baseline)) {
                channels.insert(static_cast<int>(at - std::begin(g.baseline)));
            }
        }
        return channels;
    }

    RecordingCanvas canvas;
};

TEST_F(ChannelPensTest, EachChannelInItsColourAHiddenOneNotAtAll) {
    const struct {
        const char* what;
        std::vector<std::pair<int, uint32_t>> colours;  // channel, colour
        std::vector<int> hidden;
        std::vector<uint32_t> pens;  // made, in order, after the grid's
        std::set<int> green, red, blue;
    } cases[] = {
        {"classic", {}, {}, {kTraceColour}, {0, 1, 2, 3, 4}, {}, {}},
        {"one red", {{0, kRed}}, {}, {kRed, kTraceColour}, {1, 2, 3, 4}, {0}, {}},
        {"two share a pen",
         {{1, kRed}, {3, kRed}},
         {},
         {kTraceColour, kRed},
         {0, 2, 4},
         {1, 3},
         {}},
        {"three colours",
         {{2, kBlue}, {4, kRed}},
         {},
         {kTraceColour, kBlue, kRed},
         {0, 1, 3},
         {4},
         {2}},
        {"hidden", {}, {1, 4}, {kTraceColour}, {0, 2, 3}, {}, {}},
        {"hidden red", {{0, kRed}}, {0}, {kTraceColour}, {1, 2, 3, 4}, {}, {}},
        {"all hidden", {}, {0, 1, 2, 3, 4}, {}, {}, {}, {}},
    };
    for (const ViewScale scale : {ViewScale::pixelsPerSample(2), ViewScale::samplesPerColumn(4)}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << c.what << (scale.belowOneToOne() ? " below" : ""));
            scopeSession.view.scale = scale;
            scopeSession.channels = defaultChannelLooks();
            for (const auto& [channel, colour] : c.colours) {
                scopeSession.channels[static_cast<size_t>(channel)].colour = colour;
            }
            for (const int channel : c.hidden) {
                scopeSession.channels[static_cast<size_t>(channel)].shown = false;
            }
            canvas = RecordingCanvas{};
            paintTrace(canvas, 400, 300);
            std::vector<uint32_t> pens = c.pens;
            pens.insert(pens.begin(), kGridColour);
            EXPECT_EQ(canvas.createdColours, pens);
            EXPECT_EQ(channelsIn(kTraceColour), c.green);
            EXPECT_EQ(channelsIn(kRed), c.red);
            EXPECT_EQ(channelsIn(kBlue), c.blue);
            EXPECT_EQ(canvas.livePens(), 0);
            EXPECT_EQ(canvas.selected, RecordingCanvas::kStockPen);
        }
    }
}

// Colours change the pens, never where a line goes.
TEST_F(ChannelPensTest, AColourMovesNoLine) {
    const auto positions = [this] {
        canvas = RecordingCanvas{};
        paintTrace(canvas, 400, 300);
        std::vector<std::vector<int>> lines;
        for (const Line& l : canvas.lines) {
            lines.push_back({l.x0, l.y0, l.x1, l.y1});
        }
        std::sort(lines.begin(), lines.end());
        return lines;
    };
    loadSessionSamples({0x08, 0x18, 0x30, 0xF8, 0x00, 0x40});
    const auto classic = positions();
    scopeSession.channels[2].colour = kRed;
    scopeSession.channels[4].colour = kBlue;
    EXPECT_EQ(positions(), classic);
}

TEST_F(ChannelPensTest, AChannelPenThatCannotBeMadeDrawsNothingAndLeaksNone) {
    scopeSession.channels[1].colour = kRed;
    for (int failing : {1, 2, 3}) {
        SCOPED_TRACE(failing);
        canvas = RecordingCanvas{};
        canvas.failingCreate = failing;
        paintTrace(canvas, 400, 300);
        EXPECT_TRUE(canvas.lines.empty());
        EXPECT_EQ(canvas.livePens(), 0);
    }
}

TEST_F(ChannelPensTest, TheOverviewDrawsTheChannelsAsTheTracesDo) {
    scopeSession.channels[0].colour = kRed;
    scopeSession.channels[3].shown = false;
    paintOverview(canvas, 400, 50, 400);
    EXPECT_FALSE(canvas.linesIn(kRed).empty());
    std::set<int> greenRows;
    for (const Line& line : canvas.linesIn(kTraceColour)) {
        greenRows.insert(line.y0);
    }
    EXPECT_EQ(greenRows.size(), 3u) << "channels 2, 3 and 5";
    EXPECT_EQ(canvas.livePens(), 0);
}

}  // namespace
