#include "capture/pause_plan.h"

#include <gtest/gtest.h>

#include <vector>

#include "capture/probe_clock.h"
#include "capture/scheduling_system.h"
#include "tests/support/probe_units.h"

namespace {

TEST(PausePlan, RealTimeLimitAsksAShortBlockHalfwayThroughItsBudget) {
    EXPECT_EQ(realTimeLimitPause(200'000), (std::vector<PauseRule>{{100 * kMs, kShortPauseNs}}));
    EXPECT_TRUE(realTimeLimitPause(kNoLimit).empty());
}

struct Step {
    uint64_t advanceNs;  // the loop runs this long, then asks
    bool due;
    uint64_t pausedNs;  // what pause() then took, when due
};

// Two rules: a short block every 100 ms and a long one every 930 ms. A long pause also serves the
// short rule; a short one does not serve the long rule.
TEST(PausePlan, PausesWhenARuleIsDueForTheLongestDueRule) {
    VirtualProbeClock clock(5 * kMs);
    PausePlan plan(clock);
    EXPECT_FALSE(plan.due(kNoLimit - 1)) << "a plan without rules never pauses";
    plan.start({{100 * kMs, kShortPauseNs}, {930 * kMs, 70 * kMs}});
    EXPECT_EQ(clock.nowNanoseconds(), 5 * kMs + kShortPauseNs) << "starts with a fresh budget";
    const std::vector<Step> steps = {
        {99 * kMs, false, 0},
        {1 * kMs, true, kShortPauseNs},
        {100 * kMs, true, kShortPauseNs},
        {700 * kMs, true, kShortPauseNs},  // late: still one short pause
        {30 * kMs - 3 * kShortPauseNs, true, 70 * kMs},
        {99 * kMs, false, 0},  // the long pause restarted the short rule too
        {1 * kMs, true, kShortPauseNs},
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(i);
        clock.advance(steps[i].advanceNs);
        const uint64_t now = clock.nowNanoseconds();
        ASSERT_EQ(plan.due(now), steps[i].due);
        if (steps[i].due) {
            EXPECT_EQ(plan.pause(now), now + steps[i].pausedNs);
            EXPECT_EQ(clock.nowNanoseconds(), now + steps[i].pausedNs);
        }
    }
}

TEST(PausePlan, PauseIfDueReadsTheClockItself) {
    VirtualProbeClock clock;
    PausePlan plan(clock);
    plan.start({{10 * kMs, kShortPauseNs}});
    const uint64_t started = clock.nowNanoseconds();
    clock.advance(10 * kMs - 1);
    plan.pauseIfDue();
    EXPECT_EQ(clock.nowNanoseconds(), started + 10 * kMs - 1);
    clock.advance(1);
    plan.pauseIfDue();
    EXPECT_EQ(clock.nowNanoseconds(), started + 10 * kMs + kShortPauseNs);
}

}  // namespace
