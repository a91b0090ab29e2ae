#include "display/ruler_scale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/time_base.h"

namespace {

constexpr int kRulerWidth = 1000;
constexpr int kSpacing = 100;

struct StepCase {
    double span;
    bool wholeNumbers;
    double step;
};

TEST(TickStep, OneTwoOrFiveTimesAPowerOfTen) {
    const StepCase cases[] = {
        {10e-6, false, 1e-6}, {20e-6, false, 2e-6}, {33e-6, false, 5e-6}, {100e-6, false, 1e-5},
        {1e-3, false, 1e-4},  {0.25, false, 0.05},  {10, false, 1},       {10, true, 1},
        {7, true, 1},         {3, true, 1},         {1234, true, 200},    {500000, true, 50000},
        {0, true, 0},         {-5, false, 0},
    };
    for (const StepCase& c : cases) {
        EXPECT_DOUBLE_EQ(tickStep(c.span, kRulerWidth, kSpacing, c.wholeNumbers), c.step)
            << c.span << (c.wholeNumbers ? " samples" : " s");
    }
}

// A time base with a clock mark every 100 samples at `period` seconds a sample, and a gap of
// `gapSeconds` before sample `gapAt` when given.
void fillTime(TimeBase& time, uint32_t samples, double period, uint32_t gapAt = 0,
              double gapSeconds = 0) {
    time.prepare(samples, 100);
    for (uint32_t i = 0; i <= samples; i += 100) {
        const double late = gapAt != 0 && i >= gapAt ? gapSeconds : 0;
        time.mark(i, static_cast<uint64_t>((i * period + late) * 1e9 + 0.5));
    }
    time.finish();
}

std::vector<std::string> labels(const RulerScale& scale) {
    std::vector<std::string> texts;
    for (const RulerTick& tick : scale.ticks) {
        if (!tick.label.empty()) {
            texts.push_back(tick.label + "@" + std::to_string(tick.x));
        }
    }
    return texts;
}

struct RulerCase {
    double period;  // 0: no time base
    uint32_t firstSample, origin, perPixel;
    std::vector<std::string> firstLabels;  // "label@x"
};

// Spans from 10 µs to 10 s on 1000 pixels, with a time base and without one (sample numbers,
// counted from the capture's first, so after Cut Before they go on).
TEST(RulerScale, LabelsInTheUnitThatFits) {
    const RulerCase cases[] = {
        {10e-9, 0, 0, 1, {"0 \u00b5s@0", "1 \u00b5s@100", "2 \u00b5s@200"}},
        {1e-6, 0, 0, 1, {"0.0 ms@0", "0.1 ms@100", "0.2 ms@200"}},
        {1e-6, 550, 0, 1, {"0.6 ms@50", "0.7 ms@150", "0.8 ms@250"}},
        {1e-6, 0, 0, 500, {"0 ms@0", "50 ms@100", "100 ms@200"}},
        {10e-3, 0, 0, 1, {"0 s@0", "1 s@100", "2 s@200"}},
        {0, 0, 0, 1, {"0@0", "100@100", "200@200"}},
        {0, 0, 37, 1, {"100@63", "200@163", "300@263"}},
        {0, 1000, 0, 500, {"50000@98", "100000@198"}},
    };
    for (const RulerCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "period " << c.period << ", from " << c.firstSample
                                        << ", origin " << c.origin << ", " << c.perPixel);
        const uint32_t length = c.perPixel > 1 ? 500000 + c.firstSample : 100000;
        TimeBase time;
        fillTime(time, length + c.origin, c.period);
        const TraceGeometry g = traceGeometry(kRulerWidth, 300, c.firstSample, length,
                                              ViewScale::samplesPerColumn(c.perPixel));
        const RulerScale scale =
            rulerScale(g, kRulerWidth, c.period > 0 ? &time : nullptr, c.origin, {}, kSpacing);
        const std::vector<std::string> got = labels(scale);
        ASSERT_GE(got.size(), c.firstLabels.size());
        EXPECT_EQ(std::vector<std::string>(got.begin(), got.begin() + c.firstLabels.size()),
                  c.firstLabels);
        EXPECT_TRUE(scale.gaps.empty());
    }
}

// Zoomed in, labelled ticks have ticks between them; sample numbers only at whole samples.
TEST(RulerScale, TicksBetweenTheLabelledOnes) {
    const TraceGeometry g = traceGeometry(160, 300, 0, 1000, ViewScale::pixelsPerSample(16));
    const RulerScale scale = rulerScale(g, 160, nullptr, 0, {}, 40);
    std::vector<int> xs;
    for (const RulerTick& tick : scale.ticks) {
        xs.push_back(tick.x);
    }
    EXPECT_EQ(xs, (std::vector<int>{0, 16, 32, 48, 64, 80, 96, 112, 128, 144, 160}));
    EXPECT_EQ(labels(scale), (std::vector<std::string>{"0@0", "5@80", "10@160"}));
}

