#include "capture/realtime_priority.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture/quiet_section.h"
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

// The quiet section takes its priority the same way and gives it back at its end.
TEST(PriorityWays, TheQuietSectionRaisesThroughTheSeamAndRestores) {
    FakeScheduling system;
    system.rtprio = 20;
    SchedulingScope scope(system);
    {
        QuietSection quiet(true, nullptr, 0);
        EXPECT_EQ(quiet.priority().way, PriorityWay::RtprioLimit);
        EXPECT_EQ(system.state(), (Scheduling{SCHED_FIFO, kWanted}));
        QuietSection unwanted(false, nullptr, 0);
        EXPECT_FALSE(unwanted.wanted());
        EXPECT_EQ(system.asked().size(), 1u);
    }
    EXPECT_EQ(system.state(), kOrdinary);
}

}  // namespace
