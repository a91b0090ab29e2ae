#pragma once

#include <string>

// What the kernel's real-time throttling may do to a real-time loop that runs for `loopSeconds`,
// given the texts of /proc/sys/kernel/sched_rt_runtime_us and sched_rt_period_us: empty when it
// cannot pause it (no limit, unreadable settings, or a loop no longer than the time a real-time
// thread may run per period).
std::string throttlingNote(const std::string& runtimeText, const std::string& periodText,
                           double loopSeconds);

// The same for this machine's settings.
std::string realTimeThrottling(double loopSeconds);
