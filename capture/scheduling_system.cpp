#include "capture/scheduling_system.h"

#include <linux/capability.h>
#include <pthread.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

#include "capture/realtime_throttling.h"
#include "capture/sd_bus_calls.h"

bool isRealTimePolicy(int policy) {
    const int plain = policy & ~SCHED_RESET_ON_FORK;
    return plain == SCHED_FIFO || plain == SCHED_RR;
}

namespace {

int resultOf(int returned) {
    return returned < 0 ? -errno : 0;
}

uint64_t fromRlim(rlim_t value) {
    return value == RLIM_INFINITY ? kNoLimit : static_cast<uint64_t>(value);
}

rlim_t toRlim(uint64_t value) {
    return value == kNoLimit ? RLIM_INFINITY : static_cast<rlim_t>(value);
}

bool hasCapSysNice() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    return syscall(SYS_capget, &header, data) == 0 &&
           (data[CAP_SYS_NICE / 32].effective & (1u << (CAP_SYS_NICE % 32))) != 0;
}

class LinuxScheduling final : public SchedulingSystem {
public:
    Scheduling current() override {
        Scheduling scheduling;
        sched_param param{};
        scheduling.policy = sched_getscheduler(0);
        sched_getparam(0, &param);
        scheduling.priority = param.sched_priority;
        return scheduling;
    }

    // Through pthreads, which keeps its own copy of the thread's scheduling.
    int set(const Scheduling& scheduling) override {
        sched_param param{};
        param.sched_priority = scheduling.priority;
        return -pthread_setschedparam(pthread_self(), scheduling.policy, &param);
    }

    Privilege privilege() override {
        if (geteuid() == 0) {
            return Privilege::Root;
        }
        return hasCapSysNice() ? Privilege::CapSysNice : Privilege::None;
    }

    ResourceLimit limit(int resource) override {
        rlimit limit{};
        if (getrlimit(static_cast<__rlimit_resource_t>(resource), &limit) != 0) {
            return ResourceLimit{};
        }
        return ResourceLimit{fromRlim(limit.rlim_cur), fromRlim(limit.rlim_max)};
    }

    int setLimit(int resource, const ResourceLimit& wanted) override {
        const rlimit limit{toRlim(wanted.soft), toRlim(wanted.hard)};
        return resultOf(setrlimit(static_cast<__rlimit_resource_t>(resource), &limit));
    }

    RealTimeBandwidth bandwidth() override { return machineBandwidth(); }

    uint64_t threadId() override { return static_cast<uint64_t>(gettid()); }

    const SdBusCalls* realtimeKitCalls(std::string& error) override { return sdBusCalls(error); }

    int openRealtimeKitBus(const SdBusCalls& calls, sd_bus** bus) override {
        return calls.sd_bus_open_system(bus);
    }
};

SchedulingSystem* chosenSystem = nullptr;

}  // namespace

SchedulingSystem& schedulingSystem() {
    static LinuxScheduling machine;
    return chosenSystem != nullptr ? *chosenSystem : machine;
}

void setSchedulingSystem(SchedulingSystem* system) {
    chosenSystem = system;
}
