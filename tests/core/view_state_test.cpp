#include "core/view_state.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>
#include "tests/support/view_size.h"

void PrintTo(const ViewScale& scale, std::ostream* out) {
    *out << scale.samplesPerPixel() << " samples a pixel";
}

namespace {

ViewScale step(int zoomStep) {
    return ViewScale::pixelsPerSample(zoomStep);
}

ViewScale columns(uint32_t samples) {
    return ViewScale::samplesPerColumn(samples);
}

struct ScaleCase {
    ViewScale scale;
    int zoomStep;
    uint64_t secondColumn;  // samples before column 1
    bool below;
    int64_t screen;  // samples a screen of kViewWidth pixels is taken to hold
};

// The zoom step and the samples a column holds both come from the one scale; a screen counts
// kViewWidth samples at every zoom step, and below 1:1 the samples of all its columns, a part of a
// sample counted whole.
TEST(ViewScale, ZoomStepAndColumnsComeFromTheOneScale) {
    const ScaleCase cases[] = {
        {ViewScale{}, 1, 1, false, kViewWidth},
        {step(1), 1, 1, false, kViewWidth},
        {step(2), 2, 1, false, kViewWidth},
        {step(16), 16, 1, false, kViewWidth},
        {columns(1), 1, 1, false, kViewWidth},
        {columns(2), 1, 2, true, 2 * kViewWidth},
        {columns(13), 1, 13, true, 13 * kViewWidth},
        {ViewScale::samplesOnColumns(5000, 1300), 1, 4, true, 1539},
        {ViewScale::samplesOnColumns(801, 800), 1, 2, true, kViewWidth + 1},
        {ViewScale::samplesOnColumns(300, 300), 1, 1, false, kViewWidth},
        {ViewScale::samplesOnColumns(200, 300), 1, 1, false, kViewWidth},
    };
    for (const ScaleCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.scale));
        EXPECT_EQ(c.scale.zoomStep(), c.zoomStep);
        EXPECT_EQ(c.scale.samplesBeforeColumn(1), c.secondColumn);
        EXPECT_EQ(c.scale.belowOneToOne(), c.below);
        EXPECT_EQ(screenSamples(kViewWidth, c.scale), c.screen);
    }
    // The same ratio however it is written.
    EXPECT_EQ(ViewScale::samplesOnColumns(4000, 1000), columns(4));
    EXPECT_EQ(ViewScale::samplesOnColumns(10000, 2600), ViewScale::samplesOnColumns(5000, 1300));
    EXPECT_EQ(ViewState{}.zoomStep(), 1);
    EXPECT_EQ(ViewState{}.viewWidth, 300);
}

struct ButtonCase {
    ViewScale from;
    ViewScale in, out;
};

// Zoom In and Zoom Out keep to 1 to 16; below 1:1 Zoom In goes back to 1:1, Zoom Out stays.
TEST(ViewScale, ButtonsStepOneToSixteen) {
    const ButtonCase cases[] = {
        {step(1), step(2), step(1)},       {step(2), step(4), step(1)},
        {step(8), step(16), step(4)},      {step(16), step(16), step(8)},
        {columns(8), step(1), columns(8)}, {columns(2), step(1), columns(2)},
    };
    for (const ButtonCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.from));
        EXPECT_EQ(buttonZoom(c.from, true), c.in);
        EXPECT_EQ(buttonZoom(c.from, false), c.out);
    }
}

TEST(ViewScale, MemoryTriggerBacksOffTenPixelsWorthOfSamples) {
    const std::pair<ViewScale, uint32_t> cases[] = {
        {step(1), 10}, {step(2), 5}, {step(4), 2}, {step(8), 1}, {step(16), 0}, {columns(2), 0},
    };
    for (const auto& [scale, samples] : cases) {
        EXPECT_EQ(memoryTriggerBackOff(scale), samples) << testing::PrintToString(scale);
    }
}

struct FitCase {
    uint32_t length;
    int width;
    ViewScale fit;
};

TEST(ViewScale, FitIsTheLargestScaleThatShowsEverySample) {
    const FitCase cases[] = {
        {500000, 400, columns(1250)}, {800, 400, columns(2)}, {400, 400, step(1)},
        {200, 400, step(2)},          {100, 400, step(4)},    {25, 400, step(16)},
        {1, 400, step(16)},           {0, 400, step(1)},      {5000, 0, step(1)},
    };
    for (const FitCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.length << " on " << c.width);
        EXPECT_EQ(fitScale(c.length, c.width), c.fit);
    }
}

