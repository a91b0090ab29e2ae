#include "core/view_state.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

void PrintTo(const ViewScale& scale, std::ostream* out) {
    *out << scale.samplesPerPixel() << " samples a pixel";
}

namespace {

constexpr int kWidth = 400;

ViewScale step(int zoomStep) {
    return ViewScale::pixelsPerSample(zoomStep);
}

ViewScale columns(uint32_t samples) {
    return ViewScale::samplesPerColumn(samples);
}

struct ScaleCase {
    ViewScale scale;
    int zoomStep;
    uint32_t columnSamples;
    bool below;
    int64_t screen;  // samples a screen of kWidth pixels is taken to hold
};

// The zoom step and the samples a column holds both come from the one scale; a screen counts
// kWidth samples at every zoom step.
TEST(ViewScale, ZoomStepAndColumnsComeFromTheOneScale) {
    const ScaleCase cases[] = {
        {ViewScale{}, 1, 1, false, kWidth},      {step(1), 1, 1, false, kWidth},
        {step(2), 2, 1, false, kWidth},          {step(16), 16, 1, false, kWidth},
        {columns(1), 1, 1, false, kWidth},       {columns(2), 1, 2, true, 2 * kWidth},
        {columns(13), 1, 13, true, 13 * kWidth},
    };
    for (const ScaleCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.scale));
        EXPECT_EQ(c.scale.zoomStep(), c.zoomStep);
        EXPECT_EQ(c.scale.columnSamples(), c.columnSamples);
        EXPECT_EQ(c.scale.belowOneToOne(), c.below);
        EXPECT_EQ(screenSamples(kWidth, c.scale), c.screen);
    }
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
        {500000, 1800, columns(278)}, {500000, 400, columns(1250)}, {5000, 400, columns(13)},
        {801, 400, columns(3)},       {800, 400, columns(2)},       {401, 400, columns(2)},
        {400, 400, step(1)},          {200, 400, step(2)},          {100, 400, step(4)},
        {25, 400, step(16)},          {1, 400, step(16)},           {0, 400, step(1)},
        {5000, 0, step(1)},
    };
    for (const FitCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.length << " on " << c.width);
        EXPECT_EQ(fitScale(c.length, c.width), c.fit);
    }
}

// The whole ladder from the largest zoom step out to the fit and back, for 5000 samples on 400
// pixels; the ends stay.
TEST(ViewScale, LadderIsZoomStepsThenPowersOfTwoThenTheFit) {
    const std::vector<ViewScale> ladder = {step(16),   step(8),    step(4),    step(2),    step(1),
                                           columns(2), columns(4), columns(8), columns(13)};
    for (size_t i = 0; i < ladder.size(); ++i) {
        EXPECT_EQ(ladderStep(ladder[i], false, 5000, kWidth),
                  ladder[std::min(i + 1, ladder.size() - 1)])
            << i;
        EXPECT_EQ(ladderStep(ladder[i], true, 5000, kWidth), ladder[i > 0 ? i - 1 : 0]) << i;
    }
    // A capture that fits at 1:1 has no rungs below it; a scale beyond the fit (after a cut)
    // zooms no further out.
    EXPECT_EQ(ladderStep(step(1), false, 400, kWidth), step(1));
    EXPECT_EQ(ladderStep(columns(32), false, 5000, kWidth), columns(32));
    EXPECT_EQ(ladderStep(columns(32), true, 5000, kWidth), columns(16));
}

}  // namespace
