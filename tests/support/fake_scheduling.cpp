#include "tests/support/fake_scheduling.h"

#include <sys/resource.h>

#include "capture/sd_bus_calls.h"

Scheduling FakeScheduling::state() const {
    std::lock_guard lock(mutex_);
    return state_;
}

void FakeScheduling::setState(const Scheduling& scheduling) {
    std::lock_guard lock(mutex_);
    state_ = scheduling;
}

const SdBusCalls* FakeScheduling::realtimeKitCalls(std::string& error) {
    if (!sdBusMissing.empty()) {
        error = sdBusMissing;
        return nullptr;
    }
    return sdBusCalls(error);
}

std::vector<Scheduling> FakeScheduling::asked() const {
    std::lock_guard lock(mutex_);
    return asked_;
}

std::vector<ResourceLimit> FakeScheduling::rttimeAsked() const {
    std::lock_guard lock(mutex_);
    return rttimeAsked_;
}

int FakeScheduling::set(const Scheduling& scheduling) {
    std::lock_guard lock(mutex_);
    asked_.push_back(scheduling);
    const bool mayChooseFreely = privileged != Privilege::None;
    if (isRealTimePolicy(scheduling.policy) && !mayChooseFreely &&
        static_cast<uint64_t>(scheduling.priority) > rtprio) {
        return -EPERM;
    }
    if ((state_.policy & SCHED_RESET_ON_FORK) != 0 &&
        (scheduling.policy & SCHED_RESET_ON_FORK) == 0 && !mayChooseFreely) {
        return -EPERM;
    }
    state_ = scheduling;
    return 0;
}

ResourceLimit FakeScheduling::limit(int resource) {
    std::lock_guard lock(mutex_);
    if (resource == RLIMIT_RTPRIO) {
        return ResourceLimit{rtprio, rtprio};
    }
    return resource == RLIMIT_RTTIME ? rttime : ResourceLimit{};
}

int FakeScheduling::setLimit(int resource, const ResourceLimit& limit) {
    std::lock_guard lock(mutex_);
    if (resource != RLIMIT_RTTIME) {
        return -EINVAL;
    }
    if (limit.soft > limit.hard) {
        return -EINVAL;
    }
    // Only the privileged may raise a hard limit.
    if (limit.hard > rttime.hard && privileged == Privilege::None) {
        return -EPERM;
    }
    rttimeAsked_.push_back(limit);
    rttime = limit;
    return 0;
}
