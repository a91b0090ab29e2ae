#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "core/scope_session.h"
#include "display/gap_marks.h"
#include "display/trace_geometry.h"
#include "display/trace_view.h"
#include "tests/support/recording_canvas.h"
#include "tests/support/session_samples.h"
#include "tests/support/time_base_maker.h"

namespace {

using Line = RecordingCanvas::Line;

struct RowsCase {
    int height;
    int rows[5];
    int levelHeight;
};

TEST(TraceGeometryTest, RowsBaselinesAndLevelFollowTheHeight) {
    const RowsCase cases[] = {
        {300, {55, 115, 175, 235, 295}, 42}, {600, {115, 235, 355, 475, 595}, 85},
        {299, {55, 115, 175, 235, 295}, 42},  // one short of a multiple of five: same pitch
        {70, {9, 23, 37, 51, 65}, 10},       {7, {-4, -3, -2, -1, 0}, 1},
        {6, {-4, -3, -2, -1, 0}, 0},         {3, {-5, -5, -5, -5, -5}, 0},
    };
    for (const RowsCase& c : cases) {
        SCOPED_TRACE(c.height);
        const TraceGeometry g = traceGeometry(400, c.height, 0, 0);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(g.gridRow[i], c.rows[i]);
            EXPECT_EQ(g.baseline[i], c.rows[i] - 3);
        }
        EXPECT_EQ(g.levelHeight, c.levelHeight);
    }
}

struct VisibleCase {
    uint32_t viewStart, sampleLength;
    int width, zoom;
    uint32_t first, count;
};

TEST(TraceGeometryTest, VisibleSamplesStayInsideTheData) {
    const VisibleCase cases[] = {
        {0, 5000, 300, 1, 0, 302},       {4600, 5000, 300, 1, 4600, 302},
        {4699, 5000, 300, 1, 4699, 301}, {4700, 5000, 300, 1, 4700, 300},
        {4900, 5000, 300, 1, 4700, 300},  // the last screen does not scroll further
        {4900, 5000, 400, 2, 4600, 202},  // counted in samples: the last 198 never show
        {0, 5000, 400, 16, 0, 27},       {0, 100, 300, 1, 0, 100},
        {10, 100, 300, 1, 10, 90},       {150, 100, 300, 1, 150, 0},
        {50, 300, 300, 1, 0, 300},       {0, 0, 300, 1, 0, 0},
    };
    for (const VisibleCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.viewStart << " of " << c.sampleLength << ", width "
                                        << c.width << ", zoom " << c.zoom);
        const TraceGeometry g = traceGeometry(c.width, 300, c.viewStart, c.sampleLength,
                                              ViewScale::pixelsPerSample(c.zoom));
        EXPECT_EQ(g.firstSample, c.first);
        EXPECT_EQ(g.sampleCount, c.count);
    }
}

struct PointerGeometryCase {
    uint32_t viewStart, sampleLength;
    int zoom, x;
    std::optional<uint32_t> sample;  // at x, and drawn at x rounded down to its step
};

TEST(TraceGeometryTest, SampleAtAPixelAndThePixelOfASample) {
    const PointerGeometryCase cases[] = {
        {0, 5000, 1, 0, 0},         {0, 5000, 1, 299, 299},   {0, 5000, 2, 3, 1},
        {0, 5000, 4, 4, 1},         {0, 5000, 8, 15, 1},      {0, 5000, 16, 299, 18},
        {1000, 5000, 16, 16, 1001}, {4900, 5000, 1, 0, 4700},  // the last screen
        {0, 100, 1, 99, 99},        {0, 100, 1, 100, {}},     {0, 100, 4, 299, 74},
        {0, 5000, 1, -1, {}},       {0, 0, 1, 0, {}},
    };
    for (const PointerGeometryCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "view " << c.viewStart << " of " << c.sampleLength
                                        << ", zoom " << c.zoom << ", x " << c.x);
        const TraceGeometry g = traceGeometry(300, 300, c.viewStart, c.sampleLength,
                                              ViewScale::pixelsPerSample(c.zoom));
        EXPECT_EQ(sampleAtX(g, c.x), c.sample);
        if (c.sample) {
            EXPECT_EQ(sampleX(g, *c.sample), c.x - c.x % c.zoom);
        }
    }
    // Only the samples drawn have a place: 302 from 1000 at zoom 1.
    const TraceGeometry g = traceGeometry(300, 300, 1000, 5000);
    EXPECT_EQ(sampleX(g, 999), std::nullopt);
    EXPECT_EQ(sampleX(g, 1301), 301);
    EXPECT_EQ(sampleX(g, 1302), std::nullopt);
}

