#pragma once

#include <cerrno>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "capture/scheduling_system.h"

// A thread's scheduling as the kernel rules it, in memory: a real-time policy is granted to the
// privileged, or up to RLIMIT_RTPRIO, as sched_setscheduler grants it; lowering is always allowed
// but SCHED_RESET_ON_FORK stays unless privileged. One thread's state for every caller, guarded,
// so that a worker's quiet section may use it too. Set the configuration before any thread uses it.
class FakeScheduling final : public SchedulingSystem {
public:
    Privilege privileged = Privilege::None;
    uint64_t rtprio = 0;  // RLIMIT_RTPRIO
    ResourceLimit rttime;
    RealTimeBandwidth throttling;
    uint64_t thread = 4242;
    // Connects to a RealtimeKit; none answers unless set.
    std::function<int(sd_bus**)> realtimeKitBus;
    // Why sd-bus cannot be opened; empty: it is the library the product opens.
    std::string sdBusMissing;

    // The thread's scheduling, and every change asked of it, in order.
    Scheduling state() const;
    void setState(const Scheduling& scheduling);
    std::vector<Scheduling> asked() const;
    std::vector<ResourceLimit> rttimeAsked() const;

    Scheduling current() override { return state(); }
    int set(const Scheduling& scheduling) override;
    Privilege privilege() override { return privileged; }
    ResourceLimit limit(int resource) override;
    int setLimit(int resource, const ResourceLimit& limit) override;
    RealTimeBandwidth bandwidth() override { return throttling; }
    uint64_t threadId() override { return thread; }
    const SdBusCalls* realtimeKitCalls(std::string& error) override;
    int openRealtimeKitBus(const SdBusCalls&, sd_bus** bus) override {
        return realtimeKitBus ? realtimeKitBus(bus) : -ENOENT;
    }

private:
    mutable std::mutex mutex_;
    Scheduling state_;
    std::vector<Scheduling> asked_;
    std::vector<ResourceLimit> rttimeAsked_;
};

// Makes `system` the one the quiet sections use for the life of the scope.
class SchedulingScope {
public:
    explicit SchedulingScope(SchedulingSystem& system) { setSchedulingSystem(&system); }
    ~SchedulingScope() { setSchedulingSystem(nullptr); }
    SchedulingScope(const SchedulingScope&) = delete;
    SchedulingScope& operator=(const SchedulingScope&) = delete;
};
