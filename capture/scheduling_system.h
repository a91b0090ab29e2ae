#pragma once

#include <sched.h>

#include <cstdint>
#include <limits>
#include <string>

struct sd_bus;
struct SdBusCalls;

// How a thread is scheduled: a policy (SCHED_OTHER, SCHED_FIFO or SCHED_RR, with
// SCHED_RESET_ON_FORK or'ed in where the thread has it) and its real-time priority (0 for the
// ordinary policies).
struct Scheduling {
    int policy = SCHED_OTHER;
    int priority = 0;
    bool operator==(const Scheduling&) const = default;
};

bool isRealTimePolicy(int policy);

// A resource limit; kNoLimit stands for RLIM_INFINITY.
inline constexpr uint64_t kNoLimit = std::numeric_limits<uint64_t>::max();
struct ResourceLimit {
    uint64_t soft = kNoLimit;
    uint64_t hard = kNoLimit;
    bool operator==(const ResourceLimit&) const = default;
};

// Who may raise a thread to real-time priority without asking anyone.
enum class Privilege { None, Root, CapSysNice };

// The kernel's real-time throttling: real-time threads may run `runtimeUs` of every `periodUs`.
// A negative runtime is no limit.
struct RealTimeBandwidth {
    int64_t runtimeUs = -1;
    int64_t periodUs = 0;
};

// What the way to real-time priority asks of the system, one virtual each, so that tests can
// play every answer. Results are 0 on success and minus the errno value on failure. Everything
// acts on the calling thread.
class SchedulingSystem {
public:
    virtual ~SchedulingSystem() = default;

    virtual Scheduling current() = 0;
    virtual int set(const Scheduling& scheduling) = 0;  // sched_setscheduler
    virtual Privilege privilege() = 0;
    virtual ResourceLimit limit(int resource) = 0;  // RLIMIT_RTPRIO, RLIMIT_RTTIME
    virtual int setLimit(int resource, const ResourceLimit& limit) = 0;
    virtual RealTimeBandwidth bandwidth() = 0;
    virtual uint64_t threadId() = 0;  // the kernel's id of the calling thread
    // sd-bus, to ask RealtimeKit with; null with the reason in `error` when it is not there.
    virtual const SdBusCalls* realtimeKitCalls(std::string& error) = 0;
    // A connection to the bus RealtimeKit answers on (the system bus), for the caller to unref.
    virtual int openRealtimeKitBus(const SdBusCalls& calls, sd_bus** bus) = 0;
};

// The scheduling system the quiet sections use: the machine's, unless a test set its own.
SchedulingSystem& schedulingSystem();
// Seam for tests (nullptr: the machine's again).
void setSchedulingSystem(SchedulingSystem* system);
