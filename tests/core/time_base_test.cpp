#include "core/time_base.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "tests/support/time_base_maker.h"

namespace {

// Blocks of `samples` samples that took `nanoseconds`, marked one after the other from time 0.
struct Block {
    uint32_t samples;
    uint64_t nanoseconds;
};

void markBlocks(TimeBase& timeBase, const std::vector<Block>& blocks) {
    uint32_t sample = 0;
    uint64_t time = 0;
    for (const Block& block : blocks) {
        sample += block.samples;
    }
    timeBase.prepare(sample, 1);
    sample = 0;
    timeBase.mark(0, 0);
    for (const Block& block : blocks) {
        sample += block.samples;
        time += block.nanoseconds;
        timeBase.mark(sample, time);
    }
    timeBase.finish();
}

// `count` blocks of `stride` samples at `periodNs` per sample, the middle one taking `tookNs`.
std::vector<Block> evenWithOne(int count, uint32_t stride, uint64_t periodNs, uint64_t tookNs) {
    std::vector<Block> blocks(static_cast<size_t>(count), Block{stride, stride * periodNs});
    blocks[blocks.size() / 2].nanoseconds = tookNs;
    return blocks;
}

struct GapRuleCase {
    const char* name;
    uint64_t periodNs;  // the typical time per sample
    uint32_t stride;
    uint64_t tookNs;                // by the middle block
    std::optional<uint64_t> gapNs;  // beyond the typical time, when it is a gap
};

// A block is a gap when it took more than four times its typical time and more than 20 us beyond
// it; the gap is what it took beyond that, halfway into the block.
TEST(TimeBaseGapRule, MoreThanFourTimesTypicalAndMoreThanTwentyMicrosecondsBeyond) {
    const std::vector<GapRuleCase> cases = {
        {"exactly four times", 1000, 8, 32'000, std::nullopt},
        {"just over four times and 20 us", 1000, 8, 32'001, 24'001},
        {"one sample, exactly 20 us beyond", 1000, 1, 21'000, std::nullopt},
        {"one sample, just over 20 us beyond", 1000, 1, 21'001, 20'001},
        {"slow pace: 300 us beyond but under four times", 100'000, 1, 399'999, std::nullopt},
        {"slow pace: over four times", 100'000, 1, 400'001, 300'001},
        {"no time per sample: over 20 us", 0, 4, 20'001, 20'001},
        {"no time per sample: 20 us", 0, 4, 20'000, std::nullopt},
        {"shorter than typical", 1000, 8, 10, std::nullopt},
    };
    for (const GapRuleCase& c : cases) {
        SCOPED_TRACE(c.name);
        TimeBase timeBase;
        markBlocks(timeBase, evenWithOne(21, c.stride, c.periodNs, c.tookNs));
        ASSERT_EQ(timeBase.gaps().size(), c.gapNs ? 1u : 0u);
        if (c.gapNs) {
            EXPECT_EQ(timeBase.gaps()[0].sample, 10 * c.stride + (c.stride + 1) / 2);
            EXPECT_EQ(timeBase.gaps()[0].nanoseconds, *c.gapNs);
            EXPECT_EQ(timeBase.gaps()[0].failedReads, 0u);
        }
    }
}

// Samples 0..15 in blocks of eight taking 8 and 16 us, then a block stalled 5 ms, then 8 us.
class TimeBaseTimes : public testing::Test {
protected:
    void SetUp() override {
        markBlocks(times, {{8, 8'000}, {8, 16'000}, {8, 8'000 + 5'000'000}, {8, 8'000}});
    }
    TimeBase times;
};

TEST_F(TimeBaseTimes, InterpolatesWithinBlocksAndKeepsTheTypicalPaceAroundAStall) {
    const std::pair<double, double> cases[] = {
        {0, 0},
        {4, 4e-6},
        {8.5, 9e-6},  // the second block: 2 us per sample
        {16, 24e-6},
        {19, 27e-6},     // before the stall, halfway into its block: the typical 1 us per sample
        {20, 5.028e-3},  // after it, leading up to the block's end at that pace
        {24, 5.032e-3},
        {32, 5.040e-3},
        {34, 5.042e-3},  // beyond the last mark at the last block's pace
        {-2, -2e-6},     // before the first at the first block's
    };
    for (const auto& [sample, seconds] : cases) {
        EXPECT_NEAR(times.secondsAt(sample), seconds, 1e-12) << sample;
    }
    ASSERT_EQ(times.gaps().size(), 1u);
    EXPECT_EQ(times.gaps()[0].sample, 20u);
    EXPECT_EQ(times.gaps()[0].nanoseconds, 5'000'000u);
}

TEST_F(TimeBaseTimes, FindsTheSampleAtATimeAndTheOneBeforeAStall) {
    for (const double sample : {0.0, 3.0, 9.5, 16.0, 19.0, 20.0, 31.0, 33.0}) {
        EXPECT_NEAR(times.sampleAt(times.secondsAt(sample)), sample, 1e-9) << sample;
    }
    EXPECT_NEAR(times.sampleAt(1e-3), 19.0, 1e-9);      // inside the stall
    EXPECT_NEAR(times.sampleAt(5.027e-3), 19.0, 1e-9);  // just before the first sample after it
}

TEST_F(TimeBaseTimes, GapsAreFoundByTheirSample) {
    EXPECT_EQ(times.gapBefore(20)->nanoseconds, 5'000'000u);
    EXPECT_FALSE(times.gapBefore(19).has_value());
    EXPECT_FALSE(times.gapBefore(24).has_value());
    EXPECT_EQ(times.gapsBetween(20, 20).size(), 1u);
    EXPECT_EQ(times.gapsBetween(0, 19).size(), 0u);
    EXPECT_EQ(times.gapsBetween(21, 40).size(), 0u);
    EXPECT_EQ(times.gapsBetween(30, 10).size(), 0u);
}

TEST_F(TimeBaseTimes, MeanOverEverythingSpreadOutsideTheGaps) {
    EXPECT_NEAR(times.meanPeriod(), 5.040e-3 / 32, 1e-15);
    const PeriodSpread spread = times.periodSpread();
    EXPECT_NEAR(spread.median, 1e-6, 1e-15);
    EXPECT_NEAR(spread.low, 1e-6, 1e-15);
    EXPECT_NEAR(spread.high, 2e-6, 1e-15);
}

// A block of no samples is a pause the loop planned: 500 us before sample 8, a stall in the block
// from 16, 300 us before sample 24; the pace is 1 us a sample.
class TimeBasePauses : public testing::Test {
protected:
    void SetUp() override {
        markBlocks(times, {{8, 8'000},
                           {0, 500'000},
                           {8, 8'000},
                           {8, 8'000 + 5'000'000},
                           {0, 300'000},
                           {8, 8'000}});
    }
    TimeBase times;
};

TEST_F(TimeBasePauses, AreGapsOfTheirOwnKindAsLongAsTheyLasted) {
    const std::vector<TimeGap> expected = {{8, 500'000, 0, GapKind::PlannedPause},
                                           {20, 5'000'000, 0, GapKind::Stall},
                                           {24, 300'000, 0, GapKind::PlannedPause}};
    ASSERT_EQ(times.gaps().size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(times.gaps()[i].sample, expected[i].sample) << i;
        EXPECT_EQ(times.gaps()[i].nanoseconds, expected[i].nanoseconds) << i;
        EXPECT_EQ(times.gaps()[i].kind, expected[i].kind) << i;
    }
    // Outside the gaps every sample took 1 us.
    EXPECT_NEAR(times.periodSpread().high, 1e-6, 1e-15);
    EXPECT_NEAR(times.periodSpread().median, 1e-6, 1e-15);
    EXPECT_NEAR(times.meanPeriod(), 5.832e-3 / 32, 1e-15);
}

TEST_F(TimeBasePauses, TimesAreRightAcrossThem) {
    const std::pair<double, double> cases[] = {
        {7, 7e-6},    {7.5, 7.5e-6},  {8, 508e-6},    {9, 509e-6},
        {16, 516e-6}, {23, 5.523e-3}, {24, 5.824e-3}, {32, 5.832e-3},
    };
    for (const auto& [sample, seconds] : cases) {
        EXPECT_NEAR(times.secondsAt(sample), seconds, 1e-12) << sample;
        EXPECT_NEAR(times.sampleAt(seconds), sample, 1e-9) << sample;
    }
    // Inside a pause the last sample is the one before it.
    EXPECT_NEAR(times.sampleAt(300e-6), 7.0, 1e-9);
    EXPECT_NEAR(times.sampleAt(5.7e-3), 23.0, 1e-9);
}

// One walk asked in any order (rising, falling, jumping across the stall and the pauses) answers
// as a lookup of its own would.
TEST_F(TimeBasePauses, AWalkAnswersAsSingleLookupsInAnyOrder) {
    std::vector<double> samples;
    for (double s = 0; s <= 50; s += 0.5) {
        samples.push_back(s);
    }
    for (double s = 50; s >= 0; s -= 1.5) {
        samples.push_back(s);
    }
    samples.insert(samples.end(), {40, 3, 33, 17, 45, 0, 24.5, 16, 8});
    TimeWalk walk(times);
    for (const double sample : samples) {
        EXPECT_DOUBLE_EQ(walk.secondsAt(sample), times.secondsAt(sample)) << sample;
    }
    const double end = times.secondsAt(50);
    std::vector<double> seconds;
    for (int i = 0; i <= 60; ++i) {
        seconds.push_back(end * i / 60);
    }
    for (int i = 60; i >= 0; i -= 7) {
        seconds.push_back(end * i / 60);
    }
    // From the second pause straight back into the stall before it.
    seconds.push_back(times.secondsAt(24) - 1e-4);
    seconds.push_back(times.secondsAt(20) - 1e-3);
    TimeWalk byTime(times);
    for (const double at : seconds) {
        EXPECT_DOUBLE_EQ(byTime.sampleAt(at), times.sampleAt(at)) << at;
    }
}

// Exports ask for samples in rising order and keep where the last lay; any order must still
// give exactly the times of a lookup from scratch: across pauses (two marks at one sample), a
// stall, before the first mark and beyond the last, and going back.
TEST_F(TimeBasePauses, LookupsThatWalkOnGiveTheSameTimes) {
    const double walk[] = {-2, 0,  3.5,   7,  8,  8,  9, 16, 19.5, 20,
                           23, 24, 24.25, 31, 32, 40, 5, 25, 2};
    // An opened recording's marks end where its last block does: nothing past them is read.
    TimeBase opened;
    opened.restore(times.valuesFor(0, 32));
    for (const TimeBase* base : {&times, &opened}) {
        TimeWalk walker(*base);
        for (const double sample : walk) {
            EXPECT_EQ(walker.secondsAt(sample), times.secondsAt(sample)) << sample;
        }
    }
    TimeBase none;
    EXPECT_EQ(TimeWalk(none).secondsAt(5), 0.0);
}

// A stall in a block of one sample just before a pause: both gaps at one sample, the stall
// first; the block before a pause keeps its own pace unless it stalled.
TEST(TimeBasePausesAfterAStall, KeepBothAndTheirBlocksPaces) {
    TimeBase stalled;
    markBlocks(stalled, {{8, 8'000}, {1, 101'000}, {0, 50'000}, {8, 8'000}});
    ASSERT_EQ(stalled.gaps().size(), 2u);
    EXPECT_EQ(stalled.gaps()[0].kind, GapKind::Stall);
    EXPECT_EQ(stalled.gaps()[0].nanoseconds, 100'000u);
    EXPECT_EQ(stalled.gaps()[1].kind, GapKind::PlannedPause);
    EXPECT_EQ(stalled.gapBefore(9)->kind, GapKind::Stall);
    EXPECT_NEAR(stalled.secondsAt(8.5), 8.5e-6, 1e-12);
    EXPECT_NEAR(stalled.secondsAt(9), 159e-6, 1e-12);

    TimeBase slow;
    markBlocks(slow, {{8, 8'000}, {1, 3'000}, {0, 50'000}, {8, 8'000}});
    ASSERT_EQ(slow.gaps().size(), 1u);
    EXPECT_NEAR(slow.secondsAt(8.5), 9.5e-6, 1e-12);
    EXPECT_NEAR(slow.secondsAt(9), 61e-6, 1e-12);
}

// Every sample counts once: a long slow block outweighs three short fast ones.
TEST(TimeBaseSpread, PercentilesCountSamplesNotBlocks) {
    TimeBase weighted;
    markBlocks(weighted, {{1, 1000}, {1, 1000}, {1, 1000}, {8, 12'000}});
    EXPECT_NEAR(weighted.periodSpread().median, 1.5e-6, 1e-15);
    EXPECT_NEAR(weighted.periodSpread().low, 1e-6, 1e-15);

    std::vector<Block> blocks(100, Block{1, 1000});
    blocks[0].nanoseconds = blocks[1].nanoseconds = 900;
    blocks[98].nanoseconds = blocks[99].nanoseconds = 1100;
    blocks[50].nanoseconds = 1'000'000;  // a gap: not part of the spread
    TimeBase spread;
    markBlocks(spread, blocks);
    ASSERT_EQ(spread.gaps().size(), 1u);
    EXPECT_NEAR(spread.periodSpread().low, 0.9e-6, 1e-15);
    EXPECT_NEAR(spread.periodSpread().median, 1e-6, 1e-15);
    EXPECT_NEAR(spread.periodSpread().high, 1.1e-6, 1e-15);
}

// Failed reads are gaps of their own, at the start of their block, merged where they run on and
// where they meet a stall; they move no time.
TEST(TimeBaseFailedReads, AreGapsThatMoveNoTime) {
    TimeBase timeBase;
    timeBase.prepare(64, 8);
    for (uint32_t sample = 0; sample <= 64; sample += 8) {
        timeBase.mark(sample, sample * 1000 + (sample >= 48 ? 100'000 : 0));
    }
    timeBase.noteFailedReads(8, 16, 3);
    timeBase.noteFailedReads(16, 24, 8);  // runs on
    timeBase.noteFailedReads(44, 48, 2);  // meets the stall halfway into 40..48
    timeBase.noteFailedReads(56, 64, 1);
    timeBase.finish();
    const std::vector<TimeGap> expected = {{8, 0, 11}, {44, 100'000, 2}, {56, 0, 1}};
    ASSERT_EQ(timeBase.gaps().size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(timeBase.gaps()[i].sample, expected[i].sample) << i;
        EXPECT_EQ(timeBase.gaps()[i].nanoseconds, expected[i].nanoseconds) << i;
        EXPECT_EQ(timeBase.gaps()[i].failedReads, expected[i].failedReads) << i;
    }
    EXPECT_NEAR(timeBase.secondsAt(10), 10e-6, 1e-12);
    EXPECT_NEAR(timeBase.secondsAt(56), 156e-6, 1e-12);
}

// While the loop runs, readers see its marks (times) but no gaps; after clear, nothing.
TEST(TimeBaseLife, MarksAreLiveGapsComeWithFinishClearForgets) {
    TimeBase timeBase;
    EXPECT_FALSE(timeBase.known());
    EXPECT_EQ(timeBase.secondsAt(5), 0.0);
    EXPECT_EQ(timeBase.sampleAt(1.0), 0.0);
    EXPECT_EQ(timeBase.meanPeriod(), 0.0);
    timeBase.prepare(2, 1);  // room for marks at samples 0, 1, 2 and the end
    timeBase.mark(0, 0);
    EXPECT_FALSE(timeBase.known());
    timeBase.mark(1, 1000);
    timeBase.mark(2, 1'000'000);
    EXPECT_TRUE(timeBase.known());
    EXPECT_NEAR(timeBase.secondsAt(2), 1e-3, 1e-15);
    EXPECT_TRUE(timeBase.gaps().empty());
    EXPECT_FALSE(timeBase.gapBefore(2).has_value());
    EXPECT_EQ(timeBase.periodSpread().median, 0.0);
    timeBase.mark(3, 1'001'000);
    timeBase.mark(4, 1'002'000);  // beyond the room: dropped
    EXPECT_EQ(timeBase.markCount(), 4u);
    timeBase.finish();
    EXPECT_EQ(timeBase.gaps().size(), 1u);
    timeBase.clear();
    EXPECT_FALSE(timeBase.known());
    EXPECT_TRUE(timeBase.gaps().empty());
    EXPECT_EQ(timeBase.marks(), nullptr);
}

// The test helper's own stalls land where the loop's would: before their sample, at stride 1.
TEST(TimeBaseMaker, StallsAtStrideOneAreExact) {
    TimeBase timeBase;
    makeTimeBase(timeBase, 100, 1000, {{40, 7'000'000}});
    ASSERT_EQ(timeBase.gaps().size(), 1u);
    EXPECT_EQ(timeBase.gaps()[0].sample, 40u);
    EXPECT_EQ(timeBase.gaps()[0].nanoseconds, 7'000'000u);
    EXPECT_NEAR(timeBase.secondsAt(40), 7.04e-3, 1e-12);
}

}  // namespace
