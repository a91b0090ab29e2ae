#include "display/overview.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/view/navigation.h"
#include "app/view/overview_input.h"
#include "app/view/zoom_levels.h"
#include "core/scope_session.h"
#include "display/gap_marks.h"
#include "tests/support/recording_canvas.h"
#include "tests/support/recording_window_system.h"
#include "tests/support/session_samples.h"
#include "tests/support/time_base_maker.h"

namespace {

using Line = RecordingCanvas::Line;

struct ScaleCase {
    uint32_t extent;
    int width;
    uint64_t sample;
    int x;           // of the sample
    uint32_t first;  // first sample of that column
};

TEST(OverviewScale, SamplesToColumnsAndBack) {
    const ScaleCase cases[] = {
        {500000, 1000, 0, 0, 0},
        {500000, 1000, 499, 0, 0},
        {500000, 1000, 500, 1, 500},
        {500000, 1000, 499999, 999, 499500},
        {500000, 1000, 500000, 1000, 500000},  // the end of the recording: the right edge
        {3, 600, 1, 200, 1},
        {3, 600, 2, 400, 2},
        {1000, 300, 10, 3, 10},
        // 3 1/3 samples a column: a column's first sample is the first that lies in it
        {1000, 300, 3, 0, 0},
        {1000, 300, 4, 1, 4},
        {1000, 300, 997, 299, 997},
        {0, 300, 10, 0, 0},
    };
    for (const ScaleCase& c : cases) {
        const OverviewScale scale{c.extent, c.width, {}};
        SCOPED_TRACE(testing::Message() << c.extent << " on " << c.width << ", " << c.sample);
        EXPECT_EQ(scale.x(c.sample), c.x);
        EXPECT_EQ(scale.sample(c.x), c.first);
    }
    EXPECT_EQ((OverviewScale{1000, 300, {}}.sample(-5)), 0u);
    EXPECT_EQ((OverviewScale{1000, 300, {}}.sample(400)), 1000u);
}

class OverviewTest : public testing::Test {
protected:
    void SetUp() override {
        resetScopeSession();
        loadSessionSamples(std::vector<uint8_t>(10000, 0x00));
        scopeSession.view.viewWidth = 400;
        showTraceRange(ws);
    }
    void TearDown() override { resetScopeSession(); }

    RecordingWindowSystem ws;
};

// The whole recording in min/max rows, and a box around what the trace view shows.
TEST_F(OverviewTest, TheBoxFramesTheVisibleSamples) {
    handleScroll(ws, SCROLL_THUMB_POSITION, 2000);
    RecordingCanvas canvas;
    paintOverview(canvas, 500, 40, 400);
    const std::vector<Line> box = canvas.linesIn(kOverviewBoxColour);
    // Samples 2000 to 2401 of 10000 on 500 pixels: x 100 to 120.
    EXPECT_EQ(box, (std::vector<Line>{{kOverviewBoxColour, 100, 0, 120, 0},
                                      {kOverviewBoxColour, 120, 0, 120, 39},
                                      {kOverviewBoxColour, 120, 39, 100, 39},
                                      {kOverviewBoxColour, 100, 39, 100, 0}}));
    // Five rows, each one flat line across the samples' 500 columns.
    const std::vector<Line> rows = canvas.linesIn(kTraceColour);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0], (Line{kTraceColour, 0, 6, 500, 6}));
    EXPECT_EQ(canvas.livePens(), 0);
    EXPECT_EQ(canvas.selected, RecordingCanvas::kStockPen);
}

