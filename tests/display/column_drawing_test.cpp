#include "display/column_drawing.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/recording_canvas.h"

namespace {

using Line = RecordingCanvas::Line;

ChannelRows rows() {
    ChannelRows r;
    for (int k = 0; k < kChannelCount; ++k) {
        r.baseline[k] = 20 * (k + 1);
    }
    r.levelHeight = 10;
    return r;
}

struct ColumnsCase {
    uint32_t first, end;
    uint64_t samples, pixels;
    std::vector<uint32_t> starts;  // of columns 0, 1, 2 ...
    int count;
};

// Whole samples per pixel, and a fraction (the overview's width over a whole capture): column x
// holds exactly the samples s with (s - first) * pixels / samples == x.
TEST(SampleColumns, StartsAndCount) {
    const ColumnsCase cases[] = {
        {0, 10, 4, 1, {0, 4, 8, 10}, 3},
        {100, 110, 4, 1, {100, 104, 108, 110}, 3},
        {0, 8, 4, 1, {0, 4, 8}, 2},
        {0, 10, 10, 4, {0, 3, 5, 8, 10}, 4},
        {0, 3, 3, 600, {0, 1, 1}, 401},
        {5, 5, 4, 1, {5}, 0},
        {0, 500000, 500000, 1920, {0, 261, 521}, 1920},
    };
    for (const ColumnsCase& c : cases) {
        const SampleColumns columns{c.first, c.end, c.samples, c.pixels};
        SCOPED_TRACE(testing::Message()
                     << c.first << ".." << c.end << ", " << c.samples << "/" << c.pixels);
        for (size_t x = 0; x < c.starts.size(); ++x) {
            EXPECT_EQ(columns.start(static_cast<int>(x)), c.starts[x]) << "column " << x;
        }
        EXPECT_EQ(columns.count(), c.count);
    }
}

// Runs of one level are one line each; a column that holds both levels is a bar across them, and
// so is the first column of a run at the other level.
TEST(DrawColumns, RunsAsLinesChangesAsBars) {
    // Channel 1: low for columns 0-1, a pulse inside column 2, low in 3, high from column 4 on.
    std::vector<uint8_t> samples(24, 0x00);
    samples[9] = 0x08;
    for (uint32_t i = 16; i < 24; ++i) {
        samples[i] = 0x08;
    }
    LevelPyramid pyramid;
    pyramid.extend(samples.data(), 24);
    RecordingCanvas canvas;
    drawColumns(canvas, rows(), SampleColumns{0, 24, 4, 1}, SampleSpans{samples.data(), &pyramid});
    const std::vector<Line> channel1(canvas.lines.begin(), canvas.lines.begin() + 5);
    const uint32_t colour = RecordingCanvas::kStockColour;
    EXPECT_EQ(channel1, (std::vector<Line>{{colour, 0, 20, 2, 20},
                                           {colour, 2, 10, 2, 21},
                                           {colour, 3, 20, 4, 20},
                                           {colour, 4, 10, 4, 21},
                                           {colour, 4, 10, 6, 10}}));
    // The other channels stay low: one line each, the whole width.
    EXPECT_EQ(canvas.lines.size(), 5u + 4u);
    EXPECT_EQ(canvas.lines.back(), (Line{colour, 0, 100, 6, 100}));
}

// A pulse one sample long is a bar at every scale, wherever it falls in its column.
TEST(DrawColumns, ASingleSamplePulseShowsAtAnyScale) {
    constexpr uint32_t kLength = 500000;
    std::vector<uint8_t> samples(kLength, 0x00);
    LevelPyramid pyramid;
    for (uint32_t at : {0u, 1u, 262143u, 499999u}) {
        samples[at] = 0x80;
        pyramid.clear();
        pyramid.extend(samples.data(), kLength);
        for (uint64_t perPixel = 2; perPixel <= kLength; perPixel *= 4) {
            RecordingCanvas canvas;
            drawColumns(canvas, rows(), SampleColumns{0, kLength, perPixel, 1},
                        SampleSpans{samples.data(), &pyramid});
            const int x = static_cast<int>(at / perPixel);
            const Line bar{RecordingCanvas::kStockColour, x, 90, x, 101};
            EXPECT_NE(std::find(canvas.lines.begin(), canvas.lines.end(), bar), canvas.lines.end())
                << "pulse at " << at << ", " << perPixel << " samples a pixel";
        }
        samples[at] = 0x00;
    }
}

}  // namespace

namespace {

// Fewer samples than pixels (a short capture on the overview): the columns between two samples
// keep the level of the one before them.
TEST(DrawColumns, EmptyColumnsContinueTheLevelBefore) {
    const std::vector<uint8_t> samples = {0x00, 0x08, 0x00};
    LevelPyramid pyramid;
    pyramid.extend(samples.data(), 3);
    RecordingCanvas canvas;
    drawColumns(canvas, rows(), SampleColumns{0, 3, 3, 6}, SampleSpans{samples.data(), &pyramid});
    const uint32_t colour = RecordingCanvas::kStockColour;
    const std::vector<Line> channel1(canvas.lines.begin(), canvas.lines.begin() + 5);
    EXPECT_EQ(channel1, (std::vector<Line>{{colour, 0, 20, 2, 20},
                                           {colour, 2, 10, 2, 21},
                                           {colour, 2, 10, 4, 10},
                                           {colour, 4, 10, 4, 21},
                                           {colour, 4, 20, 5, 20}}));
}

}  // namespace

namespace {

// A busy channel: a run of columns that all hold both levels is one filled band.
TEST(DrawColumns, RunsOfBothLevelsAreFilled) {
    std::vector<uint8_t> samples(64, 0x00);
    for (uint32_t i = 0; i < 64; i += 2) {
        samples[i] = 0x08;  // channel 1 changes in every column of 2
    }
    samples[63] = 0x08;  // and stays high through the last column
    LevelPyramid pyramid;
    pyramid.extend(samples.data(), 64);
    RecordingCanvas canvas;
    drawColumns(canvas, rows(), SampleColumns{0, 64, 2, 1}, SampleSpans{samples.data(), &pyramid});
    const uint32_t colour = RecordingCanvas::kStockColour;
    EXPECT_EQ(canvas.fills, (std::vector<Line>{{colour, 0, 10, 31, 21}}));
    EXPECT_EQ(canvas.lines.front(), (Line{colour, 31, 10, 32, 10}));
}

}  // namespace
