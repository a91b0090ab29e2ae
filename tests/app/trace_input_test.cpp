#include "app/view/trace_input.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/view/navigation.h"
#include "app/view/zoom_levels.h"
#include "core/scope_session.h"
#include "display/trace_geometry.h"
#include "tests/support/recording_window_system.h"
#include "tests/support/session_samples.h"
#include "tests/support/time_base_maker.h"
#include "tests/support/view_size.h"

namespace {

ViewScale perColumn(uint32_t samples) {
    return ViewScale::samplesPerColumn(samples);
}

ViewScale pixels(int zoomStep) {
    return ViewScale::pixelsPerSample(zoomStep);
}

TEST(WheelNotches, AddsUpToWholeNotchesEitherWay) {
    const struct {
        std::vector<int> angles;
        std::vector<int> notches;
    } cases[] = {
        {{120, -120, 240}, {1, -1, 2}},
        {{60, 60, 60}, {0, 1, 0}},
        {{-40, -40, -40, -40}, {0, 0, -1, 0}},
        {{60, -120, -60}, {0, 0, -1}},
        {{130, 110}, {1, 1}},
    };
    for (const auto& c : cases) {
        WheelNotches wheel;
        std::vector<int> notches;
        for (int angle : c.angles) {
            notches.push_back(wheel.add(angle));
        }
        EXPECT_EQ(notches, c.notches) << testing::PrintToString(c.angles);
    }
}

class TraceInputTest : public testing::Test {
protected:
    void SetUp() override {
        resetScopeSession();
        loadSessionSamples(std::vector<uint8_t>(5000, 0x08));
        scopeSession.view.viewWidth = kViewWidth;
        showTraceRange(ws);
        ws.clearLog();
    }
    void TearDown() override { resetScopeSession(); }

    // The view at `viewStart`, as the scroll bar puts it.
    void viewAt(uint8_t zoom, int32_t viewStart) {
        SetUp();
        scopeSession.view.scale = ViewScale::pixelsPerSample(zoom);
        handleScroll(ws, SCROLL_THUMB_POSITION, viewStart);
        ws.clearLog();
    }

    RecordingWindowSystem ws;
};

// Plain, the wheel is the scroll bar's line steps, logged the same, one per notch.
TEST_F(TraceInputTest, WheelStepsLinesAsTheScrollBar) {
    for (const auto& [notches, code] : {std::pair{2, SCROLL_LINE_LEFT}, {-3, SCROLL_LINE_RIGHT}}) {
        viewAt(4, 1000);
        turnWheel(ws, {123, 45, kViewWidth, kViewHeight}, notches, false);
        const std::vector<std::string> wheeled = ws.log;
        const uint32_t viewStart = scopeSession.view.viewStart;
        viewAt(4, 1000);
        for (int n = 0; n < std::abs(notches); ++n) {
            handleScroll(ws, code, 0);
        }
        EXPECT_EQ(wheeled, ws.log);
        EXPECT_EQ(viewStart, scopeSession.view.viewStart);
        EXPECT_EQ(scopeSession.view.viewStart, uint32_t(1000 - notches * kLineStep));
        EXPECT_EQ(scopeSession.view.zoomStep(), 4);
    }
}

struct ZoomCase {
    uint8_t zoom;
    int32_t viewStart;
    int x, notches;
    uint8_t zoomAfter;
    uint32_t viewStartAfter;
};

// Ctrl+wheel zooms as the buttons do and scrolls so that the sample under the pointer stays
// under it; the scroll range, and the zoom limits, have the last word.
TEST_F(TraceInputTest, CtrlWheelZoomsAroundTheSampleUnderThePointer) {
    const ZoomCase cases[] = {
        {1, 1000, 200, 1, 2, 1100}, {2, 1000, 200, -1, 1, 900}, {1, 1000, 201, 1, 2, 1101},
        {4, 1000, 203, 1, 8, 1025}, {1, 1000, 200, 2, 4, 1150}, {16, 1000, 100, -4, 1, 906},
        {1, 1000, 0, 1, 2, 1000},   {2, 0, 300, -1, 1, 0},  // the range starts at 0
        {1, 4600, 399, 1, 2, 4600},                         // and ends at 4600
        {16, 50, 100, 1, 16, 50},                           // at the limit
    };
    for (const ZoomCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "zoom " << int(c.zoom) << ", view " << c.viewStart
                                        << ", x " << c.x << ", " << c.notches << " notches");
        viewAt(c.zoom, c.viewStart);
        const uint32_t held = c.viewStart + c.x / c.zoom;
        turnWheel(ws, {c.x, 45, kViewWidth, kViewHeight}, c.notches, true);
        EXPECT_EQ(scopeSession.view.zoomStep(), c.zoomAfter);
        EXPECT_EQ(scopeSession.view.viewStart, c.viewStartAfter);
        EXPECT_EQ(scopeSession.view.scrollPosition, int32_t(c.viewStartAfter));
        EXPECT_EQ(ws.log.back(), "refresh");
        const bool clamped = c.viewStartAfter + c.x / c.zoomAfter != held;
        EXPECT_EQ(clamped, c.viewStart == 0 || c.viewStart == 4600) << "sample " << held;
    }
}

