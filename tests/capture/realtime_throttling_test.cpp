#include "capture/realtime_throttling.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>
#include "tests/support/probe_units.h"

namespace {

struct ThrottleCase {
    const char* name;
    std::string runtime;  // sched_rt_runtime_us as the kernel shows it
    std::string period;   // sched_rt_period_us
    std::vector<PauseRule> pause;
};

// The loop runs a fiftieth of the period less than the kernel allows and pauses as much longer,
// once a period, so that no period of the kernel's holds more than its runtime.
TEST(RealTimeThrottling, PausesOncePerPeriodBeforeTheKernelWould) {
    const std::vector<ThrottleCase> cases = {
        {"Debian's default", "950000\n", "1000000\n", {{930 * kMs, 70 * kMs}}},
        {"a short period", "9500\n", "10000\n", {{9'300'000, 700'000}}},
        {"a runtime below the margin", "10000\n", "1000000\n", {{5 * kMs, 995 * kMs}}},
        {"throttling switched off", "-1\n", "1000000\n", {}},
        {"the whole period allowed", "1000000\n", "1000000\n", {}},
        {"settings not readable", "", "", {}},
        {"garbage", "lots\n", "1000000\n", {}},
    };
    for (const ThrottleCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(throttlingPause(parseBandwidth(c.runtime, c.period)), c.pause);
    }
}

}  // namespace
