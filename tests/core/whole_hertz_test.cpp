#include <gtest/gtest.h>

#include <vector>

#include "core/whole_hertz.h"

namespace {

struct HertzCase {
    double period;
    uint64_t count;
    uint64_t hertz;
    bool fits;
    double nearest;
};

TEST(WholeHertz, APeriodFitsWhileTheLastSampleStaysWithinHalfASample) {
    const std::vector<HertzCase> cases = {
        {1e-6, 500000, 1000000, true, 1e-6},
        {0.5, 1000, 2, true, 0.5},
        {1.0, 10, 1, true, 1.0},
        // 1.42857 Hz as 1 Hz: the third sample is 0.9 samples off.
        {0.7, 3, 1, false, 0.5},
        {0.7, 1, 1, true, 0.5},
        // 955109.8 Hz as 955110 Hz: 1.7e-7 a sample, 0.09 samples at the end.
        {1.047e-6, 500000, 955110, true, 1.0 / 955110},
        // 333333.3 Hz: 1e-6 a sample, exactly half a sample at the end, then more.
        {3e-6, 400000, 333333, true, 1.0 / 333333},
        {3e-6, 600000, 333333, false, 1.0 / 333333},
        {0.0013, 1000, 769, true, 1.0 / 769},
        {0.0013, 2000, 769, false, 1.0 / 769},
        // Below 1 Hz no rate is kept at all.
        {1.5, 10, 0, false, 1.0},
    };
    for (const HertzCase& c : cases) {
        const WholeHertzFit fit = wholeHertzFit(c.period, c.count);
        EXPECT_EQ(fit.hertz, c.hertz) << c.period;
        EXPECT_EQ(fit.fits(), c.fits) << c.period << " " << c.count;
        EXPECT_DOUBLE_EQ(fit.nearestPeriod, c.nearest) << c.period;
    }
    EXPECT_EQ(wholeHertzProblem(0.7, 3, "X keeps"),
              "not a whole number of hertz (1.42857 Hz), which X keeps: the nearest period that "
              "is, is 0.5 s");
    EXPECT_EQ(wholeHertzProblem(1e-6, 3, "X keeps"), "");
}

}  // namespace