TEST_F(TraceInputTest, CtrlWheelWithoutDataZoomsAsTheButtons) {
    releaseSampleData();
    turnWheel(ws, {100, 45, kViewWidth, kViewHeight}, 1, true);
    EXPECT_EQ(scopeSession.view.zoomStep(), 2);
    EXPECT_EQ(ws.log, std::vector<std::string>{"refresh"});
}

// Ctrl++ and Ctrl+- walk the same ladder in steps, past 1:1 both ways, holding the middle
// sample: from the whole capture (13 samples a pixel) in by halves, never straight to 1:1.
TEST_F(TraceInputTest, KeyboardZoomStepsTheWholeLadderAboutTheMiddle) {
    viewAt(1, 0);
    zoomToFit(ws);
    const ViewScale fit = fitScale(5000, kViewWidth);
    const struct {
        bool zoomIn;
        ViewScale to;
    } steps[] = {{true, perColumn(8)},  {true, perColumn(4)},  {true, perColumn(2)},
                 {true, perColumn(1)},  {true, pixels(2)},     {false, perColumn(1)},
                 {false, perColumn(2)}, {false, perColumn(4)}, {false, perColumn(8)},
                 {false, fit}};
    for (const auto& step : steps) {
        const uint32_t middle =
            *sampleAtX(viewGeometry(scopeSession, kViewWidth, kViewHeight), kViewWidth / 2);
        zoomAtMiddle(ws, step.zoomIn);
        SCOPED_TRACE(testing::Message() << "to " << step.to.samplesPerPixel());
        EXPECT_EQ(scopeSession.view.scale, step.to);
        if (step.to != fit) {
            const TraceGeometry g = viewGeometry(scopeSession, kViewWidth, kViewHeight);
            EXPECT_EQ(*sampleAtX(g, kViewWidth / 2), middle) << "the middle keeps its sample";
        }
    }
}

}  // namespace

namespace {

// Below 1:1 Ctrl+wheel goes on down the ladder to the whole capture and back, the sample under
// the pointer held (5000 samples on 400 pixels: the fit is 13 samples a pixel).
TEST_F(TraceInputTest, CtrlWheelGoesBelowOneToOneAndBack) {
    viewAt(1, 1000);
    struct Step {
        int notches;
        ViewScale to;
    };
    const ViewScale fit = fitScale(5000, kViewWidth);
    const Step steps[] = {{-1, perColumn(2)}, {-1, perColumn(4)}, {-1, perColumn(8)},
                          {-1, fit},          {-1, fit},          {1, perColumn(8)},
                          {1, perColumn(4)},  {1, perColumn(2)},  {1, perColumn(1)},
                          {1, pixels(2)}};
    const int x = 100;
    for (const Step& step : steps) {
        const uint32_t held = *sampleAtX(viewGeometry(scopeSession, kViewWidth, kViewHeight), x);
        turnWheel(ws, {x, 45, kViewWidth, kViewHeight}, step.notches, true);
        SCOPED_TRACE(testing::Message() << "to " << step.to.samplesPerPixel());
        EXPECT_EQ(scopeSession.view.scale, step.to);
        const TraceGeometry g = viewGeometry(scopeSession, kViewWidth, kViewHeight);
        if (step.to == fit) {
            EXPECT_EQ(g.firstSample, 0u);  // the whole capture: nothing to scroll
            EXPECT_EQ(ws.range.high, 0);
        } else {
            EXPECT_EQ(*sampleAtX(g, x), held) << "the pointer keeps its sample";
        }
    }
}

}  // namespace

namespace {

// On the time axis the pointer keeps its sample too, where a stall left of it takes room that no
// sample count knows of (1 µs a sample, 100 µs lost before sample 1500).
TEST_F(TraceInputTest, CtrlWheelOnTheTimeAxisHoldsTheSampleAcrossAStall) {
    const struct {
        uint8_t zoom;
        int32_t viewStart;
        int x, notches;
    } cases[] = {{1, 1400, 60, 1}, {4, 1480, 350, -1}, {2, 1400, 380, -2}, {1, 1700, 390, -2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "zoom " << int(c.zoom) << ", x " << c.x << ", " << c.notches << " notches");
        viewAt(c.zoom, c.viewStart);
        makeTimeBase(scopeSession.timeBase, 5000, 1000, {{1500, 100'000}});
        scopeSession.view.timeAxis = true;
        const uint32_t held = *sampleAtX(viewGeometry(scopeSession, kViewWidth, kViewHeight), c.x);
        turnWheel(ws, {c.x, 45, kViewWidth, kViewHeight}, c.notches, true);
        const std::optional<uint32_t> under =
            sampleAtX(viewGeometry(scopeSession, kViewWidth, kViewHeight), c.x);
        ASSERT_TRUE(under.has_value());
        EXPECT_NEAR(double(*under), double(held),
                    std::max(1.0, scopeSession.view.scale.samplesPerPixel()));
    }
}

}  // namespace
