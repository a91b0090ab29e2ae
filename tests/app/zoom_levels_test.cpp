#include "app/zoom_levels.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/commands.h"
#include "app/navigation.h"
#include "core/scope_session.h"
#include "display/trace_geometry.h"
#include "resources/command_ids.h"
#include "tests/support/recording_window_system.h"
#include "tests/support/session_samples.h"

namespace {

constexpr int kWidth = 400;

struct FitCase {
    uint32_t length;
    int width;
    ZoomLevel fit;
};

TEST(FitZoom, LargestScaleThatShowsEverySample) {
    const FitCase cases[] = {
        {500000, 1800, {1, 278}}, {500000, 400, {1, 1250}}, {5000, 400, {1, 13}},
        {801, 400, {1, 3}},       {800, 400, {1, 2}},       {401, 400, {1, 2}},
        {400, 400, {1, 1}},       {200, 400, {2, 1}},       {100, 400, {4, 1}},
        {25, 400, {16, 1}},       {1, 400, {16, 1}},        {0, 400, {1, 1}},
        {5000, 0, {1, 1}},
    };
    for (const FitCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.length << " on " << c.width);
        EXPECT_EQ(fitZoom(c.length, c.width), c.fit);
    }
}

// The whole ladder from the largest zoom step out to the fit and back, for 5000 samples on 400
// pixels; the ends stay.
TEST(LadderStep, ZoomStepsThenPowersOfTwoThenTheFit) {
    const std::vector<ZoomLevel> ladder = {{16, 1}, {8, 1}, {4, 1}, {2, 1}, {1, 1},
                                           {1, 2},  {1, 4}, {1, 8}, {1, 13}};
    for (size_t i = 0; i < ladder.size(); ++i) {
        const ZoomLevel out = ladderStep(ladder[i], false, 5000, kWidth);
        const ZoomLevel in = ladderStep(ladder[i], true, 5000, kWidth);
        EXPECT_EQ(out, ladder[std::min(i + 1, ladder.size() - 1)]) << i;
        EXPECT_EQ(in, ladder[i > 0 ? i - 1 : 0]) << i;
    }
    // A capture that fits at 1:1 has no levels below it; a level beyond the fit (after a cut)
    // zooms no further out.
    EXPECT_EQ(ladderStep({1, 1}, false, 400, kWidth), (ZoomLevel{1, 1}));
    EXPECT_EQ(ladderStep({1, 32}, false, 5000, kWidth), (ZoomLevel{1, 32}));
    EXPECT_EQ(ladderStep({1, 32}, true, 5000, kWidth), (ZoomLevel{1, 16}));
}

class ZoomLevelsTest : public testing::Test {
protected:
    void SetUp() override {
        resetScopeSession();
        std::vector<uint8_t> samples(5000, 0x00);
        for (uint32_t i = 3000; i < 3005; ++i) {
            samples[i] = 0x08;
        }
        loadSessionSamples(samples);
        scopeSession.viewWidth = kWidth;
        showTraceRange(ws);
        ws.clearLog();
    }
    void TearDown() override { resetScopeSession(); }

    RecordingWindowSystem ws;
};

TEST_F(ZoomLevelsTest, ZoomToFitShowsEverythingFromTheFirstSample) {
    handleScroll(ws, SCROLL_THUMB_POSITION, 2000);
    ws.clearLog();
    dispatchCommand(ws, CMD_ZOOM_FIT);
    EXPECT_EQ(currentZoom(), (ZoomLevel{1, 13}));
    EXPECT_EQ(ws.log,
              (std::vector<std::string>{"range 0..-200 redraw", "position 0 redraw", "refresh"}));
    const TraceGeometry g = viewGeometry(scopeSession, kWidth, 300);
    EXPECT_EQ(g.firstSample, 0u);
    EXPECT_EQ(g.sampleCount, 5000u);
}

// Below 1:1 the scroll steps are pixels' worth, the range ends a screen of columns before the
// end, and Cut After keeps that screen.
TEST_F(ZoomLevelsTest, ScrollRangeStepsAndCutAfterCountColumns) {
    showZoomLevel(ws, {1, 4}, 1000);
    EXPECT_EQ(ws.range.high, 5000 - 1600);
    EXPECT_EQ(scopeSession.viewStart, 1000u);
    handleScroll(ws, SCROLL_LINE_RIGHT, 0);
    EXPECT_EQ(scopeSession.viewStart, 1044u);
    handleScroll(ws, SCROLL_PAGE_LEFT, 0);
    EXPECT_EQ(scopeSession.viewStart, 640u);
    handleScroll(ws, SCROLL_RIGHT, 0);
    EXPECT_EQ(scopeSession.viewStart, 3400u);
    dispatchCommand(ws, CMD_CUT_AFTER);
    EXPECT_EQ(scopeSession.sampleLength, 5000u);
    handleScroll(ws, SCROLL_THUMB_POSITION, 1000);
    dispatchCommand(ws, CMD_CUT_AFTER);
    EXPECT_EQ(scopeSession.sampleLength, 2600u);
}

// The buttons keep to zoom steps 1 to 16: Zoom In below 1:1 goes back to 1:1 with the left edge
// where it was, Zoom Out there changes nothing but repaints.
TEST_F(ZoomLevelsTest, ButtonsKeepToOneToSixteen) {
    showZoomLevel(ws, {1, 8}, 4000);  // the last screen starts at 1800
    ws.clearLog();
    dispatchCommand(ws, CMD_ZOOM_OUT);
    EXPECT_EQ(currentZoom(), (ZoomLevel{1, 8}));
    EXPECT_EQ(ws.log, std::vector<std::string>{"refresh"});
    dispatchCommand(ws, CMD_ZOOM_IN);
    EXPECT_EQ(currentZoom(), (ZoomLevel{1, 1}));
    EXPECT_EQ(scopeSession.viewStart, 1800u);
    EXPECT_EQ(ws.range.high, 4600);
    dispatchCommand(ws, CMD_ZOOM_IN);
    EXPECT_EQ(currentZoom(), (ZoomLevel{2, 1}));
}

// Below 1:1 the memory trigger puts the change on the left edge and marks it, so that the next
// press moves on.
TEST_F(ZoomLevelsTest, MemoryTriggerBelowOneToOneMovesOnFromChangeToChange) {
    scopeSession.memoryTriggerMask = 0x08;
    showZoomLevel(ws, {1, 2}, 0);
    dispatchCommand(ws, CMD_MEMORY_TRIGGER);
    EXPECT_EQ(scopeSession.viewStart, 3000u);
    EXPECT_EQ(scopeSession.marker, 3000u);
    dispatchCommand(ws, CMD_MEMORY_TRIGGER);
    EXPECT_EQ(scopeSession.viewStart, 3005u);
    EXPECT_EQ(scopeSession.marker, 3005u);
}

}  // namespace
