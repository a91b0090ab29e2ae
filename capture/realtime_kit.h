#pragma once

#include <cstdint>
#include <string>

struct sd_bus;
struct SdBusCalls;

// The RealtimeKit daemon (org.freedesktop.RealtimeKit1), which desktop systems run so that audio
// programs get real-time priority without privilege. It makes a thread SCHED_RR, with
// SCHED_RESET_ON_FORK, up to its highest priority, and only for a process whose RLIMIT_RTTIME
// (hard limit) is within its RTTimeUSecMax.
struct RealtimeKitLimits {
    int32_t maxRealtimePriority = 0;
    int64_t rtTimeUSecMax = 0;
};

// Results are 0, or minus the errno value with the daemon's or the bus's reason in `error`.
int readRealtimeKitLimits(const SdBusCalls& calls, sd_bus* bus, RealtimeKitLimits& limits,
                          std::string& error);
// Asks for thread `threadId` (the kernel's id) at real-time `priority`.
int makeThreadRealtime(const SdBusCalls& calls, sd_bus* bus, uint64_t threadId, uint32_t priority,
                       std::string& error);
