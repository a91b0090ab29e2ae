#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "core/scope_session.h"
#include "display/gap_marks.h"
#include "display/ruler_scale.h"
#include "display/trace_geometry.h"
#include "display/trace_view.h"
#include "tests/support/recording_canvas.h"
#include "tests/support/session_samples.h"
#include "tests/support/time_base_maker.h"
#include "tests/support/view_size.h"

namespace {

using Line = RecordingCanvas::Line;

// 5000 samples 1 µs apart, the sampling stood still for 100 µs before sample 1000 and for 50 µs
// before sample 4800.
class TimeAxisTest : public testing::Test {
protected:
    void SetUp() override {
        resetScopeSession();
        makeTimeBase(time, 5000, 1000, {{1000, 100'000}, {4800, 50'000}});
    }
    void TearDown() override { resetScopeSession(); }

    TraceGeometry geometry(ViewScale scale, uint32_t viewStart, uint32_t origin = 0) const {
        return timeAxisGeometry(kViewWidth, 300, viewStart, 5000 - origin, scale, time, origin);
    }

    TimeBase time;
};

// Each sample at its time; a gap takes the pixels of the time it lasted, at every zoom.
TEST_F(TimeAxisTest, SamplesStandAtTheirTimes) {
    struct Case {
        ViewScale scale;
        uint32_t viewStart, index;
        std::optional<int> x;
    };
    const Case cases[] = {
        {ViewScale{}, 900, 950, 50},
        {ViewScale{}, 900, 999, 99},
        {ViewScale{}, 900, 1000, 200},  // 100 µs later than the pace: 100 pixels
        {ViewScale{}, 900, 1050, 250},
        {ViewScale{}, 900, 1300, {}},  // right of the view
        {ViewScale{}, 900, 899, {}},
        {ViewScale::pixelsPerSample(2), 990, 995, 10},
        {ViewScale::pixelsPerSample(2), 990, 1000, 220},
        {ViewScale::samplesPerColumn(4), 0, 400, 100},
        {ViewScale::samplesPerColumn(4), 0, 1000, 275},
        {ViewScale::samplesPerColumn(4), 0, 1200, 325},
        {ViewScale::samplesPerColumn(4), 0, 1700, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.scale.samplesPerPixel() << " a pixel from "
                                        << c.viewStart << ", sample " << c.index);
        const TraceGeometry g = geometry(c.scale, c.viewStart);
        ASSERT_TRUE(g.time.has_value());
        EXPECT_EQ(sampleX(g, c.index), c.x);
        if (c.x) {
            EXPECT_EQ(sampleAtX(g, *c.x), c.index) << "and back";
        }
    }
}

// The pointer inside a gap reads the sample before it; the edge into the sample after a gap lies
// at the gap's end.
TEST_F(TimeAxisTest, PointsInsideAGapReadTheSampleBefore) {
    const TraceGeometry g = geometry(ViewScale{}, 900);
    for (int x : {100, 150, 199}) {
        EXPECT_EQ(sampleAtX(g, x), 999u) << x;
    }
    EXPECT_EQ(sampleAtX(g, -1), std::nullopt);
    EXPECT_EQ(edgeX(g, 1000), 200);
    EXPECT_EQ(edgeX(g, 950), 50);
    const TraceGeometry zoomed = geometry(ViewScale::pixelsPerSample(4), 990);
    EXPECT_EQ(edgeX(zoomed, 1000), 438);  // half a sample's 4 pixels before it
}

// A cut recording keeps its capture's times: data index 0 is the capture's sample 500.
TEST_F(TimeAxisTest, ACutRecordingKeepsItsTimes) {
    const TraceGeometry g = geometry(ViewScale{}, 400, 500);
    EXPECT_EQ(sampleX(g, 450), 50);
    EXPECT_EQ(sampleX(g, 500), 200);
}

// The last screen ends at the last sample in time: with the gap near the end, later than the
// sample axis's last screen starts.
TEST_F(TimeAxisTest, TheLastScreenEndsAtTheLastSample) {
    const TraceGeometry g = geometry(ViewScale{}, 5000);
    EXPECT_EQ(g.firstSample, 4650u);
    ASSERT_TRUE(sampleX(g, 4999).has_value());
    EXPECT_EQ(*sampleX(g, 4999), kViewWidth - 1);
    EXPECT_EQ(geometry(ViewScale{}, 4000).firstSample, 4000u);
    EXPECT_EQ(geometry(ViewScale::samplesPerColumn(16), 3000).firstSample, 0u) << "all fits";
}

// Ticks stand evenly in time, across the gap too.
TEST_F(TimeAxisTest, RulerTimesRunEvenly) {
    const TraceGeometry g = geometry(ViewScale{}, 900);
    const RulerScale ruler = rulerScale(g, kViewWidth, &time, 0, {}, 60);
    ASSERT_GE(ruler.ticks.size(), 10u);
    const int spacing = ruler.ticks[1].x - ruler.ticks[0].x;
    EXPECT_GT(spacing, 0);
    for (size_t i = 1; i < ruler.ticks.size(); ++i) {
        EXPECT_NEAR(ruler.ticks[i].x - ruler.ticks[i - 1].x, spacing, 1) << i;
    }
    EXPECT_EQ(ruler.gaps, std::vector<int>{200}) << "at the gap's end";
}

// A gap wide on screen is hatched over its stretch and no trace crosses it; zoomed out, where it
// spans a few pixels, it is a mark as on the sample axis.
TEST_F(TimeAxisTest, AWideGapIsHatchedAndTheTracesStopThere) {
    std::vector<uint8_t> samples(5000);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<uint8_t>(i * 37);
    }
    loadSessionSamples(samples);
    makeTimeBase(scopeSession.timeBase, 5000, 1000, {{1000, 100'000}, {4800, 50'000}});
    scopeSession.view.timeAxis = true;
    scopeSession.view.viewStart = 900;
    RecordingCanvas canvas;
    paintTrace(canvas, kViewWidth, 300);
    const std::vector<Line> hatch = canvas.linesIn(gapMarkColour(GapMarkLevel::Clear));
    ASSERT_GE(hatch.size(), 10u);
    for (const Line& line : hatch) {
        for (int x : {line.x0, line.x1}) {
            EXPECT_GE(x, 100);
            EXPECT_LT(x, 200);
        }
    }
    for (const Line& line : canvas.linesIn(kTraceColour)) {
        EXPECT_FALSE(std::min(line.x0, line.x1) < 200 && std::max(line.x0, line.x1) > 100)
            << line.x0 << " to " << line.x1;
    }
    EXPECT_EQ(canvas.livePens(), 0);
    scopeSession.view.scale = ViewScale::samplesPerColumn(32);
    scopeSession.view.viewStart = 0;
    canvas.clear();
    paintTrace(canvas, kViewWidth, 300);
    EXPECT_TRUE(canvas.linesIn(gapMarkColour(GapMarkLevel::Clear)).empty());
    EXPECT_FALSE(canvas.fills.empty()) << "marks instead";
}

// The view's extent counts the gaps' time on the time axis; without a time base, or while a
// capture fills it, the view stays on samples.
TEST_F(TimeAxisTest, TheExtentCountsTheGapsTime) {
    loadSessionSamples(std::vector<uint8_t>(5000, 0));
    EXPECT_FALSE(hasTimeAxis(scopeSession));
    scopeSession.view.timeAxis = true;
    EXPECT_EQ(viewExtent(scopeSession), 5000u);
    EXPECT_FALSE(viewGeometry(scopeSession, kViewWidth, 300).time.has_value());
    makeTimeBase(scopeSession.timeBase, 5000, 1000, {{1000, 100'000}, {4800, 50'000}});
    EXPECT_TRUE(hasTimeAxis(scopeSession));
    EXPECT_EQ(viewExtent(scopeSession), 5150u);
    EXPECT_TRUE(viewGeometry(scopeSession, kViewWidth, 300).time.has_value());
    scopeSession.view.timeAxis = false;
    EXPECT_EQ(viewExtent(scopeSession), 5000u);
    EXPECT_FALSE(viewGeometry(scopeSession, kViewWidth, 300).time.has_value());
}

}  // namespace
