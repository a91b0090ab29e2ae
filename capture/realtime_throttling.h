#pragma once

#include <string>
#include <vector>

#include "capture/pause_plan.h"
#include "capture/scheduling_system.h"

// The kernel's real-time bandwidth from the texts of /proc/sys/kernel/sched_rt_runtime_us and
// sched_rt_period_us: no limit where they cannot be read, or say none (-1, or the whole period).
RealTimeBandwidth parseBandwidth(const std::string& runtimeText, const std::string& periodText);

// The same for this machine's settings.
RealTimeBandwidth machineBandwidth();

// The pause the kernel's throttling asks of a real-time loop: one that runs longer than the
// bandwidth's runtime in a period is stopped for the rest of it, at a moment of the kernel's
// choosing. So the loop runs a little less and pauses a little more, once per period; a margin
// of a fiftieth of the period covers what the kernel counts that the loop's clock does not.
std::vector<PauseRule> throttlingPause(const RealTimeBandwidth& bandwidth);
