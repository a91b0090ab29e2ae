#include "capture/time_marker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "capture/pause_plan.h"
#include "capture/probe_clock.h"
#include "capture/status_port.h"
#include "core/time_base.h"

namespace {

// Reads that take `readNs` of the virtual clock; those from `failFrom` up to `failUntil` fail.
class PacedPort final : public StatusPort {
public:
    PacedPort(VirtualProbeClock& clock, uint64_t readNs) : clock_(clock), readNs_(readNs) {}
    uint8_t read() override {
        clock_.advance(readNs_);
        const uint64_t index = reads_++;
        failed_ += index >= failFrom && index < failUntil ? 1 : 0;
        return 0;
    }
    uint64_t failedReads() const override { return failed_; }
    uint64_t failFrom = 0;
    uint64_t failUntil = 0;

private:
    VirtualProbeClock& clock_;
    const uint64_t readNs_;
    uint64_t reads_ = 0;
    uint64_t failed_ = 0;
};

// Runs a loop as the capture loops do, returns the samples the marks were made at.
std::vector<uint32_t> runLoop(TimeMarker& marker, StatusPort& port, uint32_t samples,
                              const TimeBase& timeBase) {
    for (uint32_t i = 0; i < samples;) {
        const uint32_t blockEnd = std::min(marker.startBlock(i), samples);
        for (; i < blockEnd; ++i) {
            port.read();
        }
    }
    marker.end(samples);
    std::vector<uint32_t> marked;
    for (size_t i = 0; i < timeBase.markCount(); ++i) {
        marked.push_back(timeBase.marks()[i].sample);
    }
    return marked;
}

struct StrideCase {
    const char* name;
    uint64_t readNs;
    uint64_t clockCostNs;
    uint32_t samples;
    std::vector<uint32_t> marked;
};

// A block doubles while it took less than a hundred clock readings: with free readings every
// sample is marked; with readings a fortieth of a read, blocks of four samples.
TEST(TimeMarker, BlocksDoubleUntilTheClockCostsAHundredthOfThem) {
    const std::vector<StrideCase> cases = {
        {"free clock", 1000, 0, 5, {0, 1, 2, 3, 4, 5}},
        {"a read costs 40 readings", 1000, 25, 20, {0, 1, 3, 7, 11, 15, 19, 20}},
        {"a read costs 100 readings", 1000, 10, 6, {0, 1, 2, 3, 4, 5, 6}},
        {"a read costs 99 readings", 990, 10, 8, {0, 1, 3, 5, 7, 8}},
        {"no samples", 1000, 0, 0, {}},
    };
    for (const StrideCase& c : cases) {
        SCOPED_TRACE(c.name);
        VirtualProbeClock clock(777);
        clock.setReadCost(c.clockCostNs);
        PacedPort port(clock, c.readNs);
        TimeBase timeBase;
        TimeMarker marker(timeBase, clock, port, c.samples);
        EXPECT_EQ(runLoop(marker, port, c.samples, timeBase), c.marked);
        if (!c.marked.empty()) {
            EXPECT_EQ(timeBase.marks()[0].nanoseconds, 0u);
            EXPECT_EQ(timeBase.marks()[timeBase.markCount() - 1].nanoseconds, c.samples * c.readNs);
        }
    }
}

TEST(TimeMarker, BlocksStopGrowingAtTheLongestAndLongCapturesStartLonger) {
    VirtualProbeClock clock;
    clock.setReadCost(1'000'000);
    PacedPort port(clock, 1);
    TimeBase timeBase;
    constexpr uint32_t kSamples = 3'000'000;  // more than a mark for each would allow
    TimeMarker marker(timeBase, clock, port, kSamples);
    const std::vector<uint32_t> marked = runLoop(marker, port, kSamples, timeBase);
    ASSERT_GE(marked.size(), 3u);
    EXPECT_EQ(marked[1], 4u);
    uint32_t longest = 0;
    for (size_t i = 1; i < marked.size(); ++i) {
        longest = std::max(longest, marked[i] - marked[i - 1]);
    }
    EXPECT_EQ(longest, kLongestBlock);
    EXPECT_EQ(marked.back(), kSamples);
}

// Reads that failed are noted with the block they were in, those before the first mark (the
// trigger wait's) not at all.
TEST(TimeMarker, NotesFailedReadsWithTheirBlock) {
    VirtualProbeClock clock;
    PacedPort port(clock, 1000);
    port.failUntil = 8;
    port.read();  // two failed reads in the trigger wait
    port.read();
    setFirstBlockLength(4);
    TimeBase timeBase;
    TimeMarker marker(timeBase, clock, port, 20);
    runLoop(marker, port, 20, timeBase);
    setFirstBlockLength(0);
    timeBase.finish();
    ASSERT_EQ(timeBase.gaps().size(), 1u);
    EXPECT_EQ(timeBase.gaps()[0].sample, 0u);
    EXPECT_EQ(timeBase.gaps()[0].failedReads, 6u);
    EXPECT_EQ(timeBase.gaps()[0].nanoseconds, 0u);
}

size_t countOf(const TimeBase& timeBase, GapKind kind) {
    size_t count = 0;
    for (const TimeGap& gap : timeBase.gaps()) {
        count += gap.kind == kind ? 1 : 0;
    }
    return count;
}

// Reads of 1 us, a pause of 5 us due after every 10 us of running: the pause falls between two
// blocks, marked twice at the sample after it, and the times after it include it.
TEST(TimeMarkerPauses, AreTakenBetweenBlocksAndMarkedAsBlocksOfNoSamples) {
    VirtualProbeClock clock;
    PacedPort port(clock, 1000);
    PausePlan plan(clock);
    plan.start({{10'000, 5'000}});
    TimeBase timeBase;
    TimeMarker marker(timeBase, clock, port, 30, &plan);
    std::vector<uint32_t> expected;
    for (uint32_t sample = 0; sample <= 30; ++sample) {
        expected.push_back(sample);
        if (sample == 10 || sample == 20) {
            expected.push_back(sample);
        }
    }
    EXPECT_EQ(runLoop(marker, port, 30, timeBase), expected);
    timeBase.finish();
    ASSERT_EQ(timeBase.gaps().size(), 2u);
    EXPECT_EQ(timeBase.gaps()[0].sample, 10u);
    EXPECT_EQ(timeBase.gaps()[1].sample, 20u);
    EXPECT_EQ(countOf(timeBase, GapKind::PlannedPause), 2u);
    EXPECT_EQ(timeBase.gaps()[1].nanoseconds, 5'000u);
    EXPECT_NEAR(timeBase.secondsAt(30), 40e-6, 1e-12);
}

// A pause due before the first sample belongs to the wait before the capture: taken, not marked.
TEST(TimeMarkerPauses, OneBeforeTheFirstSampleIsNotTheCapturesGap) {
    VirtualProbeClock clock;
    PacedPort port(clock, 1000);
    PausePlan plan(clock);
    plan.start({{10'000, 5'000}});
    clock.advance(12'000);
    TimeBase timeBase;
    TimeMarker marker(timeBase, clock, port, 8, &plan);
    const uint64_t before = clock.nowNanoseconds();
    runLoop(marker, port, 8, timeBase);
    timeBase.finish();
    EXPECT_EQ(clock.nowNanoseconds(), before + 5'000 + 8'000);
    EXPECT_TRUE(timeBase.gaps().empty());
    EXPECT_NEAR(timeBase.secondsAt(8), 8e-6, 1e-12);
}

// Beyond the room for their marks, pauses are still taken: they show as stalls, times still right.
TEST(TimeMarkerPauses, BeyondTheRoomShowAsStalls) {
    constexpr uint32_t kSamples = kMarkedPauses + 1000;
    VirtualProbeClock clock;
    PacedPort port(clock, 1000);
    PausePlan plan(clock);
    plan.start({{1'000, 50'000}});
    TimeBase timeBase;
    TimeMarker marker(timeBase, clock, port, kSamples, &plan);
    runLoop(marker, port, kSamples, timeBase);
    timeBase.finish();
    EXPECT_EQ(countOf(timeBase, GapKind::PlannedPause), kMarkedPauses);
    EXPECT_EQ(countOf(timeBase, GapKind::Stall), kSamples - 1 - kMarkedPauses);
    EXPECT_NEAR(timeBase.secondsAt(kSamples), (kSamples * 1e3 + (kSamples - 1) * 50e3) * 1e-9,
                1e-9);
}

}  // namespace
