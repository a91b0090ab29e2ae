#include <gtest/gtest.h>

#include <vector>

#include "core/scope_session.h"
#include "core/uniform_grid.h"

namespace {

// Marks every `stride` samples, each block taking `blockNs[i]` ns, and one at `samples`.
void fill(TimeBase& timeBase, uint32_t samples, uint32_t stride,
          const std::vector<uint64_t>& blockNs) {
    timeBase.prepare(samples, stride);
    uint64_t ns = 0;
    size_t block = 0;
    for (uint32_t s = 0; s < samples; s += stride) {
        timeBase.mark(s, ns);
        ns += blockNs[block++ % blockNs.size()];
    }
    timeBase.mark(samples, ns);
    timeBase.finish();
}

TEST(UniformGrid, EvenSamplingIsTakenAsItIs) {
    struct Case {
        std::vector<uint64_t> blockNs;  // per 100 samples
        bool even;
    };
    const std::vector<Case> cases = {
        {{100'000}, true},
        {{100'000, 101'500}, true},                     // within 2 %
        {{100'000, 105'000}, false},                    // beyond
        {{100'000, 100'000, 900'000, 100'000}, false},  // a gap
    };
    for (const Case& c : cases) {
        TimeBase timeBase;
        fill(timeBase, 1000, 100, c.blockNs);
        EXPECT_EQ(evenlySampled(timeBase), c.even) << c.blockNs.size();
    }
    EXPECT_FALSE(evenlySampled(TimeBase{}));
}

TEST(UniformGrid, SteadyPeriodLeavesTheGapsOut) {
    TimeBase timeBase;
    fill(timeBase, 1000, 100, {100'000, 100'000, 900'000, 100'000});
    ASSERT_EQ(timeBase.gaps().size(), 2u);
    EXPECT_NEAR(steadyPeriod(timeBase), 1e-6, 1e-12);
    EXPECT_EQ(steadyPeriod(TimeBase{}), 0);
}

TEST(UniformGrid, AGapHoldsTheLevelBeforeIt) {
    TimeBase timeBase;
    // 1 µs a sample; the block before sample 300 took 500 µs instead of 100 µs.
    fill(timeBase, 600, 100, {100'000, 100'000, 500'000, 100'000, 100'000, 100'000});
    UniformGrid grid;
    ASSERT_TRUE(resampleOntoGrid(timeBase, 0, 600, grid));
    EXPECT_NEAR(grid.periodSeconds, 1e-6, 1e-12);
    ASSERT_EQ(grid.source.size(), 1000u);
    // The time base puts the stall halfway into its block: samples 200 to 249 at the usual pace,
    // then nothing for 400 µs, then 250 to 299. The grid repeats sample 249 in the gap. It never
    // runs backwards or past the data.
    EXPECT_EQ(grid.source.front(), 0u);
    EXPECT_EQ(grid.source.back(), 599u);
    for (size_t k = 1; k < grid.source.size(); ++k) {
        ASSERT_LE(grid.source[k - 1], grid.source[k]) << k;
    }
    EXPECT_EQ(grid.source[150], 150u);
    EXPECT_EQ(grid.source[249], 249u);
    EXPECT_EQ(grid.source[500], 249u);  // in the gap
    EXPECT_EQ(grid.source[649], 249u);
    EXPECT_EQ(grid.source[650], 250u);
    EXPECT_EQ(grid.source[700], 300u);
    EXPECT_EQ(grid.source[900], 500u);
}

TEST(UniformGrid, CountsFromTheOrigin) {
    TimeBase timeBase;
    fill(timeBase, 1000, 100, {100'000});
    UniformGrid grid;
    ASSERT_TRUE(resampleOntoGrid(timeBase, 400, 200, grid));
    ASSERT_EQ(grid.source.size(), 200u);
    for (uint32_t k = 0; k < 200; ++k) {
        ASSERT_EQ(grid.source[k], k);
    }
}

TEST(UniformGrid, SessionGridIsOfUnknownTimeWithoutATimeBase) {
    resetScopeSession();
    UniformGrid grid;
    ASSERT_TRUE(sessionGrid(scopeSession, grid));
    EXPECT_EQ(grid.periodSeconds, 0);
    EXPECT_TRUE(grid.source.empty());
    // An even time base: the data as it is, at its mean period.
    fill(scopeSession.timeBase, 1000, 100, {50'000});
    scopeSession.sampleLength = 1000;
    ASSERT_TRUE(sessionGrid(scopeSession, grid));
    EXPECT_NEAR(grid.periodSeconds, 0.5e-6, 1e-12);
    EXPECT_TRUE(grid.source.empty());
    resetScopeSession();
}

// After Cut Before the data starts at the capture's sample 400: the grid is counted from there.
TEST(UniformGrid, SessionGridOfACutRecordingCountsFromItsOrigin) {
    resetScopeSession();
    fill(scopeSession.timeBase, 1000, 100, {100'000, 100'000, 100'000, 100'000, 100'000, 500'000});
    scopeSession.sampleOrigin = 400;
    scopeSession.sampleLength = 600;
    UniformGrid fromSession;
    ASSERT_TRUE(sessionGrid(scopeSession, fromSession));
    UniformGrid expected;
    ASSERT_TRUE(resampleOntoGrid(scopeSession.timeBase, 400, 600, expected));
    EXPECT_EQ(fromSession.source, expected.source);
    EXPECT_EQ(fromSession.source[100], 100u);
    EXPECT_EQ(fromSession.source[400], 149u);  // in the gap halfway into the capture's 500..599
    resetScopeSession();
}

TEST(UniformGrid, RateForPeriod) {
    EXPECT_EQ(rateForPeriod(1e-6), 1000000u);
    EXPECT_EQ(rateForPeriod(1.0 / 3), 3u);
    EXPECT_EQ(rateForPeriod(1.06e-6), 943396u);
    EXPECT_EQ(rateForPeriod(0.9), 1u);
    EXPECT_EQ(rateForPeriod(1.0), 1u);
    EXPECT_EQ(rateForPeriod(2.0), 0u);
    EXPECT_EQ(rateForPeriod(2.5), 0u);
    EXPECT_EQ(rateForPeriod(0), 0u);
    EXPECT_EQ(rateForPeriod(-1e-6), 0u);
}

}  // namespace
