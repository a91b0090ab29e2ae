#include "capture/realtime_priority.h"

#include <gtest/gtest.h>
#include <systemd/sd-bus.h>

#include <string>
#include <utility>
#include <vector>

#include "capture/probe_clock.h"
#include "capture/quiet_section.h"
#include "tests/support/fake_realtime_kit.h"
#include "tests/support/fake_scheduling.h"

namespace {

constexpr int kWanted = kQuietSectionPriority;
const Scheduling kOrdinary{SCHED_OTHER, 0};
const Scheduling kFifo{SCHED_FIFO, kWanted};
using P = Privilege;
using W = PriorityWay;

// What the user is told when RealtimeKit was asked and said no.
std::string refused(const std::string& why) {
    return "ordinary: no permission (RealtimeKit: " + why + "); see README 'Clean captures'";
}

struct WayCase {
    const char* name;
    Privilege privilege;
    uint64_t rtprio;
    Scheduling before;
    std::vector<Scheduling> asked;  // of the kernel, in order
    PriorityWay way;
    Scheduling now;
};

// The ways are tried from the top; each asks the kernel only what it may grant.
TEST(PriorityWays, TheFirstWayThatWorksIsTaken) {
    const Scheduling fifo4{SCHED_FIFO, 4};
    const Scheduling rr50{SCHED_RR, 50};
    const Scheduling fifo3{SCHED_FIFO, 3};
    const std::vector<WayCase> cases = {
        {"root", P::Root, 0, kOrdinary, {kFifo}, W::Root, kFifo},
        {"CAP_SYS_NICE", P::CapSysNice, 0, kOrdinary, {kFifo}, W::CapSysNice, kFifo},
        {"RLIMIT_RTPRIO 95 (limits.d)", P::None, 95, kOrdinary, {kFifo}, W::RtprioLimit, kFifo},
        {"RLIMIT_RTPRIO 4", P::None, 4, kOrdinary, {kFifo, fifo4}, W::RtprioLimit, fifo4},
        {"already higher", P::None, 0, rr50, {}, W::AsStarted, rr50},
        {"real-time, lower, no way higher", P::None, 0, fifo3, {kFifo}, W::AsStarted, fifo3},
        {"no way", P::None, 0, kOrdinary, {kFifo}, W::None, kOrdinary},
    };
    for (const WayCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeScheduling system;
        system.privileged = c.privilege;
        system.rtprio = c.rtprio;
        system.setState(c.before);
        const PriorityGrant grant = raiseToRealTime(system, kWanted);
        EXPECT_EQ(system.asked(), c.asked);
        EXPECT_EQ(grant.way, c.way);
        EXPECT_EQ(grant.now, c.now);
        EXPECT_EQ(system.state(), c.now);
        restoreScheduling(system, grant);
        EXPECT_EQ(system.state(), c.before);
    }
}

// What the user is told of each way.
TEST(PriorityWays, EachIsSaidInWords) {
    const std::pair<PriorityWay, std::string> cases[] = {
        {W::AsStarted, "real-time (as started)"},
        {W::Root, "real-time (root)"},
        {W::CapSysNice, "real-time (CAP_SYS_NICE)"},
        {W::RtprioLimit, "real-time (RLIMIT_RTPRIO)"},
        {W::RealtimeKit, "real-time (RealtimeKit)"},
        {W::None, "ordinary: no permission; see README 'Clean captures'"},
    };
    for (const auto& [way, text] : cases) {
        PriorityGrant grant;
        grant.way = way;
        EXPECT_EQ(priorityText(grant), text);
    }
}

struct KitCase {
    const char* name;
    int32_t maxPriority;  // what the daemon grants at most
    ResourceLimit rttimeBefore;
    const char* refuseWith;  // an error the daemon answers with
    std::vector<ResourceLimit> rttimeAsked;
    std::vector<uint32_t> prioritiesAsked;
    std::string text;
};

// Without a way of its own the process asks RealtimeKit, over D-Bus, after lowering its
// RLIMIT_RTTIME as far as the daemon demands; the daemon here answers on a private connection.
TEST(PriorityWays, RealtimeKitIsAskedLast) {
    constexpr int64_t kMost = 200'000;
    const ResourceLimit demanded{kMost, kMost};
    const char* const kGranted = "real-time (RealtimeKit)";
    const char* const kDenied = "org.freedesktop.DBus.Error.AccessDenied";
    const std::string kAbsent = refused("not installed or not running");
    const std::vector<KitCase> cases = {
        {"grants", 20, {}, "", {demanded}, {kWanted}, kGranted},
        {"grants less", 5, {}, "", {demanded}, {5}, kGranted},
        {"soft limit kept", 20, {50'000, kNoLimit}, "", {{50'000, kMost}}, {kWanted}, kGranted},
        {"limits already low enough", 20, {100'000, 100'000}, "", {}, {kWanted}, kGranted},
        {"grants no real-time", 0, {}, "", {}, {}, refused("it grants no real-time priority")},
        {"refuses", 20, {}, kDenied, {demanded}, {kWanted}, refused("refused by the test")},
        {"not installed", 20, {}, SD_BUS_ERROR_SERVICE_UNKNOWN, {demanded}, {kWanted}, kAbsent},
        {"not running", 20, {}, SD_BUS_ERROR_NAME_HAS_NO_OWNER, {demanded}, {kWanted}, kAbsent},
    };
    for (const KitCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeScheduling system;
        system.rttime = c.rttimeBefore;
        FakeRealtimeKit kit(system);
        kit.maxRealtimePriority = c.maxPriority;
        kit.rtTimeUSecMax = kMost;
        kit.refuseWith = c.refuseWith;
        const PriorityGrant grant = raiseToRealTime(system, kWanted);
        EXPECT_EQ(system.asked().front(), kFifo);
        EXPECT_EQ(system.rttimeAsked(), c.rttimeAsked);
        std::vector<uint32_t> priorities;
        for (const FakeRealtimeKit::Request& request : kit.requests()) {
            EXPECT_EQ(request.threadId, system.thread);
            priorities.push_back(request.priority);
        }
        EXPECT_EQ(priorities, c.prioritiesAsked);
        EXPECT_EQ(priorityText(grant), c.text);
        const bool granted = c.text == kGranted;
        EXPECT_EQ(grant.way, granted ? W::RealtimeKit : W::None);
        const int priority = granted ? static_cast<int>(c.prioritiesAsked[0]) : 0;
        const Scheduling roundRobin{SCHED_RR | SCHED_RESET_ON_FORK, priority};
        EXPECT_EQ(grant.now, granted ? roundRobin : kOrdinary);
        // Back to ordinary; a flag that only privilege may clear stays.
        restoreScheduling(system, grant);
        EXPECT_EQ(system.state().policy & ~SCHED_RESET_ON_FORK, SCHED_OTHER);
    }
}