TEST(TraceGeometryTest, RowOfAPixelIsTheBandDownToItsGridLine) {
    // Heights 300 and 299: grid rows at 55, 115, 175, 235, 295.
    const struct {
        int height, y, channel;
    } cases[] = {{300, -3, 0},  {300, 0, 0},   {300, 55, 0},  {300, 56, 1},  {300, 115, 1},
                 {300, 116, 2}, {300, 175, 2}, {300, 235, 3}, {300, 236, 4}, {300, 299, 4},
                 {299, 54, 0},  {299, 55, 0},  {299, 56, 1},  {299, 298, 4}};
    for (const auto& c : cases) {
        const TraceGeometry g = traceGeometry(300, c.height, 0, 0);
        EXPECT_EQ(channelAtY(g, c.y), c.channel) << "height " << c.height << ", y " << c.y;
    }
}

// 5000 samples in which every channel changes often.
void loadPatternSamples() {
    std::vector<uint8_t> samples(5000);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<uint8_t>(i * 37);
    }
    loadSessionSamples(samples);
}

class PaintTraceTest : public testing::Test {
protected:
    void SetUp() override { resetScopeSession(); }
    void TearDown() override { resetScopeSession(); }

    RecordingCanvas canvas;
};

TEST_F(PaintTraceTest, WithoutDataOnlyTheGridIsDrawn) {
    for (bool bufferBeingFilled : {false, true}) {
        SCOPED_TRACE(bufferBeingFilled);
        resetScopeSession();
        if (bufferBeingFilled) {
            loadSessionSamples(std::vector<uint8_t>(5000, 0xF8));
            scopeSession.workerCapturing = true;
        }
        canvas.clear();
        paintTrace(canvas, 500, 300);
        ASSERT_EQ(canvas.lines.size(), 5u);
        for (int i = 0; i < 5; ++i) {
            const int y = 55 + 60 * i;
            EXPECT_EQ(canvas.lines[i], (Line{kGridColour, 0, y, 500, y}));
        }
        // A paint only shows the view: its width comes from the widget's resize.
        EXPECT_EQ(scopeSession.view.viewWidth, 300);
        EXPECT_EQ(canvas.livePens(), 0);
        EXPECT_EQ(canvas.selected, RecordingCanvas::kStockPen);
        scopeSession.workerCapturing = false;
    }
}

// While the worker fills the buffer, the samples it has stored so far are drawn, and no more.
TEST_F(PaintTraceTest, DuringAWorkerCaptureTheSamplesStoredSoFarAreDrawn) {
    loadSessionSamples(std::vector<uint8_t>(5000, 0xF8));
    scopeSession.workerCapturing = true;
    scopeSession.samplesStored = 100;
    paintTrace(canvas, 500, 300);
    const std::vector<Line> traces = canvas.linesIn(kTraceColour);
    ASSERT_EQ(traces.size(), 100u * kChannelCount);
    EXPECT_EQ(traces.back().x1, 99);
    EXPECT_EQ(scopeSession.view.viewWidth, 300) << "a paint leaves the view as it is";
    scopeSession.workerCapturing = false;
}

TEST_F(PaintTraceTest, LevelsTransitionsAndChannelOrder) {
    // Height 70: baselines 6, 20, 34, 48, 62, level 10. Zoom 4 and width 8 would show 4 samples,
    // the data has 3. Bits 0 to 2 are not drawn. The first sample is flat from x = -4; then
    // channel 1 falls and channel 2 rises; then every channel is high.
    loadSessionSamples({0x08, 0x17, 0xFF});
    scopeSession.view.scale = ViewScale::pixelsPerSample(4);
    paintTrace(canvas, 8, 70);
    // clang-format off
    const int expected[15][4] = {
        {-4, -4, 0, -4}, {-4, 20, 0, 20}, {-4, 34, 0, 34}, {-4, 48, 0, 48}, {-4, 62, 0, 62},
        {0, -4, 4, 6},   {0, 20, 4, 10},  {0, 34, 4, 34},  {0, 48, 4, 48},  {0, 62, 4, 62},
        {4, 6, 8, -4},   {4, 10, 8, 10},  {4, 34, 8, 24},  {4, 48, 8, 38},  {4, 62, 8, 52}};
    // clang-format on
    const std::vector<Line> trace = canvas.linesIn(kTraceColour);
    ASSERT_EQ(trace.size(), 15u);
    for (int n = 0; n < 15; ++n) {
        const int* e = expected[n];
        EXPECT_EQ(trace[n], (Line{kTraceColour, e[0], e[1], e[2], e[3]})) << "segment " << n;
    }
}

