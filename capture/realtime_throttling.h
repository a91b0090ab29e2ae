#pragma once

#include <string>

#include "capture/scheduling_system.h"

// The kernel's real-time bandwidth from the texts of /proc/sys/kernel/sched_rt_runtime_us and
// sched_rt_period_us: no limit where they cannot be read, or say none (-1, or the whole period).
RealTimeBandwidth parseBandwidth(const std::string& runtimeText, const std::string& periodText);

// The same for this machine's settings.
RealTimeBandwidth machineBandwidth();

// What the kernel's real-time throttling may do to a real-time loop that runs for `loopSeconds`:
// empty when it cannot pause it (no limit, or a loop no longer than the time a real-time thread
// may run per period).
std::string throttlingNote(const RealTimeBandwidth& bandwidth, double loopSeconds);
