#include "app/view/zoom_levels.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/view/navigation.h"
#include "app/window/commands.h"
#include "core/scope_session.h"
#include "display/trace_geometry.h"
#include "resources/command_ids.h"
#include "tests/support/recording_window_system.h"
#include "tests/support/session_samples.h"
#include "tests/support/time_base_maker.h"
#include "tests/support/view_size.h"

namespace {

class ZoomLevelsTest : public testing::Test {
protected:
    void SetUp() override {
        resetScopeSession();
        std::vector<uint8_t> samples(5000, 0x00);
        for (uint32_t i = 3000; i < 3005; ++i) {
            samples[i] = 0x08;
        }
        loadSessionSamples(samples);
        scopeSession.view.viewWidth = kViewWidth;
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
    EXPECT_TRUE(scopeSession.view.scale.belowOneToOne());
    EXPECT_EQ(ws.log,
              (std::vector<std::string>{"range 0..0 redraw", "position 0 redraw", "refresh"}));
    const TraceGeometry g = viewGeometry(scopeSession, kViewWidth, 300);
    EXPECT_EQ(g.firstSample, 0u);
    EXPECT_EQ(g.sampleCount, 5000u);
}

// Zoom to Fit at lengths that do not divide by the width: the last sample in the last column,
// nothing to scroll, and a click on any column lands on a sample drawn in that column.
TEST_F(ZoomLevelsTest, ZoomToFitFillsTheWidthAndClicksLandOnTheirColumn) {
    const struct {
        uint32_t length;
        int width;
    } cases[] = {{5000, 1300}, {1000, 300}, {500000, 1919}, {5000, 401}, {1301, 1300}, {7, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.length << " on " << c.width);
        loadSessionSamples(std::vector<uint8_t>(c.length, 0x00));
        scopeSession.view.viewWidth = c.width;
        showTraceRange(ws);
        handleScroll(ws, SCROLL_THUMB_POSITION, int32_t(c.length / 3));
        dispatchCommand(ws, CMD_ZOOM_FIT);
        EXPECT_EQ(ws.range.high, 0);
        const TraceGeometry g = viewGeometry(scopeSession, c.width, 300);
        ASSERT_EQ(g.sampleCount, c.length);
        EXPECT_EQ(sampleX(g, c.length - 1), c.width - 1);
        EXPECT_EQ(sampleAtX(g, c.width), std::nullopt);
        for (int x = 0; x < c.width; ++x) {
            const std::optional<uint32_t> sample = sampleAtX(g, x);
            ASSERT_TRUE(sample.has_value()) << x;
            ASSERT_EQ(sampleX(g, *sample), x);
        }
    }
}

// From a fit that leaves a fraction, the keyboard's and wheel's steps go in by powers of two and
// back out to the same fit, and the buttons go back to 1:1.
TEST_F(ZoomLevelsTest, ZoomingInAndOutOfAFractionalFitComesBackToIt) {
    scopeSession.view.viewWidth = 1300;
    showTraceRange(ws);
    dispatchCommand(ws, CMD_ZOOM_FIT);
    const ViewScale fit = scopeSession.view.scale;
    const struct {
        int command;
        ViewScale to;
        int32_t rangeHigh;
    } steps[] = {
        {CMD_VIEW_ZOOM_IN, ViewScale::samplesPerColumn(2), 5000 - 2 * 1300},
        {CMD_VIEW_ZOOM_OUT, fit, 0},
        {CMD_VIEW_ZOOM_OUT, fit, 0},
        {CMD_ZOOM_IN, ViewScale{}, 5000 - 1300},
    };
    for (const auto& step : steps) {
        dispatchCommand(ws, step.command);
        EXPECT_EQ(scopeSession.view.scale, step.to) << step.command;
        EXPECT_EQ(ws.range.high, step.rangeHigh) << step.command;
    }
}

// Below 1:1 the scroll steps are pixels' worth, the range ends a screen of columns before the
// end, and Cut After keeps that screen.
TEST_F(ZoomLevelsTest, ScrollRangeStepsAndCutAfterCountColumns) {
    showZoomLevel(ws, ViewScale::samplesPerColumn(4), 1000);
    EXPECT_EQ(ws.range.high, 5000 - 1600);
    EXPECT_EQ(scopeSession.view.viewStart, 1000u);
    handleScroll(ws, SCROLL_LINE_RIGHT, 0);
    EXPECT_EQ(scopeSession.view.viewStart, 1044u);
    handleScroll(ws, SCROLL_PAGE_LEFT, 0);
    EXPECT_EQ(scopeSession.view.viewStart, 640u);
    handleScroll(ws, SCROLL_RIGHT, 0);
    EXPECT_EQ(scopeSession.view.viewStart, 3400u);
    dispatchCommand(ws, CMD_CUT_AFTER);
    EXPECT_EQ(scopeSession.sampleLength, 5000u);
    handleScroll(ws, SCROLL_THUMB_POSITION, 1000);
    dispatchCommand(ws, CMD_CUT_AFTER);
    EXPECT_EQ(scopeSession.sampleLength, 2600u);
}

// The buttons keep to zoom steps 1 to 16: Zoom In below 1:1 goes back to 1:1 with the left edge
// where it was, Zoom Out there changes nothing but repaints.
TEST_F(ZoomLevelsTest, ButtonsKeepToOneToSixteen) {
    showZoomLevel(ws, ViewScale::samplesPerColumn(8), 4000);  // the last screen starts at 1800
    ws.clearLog();
    dispatchCommand(ws, CMD_ZOOM_OUT);
    EXPECT_EQ(scopeSession.view.scale, ViewScale::samplesPerColumn(8));
    EXPECT_EQ(ws.log, std::vector<std::string>{"refresh"});
    dispatchCommand(ws, CMD_ZOOM_IN);
    EXPECT_EQ(scopeSession.view.scale, ViewScale{});
    EXPECT_EQ(scopeSession.view.viewStart, 1800u);
    EXPECT_EQ(ws.range.high, 4600);
    dispatchCommand(ws, CMD_ZOOM_IN);
    EXPECT_EQ(scopeSession.view.scale, ViewScale::pixelsPerSample(2));
}

// Below 1:1 the memory trigger puts the change on the left edge and marks it, so that the next
// press moves on.
TEST_F(ZoomLevelsTest, MemoryTriggerBelowOneToOneMovesOnFromChangeToChange) {
    scopeSession.memoryTriggerMask = 0x08;
    showZoomLevel(ws, ViewScale::samplesPerColumn(2), 0);
    dispatchCommand(ws, CMD_MEMORY_TRIGGER);
    EXPECT_EQ(scopeSession.view.viewStart, 3000u);
    EXPECT_EQ(scopeSession.marker, 3000u);
    dispatchCommand(ws, CMD_MEMORY_TRIGGER);
    EXPECT_EQ(scopeSession.view.viewStart, 3005u);
    EXPECT_EQ(scopeSession.marker, 3005u);
}

// View > Time Axis keeps the left edge's sample; the scroll range then ends where the last sample
// reaches the right edge in time, and Zoom to Fit takes in the gaps' time. Without a time base
// it beeps and stays on samples.
TEST_F(ZoomLevelsTest, TimeAxisTogglesOnlyWithATimeBase) {
    dispatchCommand(ws, CMD_TIME_AXIS);
    EXPECT_EQ(ws.beepCount, 1);
    EXPECT_FALSE(scopeSession.view.timeAxis);
    makeTimeBase(scopeSession.timeBase, 5000, 1000, {{4800, 50'000}});
    handleScroll(ws, SCROLL_THUMB_POSITION, 2000);
    dispatchCommand(ws, CMD_TIME_AXIS);
    EXPECT_TRUE(scopeSession.view.timeAxis);
    EXPECT_TRUE(ws.menuChecks[CMD_TIME_AXIS]);
    EXPECT_EQ(scopeSession.view.viewStart, 2000u);
    EXPECT_EQ(ws.range.high, 4650) << "the last sample at the right edge, 50 µs later";
    showZoomLevel(ws, ViewScale::pixelsPerSample(4), 2000);
    EXPECT_EQ(ws.range.high, 4900) << "at 4 pixels a sample, 100 µs on the screen";
    zoomToFit(ws);
    EXPECT_EQ(ws.range.high, 0) << "the whole recording's time on the screen: nothing to scroll";
    const TraceGeometry fit = viewGeometry(scopeSession, kViewWidth, 300);
    EXPECT_EQ(fit.firstSample, 0u);
    EXPECT_EQ(fit.firstSample + fit.sampleCount, 5000u) << "the last sample drawn";
    dispatchCommand(ws, CMD_TIME_AXIS);
    EXPECT_FALSE(scopeSession.view.timeAxis);
    EXPECT_FALSE(ws.menuChecks[CMD_TIME_AXIS]);
    EXPECT_EQ(ws.beepCount, 1);
}

}  // namespace