// The whole ladder from the largest zoom step out to the fit and back, for 5000 samples on 400
// pixels; the ends stay.
TEST(ViewScale, LadderIsZoomStepsThenPowersOfTwoThenTheFit) {
    const std::vector<ViewScale> ladder = {
        step(16),   step(8),    step(4),
        step(2),    step(1),    columns(2),
        columns(4), columns(8), ViewScale::samplesOnColumns(5000, kViewWidth)};
    for (size_t i = 0; i < ladder.size(); ++i) {
        EXPECT_EQ(ladderStep(ladder[i], false, 5000, kViewWidth),
                  ladder[std::min(i + 1, ladder.size() - 1)])
            << i;
        EXPECT_EQ(ladderStep(ladder[i], true, 5000, kViewWidth), ladder[i > 0 ? i - 1 : 0]) << i;
    }
    // A capture that fits at 1:1 has no rungs below it; a scale beyond the fit (after a cut)
    // zooms no further out.
    EXPECT_EQ(ladderStep(step(1), false, 400, kViewWidth), step(1));
    EXPECT_EQ(ladderStep(columns(32), false, 5000, kViewWidth), columns(32));
    EXPECT_EQ(ladderStep(columns(32), true, 5000, kViewWidth), columns(16));
}

struct FillCase {
    uint32_t length;
    int width;
};

// Lengths that do not divide by the width among them: a fit below 1:1 puts the last sample in
// the last column and none beyond it, and every column holds a sample.
const FillCase kFills[] = {
    {5000, 1300}, {1000, 300},  {500000, 1919}, {5000, 400},         {801, 400},
    {401, 400},   {1301, 1300}, {2599, 1300},   {4294967295u, 1920}, {7, 3},
};

TEST(ViewScale, FitFillsTheWidth) {
    for (const FillCase& c : kFills) {
        SCOPED_TRACE(testing::Message() << c.length << " on " << c.width);
        const ViewScale fit = fitScale(c.length, c.width);
        ASSERT_TRUE(fit.belowOneToOne());
        EXPECT_EQ(screenSamples(c.width, fit), c.length);
        EXPECT_EQ(fit.columnOf(c.length - 1), c.width - 1);
        EXPECT_EQ(fit.columnOf(c.length), c.width);
        for (uint32_t x = 0; x < static_cast<uint32_t>(c.width); ++x) {
            EXPECT_LT(fit.samplesBeforeColumn(x), fit.samplesBeforeColumn(x + 1)) << x;
        }
    }
}

// Every sample lies in the column its number maps to, and a column's first and last samples map
// back to it, also left of the view.
TEST(ViewScale, ColumnsAndSamplesMapBothWays) {
    for (const FillCase& c : kFills) {
        SCOPED_TRACE(testing::Message() << c.length << " on " << c.width);
        const ViewScale fit = fitScale(c.length, c.width);
        for (int64_t x = 0; x < c.width; ++x) {
            const auto column = static_cast<uint32_t>(x);
            const auto first = static_cast<int64_t>(fit.samplesBeforeColumn(column));
            const auto next = static_cast<int64_t>(fit.samplesBeforeColumn(column + 1));
            ASSERT_EQ(fit.columnOf(first), x);
            ASSERT_EQ(fit.columnOf(next - 1), x);
            ASSERT_EQ(fit.columnOf(next), x + 1);
            ASSERT_LT(fit.columnOf(-first - 1), -x);
        }
        EXPECT_EQ(fit.columnOf(-1), -1);
    }
}

// Zoom in and out from a fit that is not a whole number of samples a column: the powers of two
// under it, and the fit again as the last rung.
TEST(ViewScale, LadderFromAFractionalFit) {
    const struct {
        uint32_t length;
        int width;
        std::vector<ViewScale> rungs;  // from the fit in to 1:1
    } cases[] = {
        {5000, 1300, {fitScale(5000, 1300), columns(2), step(1)}},
        {1000, 300, {fitScale(1000, 300), columns(2), step(1)}},
        {500000, 1919, {fitScale(500000, 1919), columns(256), columns(128), columns(64)}},
        {401, 400, {fitScale(401, 400), step(1), step(2)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.length << " on " << c.width);
        EXPECT_EQ(ladderStep(c.rungs[0], false, c.length, c.width), c.rungs[0]);
        for (size_t i = 0; i + 1 < c.rungs.size(); ++i) {
            EXPECT_EQ(ladderStep(c.rungs[i], true, c.length, c.width), c.rungs[i + 1]) << i;
            EXPECT_EQ(ladderStep(c.rungs[i + 1], false, c.length, c.width), c.rungs[i]) << i;
        }
    }
}

}  // namespace