// Where gaps cluster the overview marks it by the time they hid together in each column (here
// 100 samples of 1 µs): a lone 30 µs gap is under a column's time, four of them together are
// not, and a 2 ms gap is twenty columns' worth. The marks lie under the rows.
TEST_F(OverviewTest, GapsAreMarkedWhereTheyCluster) {
    makeTimeBase(scopeSession.timeBase, 10000, 1000,
                 {{1000, 30'000},
                  {3000, 30'000},
                  {3010, 30'000},
                  {3020, 30'000},
                  {3030, 30'000},
                  {6000, 2'000'000}});
    const uint32_t faint = gapMarkColour(GapMarkLevel::Faint);
    const uint32_t clear = gapMarkColour(GapMarkLevel::Clear);
    RecordingCanvas canvas;
    paintOverview(canvas, 100, 40, 400);
    EXPECT_EQ(canvas.fills, (std::vector<Line>{{faint, 30, 0, 31, 40}, {clear, 60, 0, 62, 40}}));
    EXPECT_EQ(canvas.livePens(), 0);
    // After Cut Before the samples keep their capture's numbers, and so do the gaps.
    loadSessionSamples(std::vector<uint8_t>(8000, 0x00));
    scopeSession.sampleOrigin = 2000;
    canvas.clear();
    paintOverview(canvas, 80, 40, 400);
    EXPECT_EQ(canvas.fills, (std::vector<Line>{{faint, 10, 0, 11, 40}, {clear, 40, 0, 42, 40}}));
}

// While the worker captures, the recording's whole length is the buffer's size: the samples
// stored so far fill it from the left.
TEST_F(OverviewTest, ALiveCaptureFillsTheStripFromTheLeft) {
    scopeSession.workerCapturing = true;
    scopeSession.samplesStored = 2500;
    RecordingCanvas canvas;
    paintOverview(canvas, 500, 40, 400);
    EXPECT_EQ(canvas.linesIn(kTraceColour)[0], (Line{kTraceColour, 0, 6, 125, 6}));
    scopeSession.workerCapturing = false;
    releaseSampleData();
    canvas.clear();
    paintOverview(canvas, 500, 40, 400);
    EXPECT_TRUE(canvas.lines.empty());
}

// A press beside the box brings the view's middle there; a press inside grabs the box where it
// is; a drag moves it with the pointer; the scroll range has the last word.
TEST_F(OverviewTest, ClickAndDragMoveTheView) {
    OverviewDrag drag;
    drag.press(ws, 250, 500, 400);  // sample 5000: the view (402 samples) from 4799 on
    EXPECT_EQ(scopeSession.view.viewStart, 4799u);
    drag.dragTo(ws, 300, 500);  // sample 6000
    EXPECT_EQ(scopeSession.view.viewStart, 5799u);
    drag.press(ws, 117, 500, 400);  // sample 2340, outside the box
    EXPECT_EQ(scopeSession.view.viewStart, 2139u);
    drag.press(ws, 110, 500, 400);  // sample 2200, inside: 61 samples into the box
    EXPECT_EQ(scopeSession.view.viewStart, 2139u);
    drag.dragTo(ws, 111, 500);
    EXPECT_EQ(scopeSession.view.viewStart, 2159u);
    drag.dragTo(ws, 499, 500);
    EXPECT_EQ(scopeSession.view.viewStart, 9600u);  // the range's end
    drag.dragTo(ws, -20, 500);
    EXPECT_EQ(scopeSession.view.viewStart, 0u);
}

// On the time axis the strip maps time: 10000 samples of 1 µs, a 10 ms stall before sample 5000
// and one of 30 µs before 8000 are 20.03 ms, 40.06 µs a column on 500 pixels; the long stall's
// columns hold no trace, and the box and the pointer go by time.
TEST_F(OverviewTest, OnTheTimeAxisTheStripMapsTime) {
    makeTimeBase(scopeSession.timeBase, 10000, 1000, {{5000, 10'000'000}, {8000, 30'000}});
    scopeSession.view.timeAxis = true;
    handleScroll(ws, SCROLL_THUMB_POSITION, 2000);
    const OverviewScale scale = sessionOverview(500);
    EXPECT_EQ(scale.x(4999), 124);
    EXPECT_EQ(scale.x(5000), 374);
    EXPECT_EQ(scale.sample(400), 6024u);
    RecordingCanvas canvas;
    paintOverview(canvas, 500, 40, 400);
    for (const Line& line : canvas.linesIn(kTraceColour)) {
        EXPECT_FALSE(line.x1 > 126 && line.x0 < 374) << line.x0 << " to " << line.x1;
    }
    EXPECT_EQ(canvas.linesIn(kTraceColour).size(), 10u);
    // The long stall is marked; the short one is under a column's time.
    ASSERT_EQ(canvas.fills.size(), 1u);
    EXPECT_EQ(canvas.fills[0].x0, 373);
    const std::vector<Line> box = canvas.linesIn(kOverviewBoxColour);
    ASSERT_FALSE(box.empty());
    EXPECT_EQ(box[0], (Line{kOverviewBoxColour, 49, 0, 59, 0}));
    OverviewDrag drag;
    drag.press(ws, 400, 500, 400);
    EXPECT_EQ(scopeSession.view.viewStart, 5823u);  // its middle there
}

// The wheel over the strip steps the zoom ladder around the sample pointed at.
TEST_F(OverviewTest, WheelZoomsAroundThePointedSample) {
    zoomAtOverview(ws, 250, 500, 400, false);  // sample 5000, 2 samples a pixel
    EXPECT_EQ(scopeSession.view.scale, ViewScale::samplesPerColumn(2));
    EXPECT_EQ(scopeSession.view.viewStart, 4600u);
    zoomAtOverview(ws, 250, 500, 400, true);
    EXPECT_EQ(scopeSession.view.scale, ViewScale{});
    EXPECT_EQ(scopeSession.view.viewStart, 4800u);
}

}  // namespace
