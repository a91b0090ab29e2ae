#include "capture/realtime_throttling.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ThrottleCase {
    const char* name;
    std::string runtime;  // sched_rt_runtime_us as the kernel shows it
    std::string period;   // sched_rt_period_us
    double loopSeconds;
    bool paused;
};

TEST(RealTimeThrottling, NotedOnlyWhenTheLoopOutlastsTheTimeAllowed) {
    const std::vector<ThrottleCase> cases = {
        {"Debian's default, a 2.5 s loop", "950000\n", "1000000\n", 2.5, true},
        {"just over the time allowed", "950000\n", "1000000\n", 0.950001, true},
        {"exactly the time allowed", "950000\n", "1000000\n", 0.95, false},
        {"a short loop", "950000\n", "1000000\n", 0.1, false},
        {"throttling switched off", "-1\n", "1000000\n", 100.0, false},
        {"the whole period allowed", "1000000\n", "1000000\n", 100.0, false},
        {"settings not readable", "", "", 100.0, false},
        {"garbage", "lots\n", "1000000\n", 100.0, false},
    };
    for (const ThrottleCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string note = throttlingNote(parseBandwidth(c.runtime, c.period), c.loopSeconds);
        EXPECT_EQ(!note.empty(), c.paused) << note;
    }
    EXPECT_EQ(throttlingNote(parseBandwidth("950000\n", "1000000\n"), 2.5),
              "the kernel lets a real-time thread run 0.95 s of every 1 s "
              "(kernel.sched_rt_runtime_us), so a loop of 2.500 s may be paused for 0.05 s in "
              "each; the gaps show where. sudo sysctl kernel.sched_rt_runtime_us=-1 lifts the "
              "limit");
}

}  // namespace