TEST_F(PaintTraceTest, EveryZoomDrawsWidthOverZoomPlusTwoSamples) {
    loadPatternSamples();
    for (int zoom : {1, 2, 4, 8, 16}) {
        SCOPED_TRACE(zoom);
        scopeSession.view.scale = ViewScale::pixelsPerSample(zoom);
        canvas.clear();
        paintTrace(canvas, 400, 300);
        const std::vector<Line> trace = canvas.linesIn(kTraceColour);
        const int drawn = 400 / zoom + 2;
        ASSERT_EQ(trace.size(), 5u * drawn);
        EXPECT_EQ(canvas.lines.size(), trace.size() + 5);
        EXPECT_EQ(trace.front().x0, -zoom);
        EXPECT_EQ(trace.back().x1, (drawn - 1) * zoom);
        for (const Line& l : trace) {
            ASSERT_EQ(l.x1 - l.x0, zoom);
        }
    }
}

TEST_F(PaintTraceTest, ViewPastTheLastScreenShowsTheLastScreen) {
    std::vector<uint8_t> samples(1000, 0x00);
    samples[700] = 0x08;
    loadSessionSamples(samples);
    scopeSession.view.viewStart = 900;
    paintTrace(canvas, 300, 300);
    // Channel 1 of sample 700 is high: baseline 52, level 42.
    const Line first = canvas.linesIn(kTraceColour).front();
    EXPECT_EQ(first, (Line{kTraceColour, -1, 10, 0, 10}));
    EXPECT_EQ(canvas.linesIn(kTraceColour).size(), 5u * 300);
    EXPECT_EQ(scopeSession.view.viewStart, 900u);
}

TEST_F(PaintTraceTest, PensLiveForOnePaintAndTheOldPenReturns) {
    loadSessionSamples(std::vector<uint8_t>(5000, 0x55));
    for (int paint = 1; paint <= 2; ++paint) {
        canvas.clear();
        paintTrace(canvas, 400, 300);
        EXPECT_EQ(canvas.createdColours, (std::vector<uint32_t>{kGridColour, kTraceColour}));
        const auto [grid, trace] = std::pair(canvas.createdPens[0], canvas.createdPens[1]);
        EXPECT_EQ(canvas.selectedPens,
                  (std::vector<TraceCanvas::Pen>{grid, trace, RecordingCanvas::kStockPen}));
        EXPECT_EQ(canvas.livePens(), 0);
    }
}

TEST_F(PaintTraceTest, APenThatCannotBeMadeDrawsNothing) {
    loadSessionSamples(std::vector<uint8_t>(5000, 0x55));
    for (int failing : {1, 2}) {
        SCOPED_TRACE(failing);
        RecordingCanvas failingCanvas;
        failingCanvas.failingCreate = failing;
        paintTrace(failingCanvas, 400, 300);
        EXPECT_TRUE(failingCanvas.lines.empty());
        EXPECT_TRUE(failingCanvas.selectedPens.empty());
        EXPECT_EQ(failingCanvas.livePens(), 0);
    }
}

