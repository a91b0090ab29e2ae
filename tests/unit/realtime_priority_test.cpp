#include "capture/realtime_priority.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture/probe_clock.h"
#include "capture/quiet_section.h"
#include "tests/support/fake_realtime_kit.h"
#include "tests/support/fake_scheduling.h"

namespace {

constexpr int kWanted = kQuietSectionPriority;
const Scheduling kOrdinary{SCHED_OTHER, 0};
const char* const kNoPermission = "ordinary: no permission; see README 'Clean captures'";

struct WayCase {
    const char* name;
    Privilege privilege;
    uint64_t rtprio;
    Scheduling before;
    std::vector<Scheduling> asked;  // of the kernel, in order
    PriorityWay way;
    Scheduling now;
    std::string text;
};

// The ways are tried from the top; each asks the kernel only what it may grant.
TEST(PriorityWays, TheFirstWayThatWorksIsTakenAndSaid) {
    const Scheduling fifo{SCHED_FIFO, kWanted};
    const std::vector<WayCase> cases = {
        {"root",
         Privilege::Root,
         0,
         kOrdinary,
         {fifo},
         PriorityWay::Root,
         fifo,
         "real-time (root)"},
        {"CAP_SYS_NICE",
         Privilege::CapSysNice,
         0,
         kOrdinary,
         {fifo},
         PriorityWay::CapSysNice,
         fifo,
         "real-time (CAP_SYS_NICE)"},
        {"RLIMIT_RTPRIO as limits.d gives group audio",
         Privilege::None,
         95,
         kOrdinary,
         {fifo},
         PriorityWay::RtprioLimit,
         fifo,
         "real-time (RLIMIT_RTPRIO)"},
        {"RLIMIT_RTPRIO below the wanted priority",
         Privilege::None,
         4,
         kOrdinary,
         {fifo, {SCHED_FIFO, 4}},
         PriorityWay::RtprioLimit,
         {SCHED_FIFO, 4},
         "real-time (RLIMIT_RTPRIO)"},
        {"already higher",
         Privilege::None,
         0,
         {SCHED_RR, 50},
         {},
         PriorityWay::AsStarted,
         {SCHED_RR, 50},
         "real-time (as started)"},
        {"real-time but lower, and not allowed more",
         Privilege::None,
         0,
         {SCHED_FIFO, 3},
         {fifo},
         PriorityWay::AsStarted,
         {SCHED_FIFO, 3},
         "real-time (as started)"},
        {"no way",
         Privilege::None,
         0,
         kOrdinary,
         {fifo},
         PriorityWay::None,
         kOrdinary,
         kNoPermission},
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
        EXPECT_EQ(priorityText(grant), c.text);
        restoreScheduling(system, grant);
        EXPECT_EQ(system.state(), c.before);
    }
}

struct KitCase {
    const char* name;
    int32_t maxPriority;  // what the daemon grants at most
    ResourceLimit rttimeBefore;
    std::string refuseWith;  // an error the daemon answers with
    std::vector<ResourceLimit> rttimeAsked;
    std::vector<FakeRealtimeKit::Request> requests;
    PriorityWay way;
    std::string text;
};

// Without a way of its own the process asks RealtimeKit, over D-Bus, after lowering its
// RLIMIT_RTTIME as far as the daemon demands; the daemon here answers on a private connection.
TEST(PriorityWays, RealtimeKitIsAskedLast) {
    constexpr int64_t kRtTimeMax = 200'000;
    constexpr uint64_t kThread = 4242;
    const ResourceLimit demanded{kRtTimeMax, kRtTimeMax};
    const std::vector<KitCase> cases = {
        {"grants",
         20,
         {},
         "",
         {demanded},
         {{kThread, kWanted}},
         PriorityWay::RealtimeKit,
         "real-time (RealtimeKit)"},
        {"grants less",
         5,
         {},
         "",
         {demanded},
         {{kThread, 5}},
         PriorityWay::RealtimeKit,
         "real-time (RealtimeKit)"},
        {"a lower soft limit is kept",
         20,
         {50'000, kNoLimit},
         "",
         {{50'000, kRtTimeMax}},
         {{kThread, kWanted}},
         PriorityWay::RealtimeKit,
         "real-time (RealtimeKit)"},
        {"limits already low enough",
         20,
         {100'000, 100'000},
         "",
         {},
         {{kThread, kWanted}},
         PriorityWay::RealtimeKit,
         "real-time (RealtimeKit)"},
        {"grants no real-time at all",
         0,
         {},
         "",
         {},
         {},
         PriorityWay::None,
         "ordinary: no permission (RealtimeKit: it grants no real-time priority); see README "
         "'Clean captures'"},
        {"refuses",
         20,
         {},
         "org.freedesktop.DBus.Error.AccessDenied",
         {demanded},
         {{kThread, kWanted}},
         PriorityWay::None,
         "ordinary: no permission (RealtimeKit: refused by the test); see README 'Clean "
         "captures'"},
    };
    for (const KitCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeScheduling system;
        system.thread = kThread;
        system.rttime = c.rttimeBefore;
        FakeRealtimeKit kit(system);
        kit.maxRealtimePriority = c.maxPriority;
        kit.rtTimeUSecMax = kRtTimeMax;
        kit.refuseWith = c.refuseWith;
        const PriorityGrant grant = raiseToRealTime(system, kWanted);
        EXPECT_EQ(system.rttimeAsked(), c.rttimeAsked);
        EXPECT_EQ(kit.requests(), c.requests);
        EXPECT_EQ(grant.way, c.way);
        EXPECT_EQ(priorityText(grant), c.text);
        EXPECT_EQ(system.asked().front(), (Scheduling{SCHED_FIFO, kWanted}));
        const int granted = c.requests.empty() ? 0 : static_cast<int>(c.requests[0].priority);
        const Scheduling roundRobin{SCHED_RR | SCHED_RESET_ON_FORK, granted};
        EXPECT_EQ(grant.now, realTime(grant) ? roundRobin : kOrdinary);
        // Back to ordinary; a flag that only privilege may clear stays.
        restoreScheduling(system, grant);
        EXPECT_EQ(system.state().policy & ~SCHED_RESET_ON_FORK, SCHED_OTHER);
    }
}

// The quiet section takes its priority the same way and gives it back at its end.
TEST(PriorityWays, TheQuietSectionRaisesThroughTheSeamAndRestores) {
    FakeScheduling system;
    system.rtprio = 20;
    SchedulingScope scope(system);
    {
        QuietSection quiet(true, nullptr, 0, machineClock());
        EXPECT_EQ(quiet.priority().way, PriorityWay::RtprioLimit);
        EXPECT_EQ(system.state(), (Scheduling{SCHED_FIFO, kWanted}));
        QuietSection unwanted(false, nullptr, 0, machineClock());
        EXPECT_FALSE(unwanted.wanted());
        EXPECT_EQ(system.asked().size(), 1u);
    }
    EXPECT_EQ(system.state(), kOrdinary);
}

}  // namespace
