#include "capture/realtime_priority.h"

#include <sys/resource.h>

#include <algorithm>
#include <memory>

#include "capture/realtime_kit.h"
#include "capture/sd_bus_calls.h"

namespace {

bool atLeast(const Scheduling& scheduling, int priority) {
    return isRealTimePolicy(scheduling.policy) && scheduling.priority >= priority;
}

// Whom the kernel let raise the thread.
PriorityWay allowedWay(SchedulingSystem& system) {
    switch (system.privilege()) {
        case Privilege::Root:
            return PriorityWay::Root;
        case Privilege::CapSysNice:
            return PriorityWay::CapSysNice;
        case Privilege::None:
            break;
    }
    return PriorityWay::RtprioLimit;
}

// FIFO at `priority`, or at RLIMIT_RTPRIO where that allows less. None when neither is allowed.
PriorityWay raiseOurselves(SchedulingSystem& system, int priority) {
    if (system.set(Scheduling{SCHED_FIFO, priority}) == 0) {
        return allowedWay(system);
    }
    const uint64_t allowed = system.limit(RLIMIT_RTPRIO).soft;
    if (allowed > 0 && allowed < static_cast<uint64_t>(priority) &&
        system.set(Scheduling{SCHED_FIFO, static_cast<int>(allowed)}) == 0) {
        return PriorityWay::RtprioLimit;
    }
    return PriorityWay::None;
}

struct CloseBus {
    const SdBusCalls* calls;
    void operator()(sd_bus* bus) const { calls->sd_bus_flush_close_unref(bus); }
};

// RealtimeKit serves only a process whose RLIMIT_RTTIME is within its limit: lowers it as far,
// for good (an ordinary process cannot raise a hard limit again).
bool fitRealTimeLimit(SchedulingSystem& system, int64_t mostUs) {
    const ResourceLimit now = system.limit(RLIMIT_RTTIME);
    const auto most = static_cast<uint64_t>(std::max<int64_t>(mostUs, 0));
    if (now.hard <= most) {
        return true;
    }
    return system.setLimit(RLIMIT_RTTIME, ResourceLimit{std::min(now.soft, most), most}) == 0;
}

PriorityWay askRealtimeKit(SchedulingSystem& system, int priority, std::string& refusal) {
    const SdBusCalls* calls = system.realtimeKitCalls(refusal);
    sd_bus* opened = nullptr;
    if (calls == nullptr || system.openRealtimeKitBus(*calls, &opened) < 0) {
        return PriorityWay::None;
    }
    const std::unique_ptr<sd_bus, CloseBus> bus(opened, CloseBus{calls});
    RealtimeKitLimits limits;
    if (readRealtimeKitLimits(*calls, bus.get(), limits, refusal) < 0) {
        return PriorityWay::None;
    }
    const int granted = std::min(priority, limits.maxRealtimePriority);
    if (granted < 1) {
        refusal = "it grants no real-time priority";
        return PriorityWay::None;
    }
    if (!fitRealTimeLimit(system, limits.rtTimeUSecMax)) {
        refusal = "RLIMIT_RTTIME cannot be lowered to what it demands";
        return PriorityWay::None;
    }
    const int asked = makeThreadRealtime(*calls, bus.get(), system.threadId(),
                                         static_cast<uint32_t>(granted), refusal);
    return asked < 0 ? PriorityWay::None : PriorityWay::RealtimeKit;
}

}  // namespace

PriorityGrant raiseToRealTime(SchedulingSystem& system, int priority) {
    PriorityGrant grant;
    grant.before = system.current();
    if (!atLeast(grant.before, priority)) {
        grant.way = raiseOurselves(system, priority);
        if (grant.way == PriorityWay::None) {
            grant.way = askRealtimeKit(system, priority, grant.detail);
        }
    }
    // A thread that was real-time and could not be raised further keeps what it had.
    if (grant.way == PriorityWay::None && isRealTimePolicy(grant.before.policy)) {
        grant.way = PriorityWay::AsStarted;
    }
    grant.now = grant.way == PriorityWay::AsStarted ? grant.before : system.current();
    return grant;
}

void restoreScheduling(SchedulingSystem& system, const PriorityGrant& grant) {
    if (grant.way == PriorityWay::None || grant.way == PriorityWay::AsStarted) {
        return;
    }
    // A thread that RealtimeKit raised has SCHED_RESET_ON_FORK, which only privilege may clear.
    Scheduling back = grant.before;
    back.policy |= system.current().policy & SCHED_RESET_ON_FORK;
    system.set(back);
}

std::string priorityText(const PriorityGrant& grant) {
    switch (grant.way) {
        case PriorityWay::AsStarted:
            return "real-time (as started)";
        case PriorityWay::Root:
            return "real-time (root)";
        case PriorityWay::CapSysNice:
            return "real-time (CAP_SYS_NICE)";
        case PriorityWay::RtprioLimit:
            return "real-time (RLIMIT_RTPRIO)";
        case PriorityWay::RealtimeKit:
            return "real-time (RealtimeKit)";
        case PriorityWay::None:
            break;
    }
    const std::string why = grant.detail.empty() ? "" : " (RealtimeKit: " + grant.detail + ")";
    return "ordinary: no permission" + why + "; see README 'Clean captures'";
}