// At a fit that leaves a fraction of a sample a column, the traces end in the last column, and a
// one-sample pulse is drawn in the very column a click there maps back to.
TEST_F(PaintTraceTest, AFractionalFitDrawsEachSampleInTheColumnItsClickFinds) {
    const struct {
        uint32_t length;
        int width;
        std::vector<uint32_t> pulses;
    } cases[] = {
        {5000, 1300, {3, 4, 2500, 4998}},
        {1000, 300, {1, 10, 499, 997}},
        {500000, 1919, {260, 261, 250000, 499998}},
        {7, 3, {2, 5}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.length << " on " << c.width);
        std::vector<uint8_t> samples(c.length, 0x00);
        for (const uint32_t pulse : c.pulses) {
            samples[pulse] = kChannelBits[0];
        }
        loadSessionSamples(samples);
        scopeSession.view.scale = fitScale(c.length, c.width);
        canvas.clear();
        paintTrace(canvas, c.width, 300);
        const TraceGeometry g = viewGeometry(scopeSession, c.width, 300);
        // Lines leave out their end pixel; a bar stands on one column, a band fills several.
        std::vector<int> drawn;  // channel 1's columns that cross both levels
        int right = 0;
        const auto inFirstRow = [&](const Line& l) { return std::max(l.y0, l.y1) < g.gridRow[0]; };
        for (const Line& l : canvas.linesIn(kTraceColour)) {
            right = std::max(right, l.x0 == l.x1 ? l.x0 : std::max(l.x0, l.x1) - 1);
            if (l.x0 == l.x1 && inFirstRow(l)) {
                drawn.push_back(l.x0);
            }
        }
        for (const Line& band : canvas.fills) {
            for (int x = band.x0; x < band.x1 && inFirstRow(band); ++x) {
                drawn.push_back(x);
            }
        }
        EXPECT_EQ(right, c.width - 1);
        std::vector<int> clicked;
        for (const uint32_t pulse : c.pulses) {
            const int x = sampleX(g, pulse).value_or(-1);
            EXPECT_EQ(sampleAtX(g, x).value_or(0) <= pulse, true) << pulse;
            EXPECT_GT(sampleAtX(g, x + 1).value_or(c.length), pulse) << pulse;
            if (clicked.empty() || clicked.back() != x) {
                clicked.push_back(x);
            }
        }
        std::sort(drawn.begin(), drawn.end());
        drawn.erase(std::unique(drawn.begin(), drawn.end()), drawn.end());
        EXPECT_EQ(drawn, clicked);
    }
}

// The marker is one full-height line over an otherwise unchanged picture, in a pen of its own
// made only when the line is on screen.
TEST_F(PaintTraceTest, MarkerIsOneLineAtItsSampleWhenOnScreen) {
    const struct {
        int zoom;
        uint32_t viewStart, marker;
        std::optional<int> x;
    } cases[] = {
        {1, 0, 0, 0},         {1, 0, 250, 250},   {2, 0, 125, 250}, {16, 0, 24, 384},
        {4, 1000, 1099, 396}, {1, 1000, 999, {}}, {1, 0, 400, {}},  // just off either side
        {16, 0, 26, {}},      {1, 4900, 4600, 0},                   // the last screen
    };
    loadPatternSamples();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "zoom " << c.zoom << ", marker " << c.marker);
        scopeSession.view.scale = ViewScale::pixelsPerSample(static_cast<uint8_t>(c.zoom));
        scopeSession.view.viewStart = c.viewStart;
        scopeSession.marker.reset();
        canvas.clear();
        paintTrace(canvas, 400, 300);
        const std::vector<Line> unmarked = canvas.lines;
        scopeSession.marker = c.marker;
        canvas.clear();
        paintTrace(canvas, 400, 300);
        EXPECT_EQ(canvas.livePens(), 0);
        EXPECT_EQ(canvas.selected, RecordingCanvas::kStockPen);
        if (!c.x) {
            EXPECT_EQ(canvas.lines, unmarked);
            EXPECT_EQ(canvas.createdColours, (std::vector<uint32_t>{kGridColour, kTraceColour}));
            continue;
        }
        ASSERT_EQ(canvas.lines.size(), unmarked.size() + 1);
        EXPECT_EQ(canvas.lines.back(), (Line{kMarkerColour, *c.x, 0, *c.x, 300}));
        canvas.lines.pop_back();
        EXPECT_EQ(canvas.lines, unmarked);
    }
}