// Times have ticks between the labelled ones too: fifths of a step of 1 µs.
TEST(RulerScale, TimeTicksBetweenTheLabelledOnes) {
    TimeBase time;
    fillTime(time, 100000, 10e-9);
    const TraceGeometry g = traceGeometry(kRulerWidth, 300, 0, 100000);
    const RulerScale scale = rulerScale(g, kRulerWidth, &time, 0, {}, kSpacing);
    ASSERT_GE(scale.ticks.size(), 6u);
    const std::vector<int> xs = {scale.ticks[0].x, scale.ticks[1].x, scale.ticks[2].x,
                                 scale.ticks[5].x};
    EXPECT_EQ(xs, (std::vector<int>{0, 20, 40, 100}));
    EXPECT_TRUE(scale.ticks[1].label.empty());
    EXPECT_EQ(scale.ticks[5].label, "1 \u00b5s");
}

// A stretch the sampling stood still is marked where it happened.
TEST(RulerScale, GapsAreMarked) {
    TimeBase time;
    fillTime(time, 10000, 1e-6, 500, 2e-3);
    // The stall lies somewhere in the block of 100 samples before 500: the time base puts it
    // halfway into it.
    ASSERT_EQ(time.gaps().size(), 1u);
    ASSERT_EQ(time.gaps()[0].sample, 450u);
    const TraceGeometry g = traceGeometry(kRulerWidth, 300, 0, 10000);
    EXPECT_EQ(rulerScale(g, kRulerWidth, &time, 0, {}, kSpacing).gaps, std::vector<int>{450});
    // Zoomed in, the mark sits where the trace view draws it: halfway into the step before.
    const TraceGeometry zoomed =
        traceGeometry(kRulerWidth, 300, 400, 10000, ViewScale::pixelsPerSample(4));
    EXPECT_EQ(rulerScale(zoomed, kRulerWidth, &time, 0, {}, kSpacing).gaps, std::vector<int>{198});
    // A cut recording: data index 350 is the time base's sample 450.
    const TraceGeometry cut =
        traceGeometry(kRulerWidth, 300, 300, 9900, ViewScale::pixelsPerSample(4));
    EXPECT_EQ(rulerScale(cut, kRulerWidth, &time, 100, {}, kSpacing).gaps, std::vector<int>{198});
}

// With a gap on screen the ticks inside it would crowd into one place: there is one tick there,
// no label stands closer than the spacing to the one before it, and left of the gap the labels
// are those of the same view without the gap, so the step does not change as a gap comes into
// view. A gap of seconds among microsecond ticks is stepped over, not ticked through.
TEST(RulerScale, LabelsKeepApartAtGapsAndTheStepStays) {
    struct Case {
        double gapSeconds;
        uint32_t gapAt;  // the gap falls halfway into the 100 samples before it
        uint32_t firstSample;
        ViewScale scale;
    };
    const Case cases[] = {
        {2e-3, 500, 0, ViewScale{}},
        {0.35e-3, 500, 0, ViewScale{}},
        {10, 500, 0, ViewScale{}},
        {2e-3, 500, 400, ViewScale::pixelsPerSample(4)},
        {50e-3, 500, 0, ViewScale::samplesPerColumn(8)},
        {3e-3, 2500, 2000, ViewScale::samplesPerColumn(8)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.gapSeconds << " s gap, from " << c.firstSample << ", "
                                        << c.scale.samplesPerPixel() << " a pixel");
        TimeBase gapped;
        fillTime(gapped, 20000, 1e-6, c.gapAt, c.gapSeconds);
        TimeBase even;
        fillTime(even, 20000, 1e-6);
        const TraceGeometry g = traceGeometry(kRulerWidth, 300, c.firstSample, 20000, c.scale);
        const RulerScale withGap = rulerScale(g, kRulerWidth, &gapped, 0, {}, kSpacing);
        const RulerScale without = rulerScale(g, kRulerWidth, &even, 0, {}, kSpacing);
        ASSERT_EQ(withGap.gaps.size() + withGap.gapTicks.size(), 1u);
        const int gapX = withGap.gaps.empty() ? withGap.gapTicks[0] : withGap.gaps[0];
        // Where the labels stand: the unit may change with the gap's seconds, the step may not.
        // A time the gap swallowed stands at the gap: only labels clear of it compare.
        const int clear = gapX - kSpacing / 4;
        std::vector<int> before, evenBefore;
        int lastLabel = -kSpacing;
        int lastTick = -1;
        for (const RulerTick& tick : withGap.ticks) {
            EXPECT_GT(tick.x, lastTick);
            lastTick = tick.x;
            if (tick.label.empty()) {
                continue;
            }
            EXPECT_GE(tick.x - lastLabel, kSpacing) << tick.label;
            lastLabel = tick.x;
            if (tick.x < clear) {
                before.push_back(tick.x);
            }
        }
        for (const RulerTick& tick : without.ticks) {
            if (!tick.label.empty() && tick.x < clear) {
                evenBefore.push_back(tick.x);
            }
        }
        EXPECT_EQ(before, evenBefore);
        EXPECT_GE(before.size(), 1u);
    }
}

