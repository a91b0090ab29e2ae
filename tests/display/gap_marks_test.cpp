#include "display/gap_marks.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/recording_canvas.h"
#include "tests/support/time_base_maker.h"

namespace {

using Line = RecordingCanvas::Line;

// The mark grows with the pixel columns' worth of time a gap hid: under one, the ruler only.
TEST(GapMarks, LevelGrowsWithTheColumnsOfTimeHidden) {
    struct Case {
        uint64_t nanoseconds;
        uint32_t failedReads;
        double secondsPerColumn;
        GapMarkLevel level;
    };
    const Case cases[] = {
        {999, 0, 1e-6, GapMarkLevel::RulerTick},  // just under a column
        {1'000, 0, 1e-6, GapMarkLevel::Faint},
        {1'000, 0, 1'000 * kSecondsPerNanosecond, GapMarkLevel::Faint},  // exactly one column
        {9'999, 0, 1e-6, GapMarkLevel::Faint},
        {10'000, 0, 1e-6, GapMarkLevel::Clear},
        {99'999, 0, 1e-6, GapMarkLevel::Clear},
        {100'000, 0, 1e-6, GapMarkLevel::Strong},
        {300'000'000, 0, 1e-6, GapMarkLevel::Strong},  // no level beyond the strongest
        {20'000, 0, 263e-6, GapMarkLevel::RulerTick},  // zoomed out: the same gap shrinks
        {20'000, 0, 2e-6, GapMarkLevel::Clear},        // zoomed in: it grows
        {0, 3, 1e-6, GapMarkLevel::Faint},             // failed reads hid samples, not time
        {50'000, 3, 1e-6, GapMarkLevel::Clear},
        {5'000, 0, 0, GapMarkLevel::RulerTick},  // no time per column: nothing to weigh
        {0, 1, 0, GapMarkLevel::Faint},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.nanoseconds << " ns, " << c.failedReads << " failed, "
                                        << c.secondsPerColumn << " s a column");
        EXPECT_EQ(gapMarkLevel(c.nanoseconds, c.failedReads, c.secondsPerColumn), c.level);
    }
}

// A stronger mark is wider and brighter red; a ruler tick is not drawn in the traces at all.
TEST(GapMarks, StrongerMarksAreWiderAndBrighter) {
    EXPECT_EQ(gapMarkWidth(GapMarkLevel::RulerTick), 0);
    const GapMarkLevel levels[] = {GapMarkLevel::Faint, GapMarkLevel::Clear, GapMarkLevel::Strong};
    for (size_t i = 1; i < std::size(levels); ++i) {
        EXPECT_GT(gapMarkWidth(levels[i]), gapMarkWidth(levels[i - 1]));
        EXPECT_GT(gapMarkColour(levels[i]), gapMarkColour(levels[i - 1]));
        EXPECT_EQ(gapMarkColour(levels[i]) & 0xFFFF00u, 0u) << "red only";
    }
    EXPECT_EQ(gapMarkColour(GapMarkLevel::Strong), kGapColour);
}

// Many gaps in one column cost one mark, the strongest; columns off the view are left out.
TEST(GapMarks, ColumnsKeepTheStrongestAndDrawOnePenPerLevel) {
    GapColumns columns(100);
    columns.add(10, GapMarkLevel::Faint);
    columns.add(10, GapMarkLevel::Strong);
    columns.add(10, GapMarkLevel::Clear);
    columns.add(50, GapMarkLevel::Clear);
    columns.add(0, GapMarkLevel::Faint);
    columns.add(-1, GapMarkLevel::Strong);
    columns.add(100, GapMarkLevel::Strong);
    columns.add(70, GapMarkLevel::RulerTick);
    EXPECT_EQ(columns.at(10), GapMarkLevel::Strong);
    EXPECT_EQ(columns.at(99), GapMarkLevel::RulerTick);
    RecordingCanvas canvas;
    columns.draw(canvas, 300);
    EXPECT_EQ(canvas.fills, (std::vector<Line>{{gapMarkColour(GapMarkLevel::Faint), 0, 0, 1, 300},
                                               {gapMarkColour(GapMarkLevel::Clear), 50, 0, 52, 300},
                                               {kGapColour, 9, 0, 12, 300}}));
    EXPECT_TRUE(canvas.lines.empty());
    EXPECT_EQ(canvas.createdColours.size(), 3u);
    EXPECT_EQ(canvas.livePens(), 0);
    EXPECT_EQ(canvas.selected, RecordingCanvas::kStockPen);
}

TEST(GapMarks, RulerTicksAloneDrawNothingNotEvenAPen) {
    GapColumns columns(100);
    columns.add(5, GapMarkLevel::RulerTick);
    EXPECT_FALSE(columns.anyMark());
    RecordingCanvas canvas;
    columns.draw(canvas, 300);
    EXPECT_TRUE(canvas.createdColours.empty());
    EXPECT_TRUE(canvas.fills.empty());
}

// A pen that cannot be made leaves its level out and the others drawn.
TEST(GapMarks, APenThatFailsLeavesTheOtherLevels) {
    GapColumns columns(100);
    columns.add(5, GapMarkLevel::Faint);
    columns.add(20, GapMarkLevel::Strong);
    RecordingCanvas canvas;
    canvas.failingCreate = 1;
    columns.draw(canvas, 300);
    EXPECT_EQ(canvas.fills, (std::vector<Line>{{kGapColour, 19, 0, 22, 300}}));
    EXPECT_EQ(canvas.livePens(), 0);
}

// A column's time is the typical pace (not the mean, which the gaps stretch) times its samples.
TEST(GapMarks, ColumnTimeFollowsTheTypicalPace) {
    TimeBase time;
    EXPECT_EQ(secondsPerColumn(time, 64), 0);
    makeTimeBase(time, 1000, 1000, {{500, 1'000'000}});
    EXPECT_NEAR(secondsPerColumn(time, 64), 64e-6, 1e-9);
    EXPECT_NEAR(secondsPerColumn(time, 0.25), 0.25e-6, 1e-12);
}

}  // namespace