// Without sd-bus RealtimeKit cannot be asked: the user is told why, and a thread that started
// real-time keeps what it had.
TEST(PriorityWays, WithoutSdBusRealtimeKitIsNotAvailable) {
    const std::string missing = "not available without libsystemd0: libsystemd.so.0: gone";
    const std::pair<Scheduling, PriorityWay> cases[] = {
        {kOrdinary, W::None},
        {{SCHED_FIFO, 3}, W::AsStarted},
    };
    for (const auto& [before, way] : cases) {
        FakeScheduling system;
        system.sdBusMissing = missing;
        system.setState(before);
        FakeRealtimeKit kit(system);
        const PriorityGrant grant = raiseToRealTime(system, kWanted);
        EXPECT_EQ(grant.way, way);
        EXPECT_EQ(grant.detail, missing);
        EXPECT_EQ(grant.now, before);
        EXPECT_TRUE(kit.requests().empty());
        EXPECT_TRUE(system.rttimeAsked().empty());
    }
    PriorityGrant none;
    none.detail = missing;
    EXPECT_EQ(priorityText(none), refused(missing));
}

// The quiet section takes its priority the same way and gives it back at its end.
TEST(PriorityWays, TheQuietSectionRaisesThroughTheSeamAndRestores) {
    FakeScheduling system;
    system.rtprio = 20;
    SchedulingScope scope(system);
    {
        QuietSection quiet(true, nullptr, 0, machineClock());
        EXPECT_EQ(quiet.priority().way, PriorityWay::RtprioLimit);
        EXPECT_EQ(system.state(), kFifo);
        QuietSection unwanted(false, nullptr, 0, machineClock());
        EXPECT_FALSE(unwanted.wanted());
        EXPECT_EQ(system.asked().size(), 1u);
    }
    EXPECT_EQ(system.state(), kOrdinary);
}

}  // namespace