// A gap that hid less than a column's time is only a tick in the ruler; the same gap zoomed in
// far enough is marked in the traces, and the ruler's line is where their mark is.
TEST(RulerScale, ShortGapsAreTicksOnly) {
    TimeBase time;
    fillTime(time, 10000, 1e-6, 500, 400e-6);
    ASSERT_EQ(time.gaps().size(), 1u);
    struct Case {
        uint32_t perPixel;
        std::vector<int> gaps, ticks;
    };
    const Case cases[] = {
        {1, {450}, {}},
        {256, {1}, {}},  // 400 µs is over one column of 256 µs
        {512, {}, {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.perPixel);
        const ViewScale scale =
            c.perPixel == 1 ? ViewScale{} : ViewScale::samplesPerColumn(c.perPixel);
        const RulerScale ruler = rulerScale(traceGeometry(kRulerWidth, 300, 0, 10000, scale),
                                            kRulerWidth, &time, 0, {}, kSpacing);
        EXPECT_EQ(ruler.gaps, c.gaps);
        EXPECT_EQ(ruler.gapTicks, c.ticks);
    }
}

// Measured from a trigger point: the zero stands on it, labelled, with negative numbers and
// times before it; ticks keep their spacing around it. A cut recording (origin 37) keeps the
// trigger's number, and the time axis counts from the trigger's time too.
TEST(RulerScale, CountsFromTheTriggerPoint) {
    struct Case {
        const char* what;
        double period;  // 0: no time base
        uint32_t firstSample, origin, perPixel;
        int64_t trigger;  // the capture's number of the trigger point
        std::vector<std::string> firstLabels;
        std::string atTrigger;  // the label at the trigger's x
    };
    const Case cases[] = {
        {"samples", 0, 0, 0, 1, 150, {"-100@50", "0@150", "100@250"}, "0@150"},
        {"samples, cut", 0, 0, 37, 1, 237, {"-200@0", "-100@100", "0@200"}, "0@200"},
        {"samples, trigger to the left", 0, 400, 0, 1, 150, {"300@50", "400@150"}, ""},
        {"times", 1e-6, 0, 0, 1, 550, {"-500 \u00b5s@50", "-400 \u00b5s@150"}, "0 \u00b5s@550"},
        {"times, zoomed out", 1e-6, 0, 0, 500, 250000, {"-250 ms@0", "-200 ms@100"}, "0 ms@500"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const uint32_t length = c.perPixel > 1 ? 500000 : 100000;
        TimeBase time;
        fillTime(time, length + c.origin, c.period);
        const MeasureZero zero{c.trigger, c.period > 0 ? time.secondsAt(c.trigger) : 0};
        const TraceGeometry g = traceGeometry(kRulerWidth, 300, c.firstSample, length,
                                              ViewScale::samplesPerColumn(c.perPixel));
        const std::vector<std::string> got = labels(
            rulerScale(g, kRulerWidth, c.period > 0 ? &time : nullptr, c.origin, zero, kSpacing));
        ASSERT_GE(got.size(), c.firstLabels.size());
        EXPECT_EQ(std::vector<std::string>(got.begin(), got.begin() + c.firstLabels.size()),
                  c.firstLabels);
        const size_t zeros = std::count_if(got.begin(), got.end(), [](const std::string& label) {
            return label.starts_with("0@") || label.starts_with("0 ") || label.starts_with("0.0 ");
        });
        EXPECT_EQ(zeros, c.atTrigger.empty() ? 0u : 1u);
        if (!c.atTrigger.empty()) {
            EXPECT_NE(std::find(got.begin(), got.end(), c.atTrigger), got.end());
        }
    }
}

}  // namespace