// A gap is a full-height mark under the traces, halfway into the step before the sample after
// it, as wide and bright as the columns' worth of time it hid (here 1 µs a sample: 30 µs and 1 ms);
// a gap shorter than a column has no mark in the traces. The traces and the marker are drawn as
// without gaps; where no mark is on screen the paint is the one without a time base, to the pen.
TEST_F(PaintTraceTest, GapMarksGrowWithTheirTimeUnderTheTraces) {
    const uint32_t clear = gapMarkColour(GapMarkLevel::Clear);
    const struct {
        ViewScale scale;
        uint32_t viewStart;
        std::vector<Line> fills;  // of the gaps, drawn before the traces
    } cases[] = {
        {ViewScale{}, 0, {{clear, 250, 0, 252, 300}, {kGapColour, 259, 0, 262, 300}}},
        {ViewScale::pixelsPerSample(2),
         100,
         {{clear, 299, 0, 301, 300}, {kGapColour, 318, 0, 321, 300}}},
        {ViewScale::pixelsPerSample(16),
         240,
         {{kGapColour, 151, 0, 154, 300}, {kGapColour, 311, 0, 314, 300}}},
        {ViewScale{}, 251, {{kGapColour, 8, 0, 11, 300}}},
        {ViewScale::samplesPerColumn(64), 0, {{clear, 4, 0, 6, 300}}},  // 30 µs: under a column
        {ViewScale::samplesPerColumn(2048), 0, {}},  // 1 ms is under half a column: none
        {ViewScale{}, 260, {}},  // a gap before the first sample drawn has no step on screen
        {ViewScale::pixelsPerSample(2), 0, {}},  // both right of the view
        {ViewScale{}, 1000, {}},                 // none there
    };
    loadPatternSamples();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.scale.samplesPerPixel() << " a pixel, view " << c.viewStart);
        scopeSession.view.scale = c.scale;
        scopeSession.view.viewStart = c.viewStart;
        scopeSession.marker = 270;
        scopeSession.timeBase.clear();
        canvas.clear();
        paintTrace(canvas, 400, 300);
        const RecordingCanvas without = canvas;
        makeTimeBase(scopeSession.timeBase, 5000, 1000, {{250, 30'000}, {260, 1'000'000}});
        canvas.clear();
        paintTrace(canvas, 400, 300);
        EXPECT_EQ(canvas.livePens(), 0);
        EXPECT_EQ(canvas.lines, without.lines);
        std::vector<Line> fills = c.fills;
        fills.insert(fills.end(), without.fills.begin(), without.fills.end());
        EXPECT_EQ(canvas.fills, fills);
        if (c.fills.empty()) {
            EXPECT_EQ(canvas.createdColours, without.createdColours);
        }
    }
}

// The gaps are found when the capture ends; the live view of a worker capture draws none.
TEST_F(PaintTraceTest, NoGapMarksBeforeTheTimeBaseIsFinished) {
    loadSessionSamples(std::vector<uint8_t>(5000, 0xF8));
    TimeBase& timeBase = scopeSession.timeBase;
    timeBase.prepare(5000, 1);
    for (uint32_t sample = 0; sample <= 100; ++sample) {
        timeBase.mark(sample, sample * 1000 + (sample >= 50 ? 1'000'000 : 0));
    }
    paintTrace(canvas, 400, 300);
    EXPECT_TRUE(canvas.fills.empty());
    timeBase.finish();
    canvas.clear();
    paintTrace(canvas, 400, 300);
    EXPECT_EQ(canvas.fills, (std::vector<Line>{{kGapColour, 49, 0, 52, 300}}));
}

}  // namespace

namespace {

// The trigger point is a line with a T on top at its sample (counted from the capture's start,
// so a cut moves it), only when it is on screen and the recording holds it.
TEST_F(PaintTraceTest, TriggerPointIsALineWithATOnTop) {
    const struct {
        const char* name;
        uint32_t trigger, origin, viewStart;
        std::optional<int> x;
    } cases[] = {
        {"at the left edge", 0, 0, 0, 0},
        {"on screen", 250, 0, 0, 250},
        {"after a cut before it", 300, 100, 0, 200},
        {"cut away", 50, 100, 0, {}},
        {"off screen", 1000, 0, 0, {}},
        {"beyond the data", 6000, 0, 0, {}},
        {"no trigger", kNoTriggerSample, 0, 0, {}},
    };
    loadPatternSamples();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        scopeSession.triggerSample = c.trigger;
        scopeSession.sampleOrigin = c.origin;
        scopeSession.view.viewStart = c.viewStart;
        canvas.clear();
        paintTrace(canvas, 400, 300);
        EXPECT_EQ(canvas.livePens(), 0);
        const std::vector<Line> lines = canvas.linesIn(kTriggerColour);
        if (!c.x) {
            EXPECT_TRUE(lines.empty());
            EXPECT_TRUE(canvas.fills.empty());
            continue;
        }
        EXPECT_EQ(lines, (std::vector<Line>{{kTriggerColour, *c.x, 0, *c.x, 300}}));
        ASSERT_EQ(canvas.fills.size(), 2u);
        for (const Line& fill : canvas.fills) {
            EXPECT_EQ(fill.colour, kTriggerColour);
            EXPECT_LE(fill.x0, *c.x);
            EXPECT_GT(fill.x1, *c.x);
            EXPECT_EQ(fill.y0, 0);
        }
    }
}

}  // namespace
