#pragma once

#include <string>

#include "capture/scheduling_system.h"

// The ways a sample loop comes to run at real-time priority, tried from the top.
enum class PriorityWay {
    AsStarted,    // the thread already ran at real-time priority, as high or higher
    Root,         // the superuser may
    CapSysNice,   // so may a program given the capability
    RtprioLimit,  // and anyone up to RLIMIT_RTPRIO (limits.d gives it, e.g. to group audio)
    RealtimeKit,  // else the RealtimeKit daemon may grant it, asked over D-Bus
    None,         // nothing worked: ordinary priority
};

// What the way to real-time priority obtained for the calling thread.
struct PriorityGrant {
    PriorityWay way = PriorityWay::None;
    Scheduling before;   // how the thread was scheduled before
    Scheduling now;      // and how it is now
    std::string detail;  // why RealtimeKit did not grant it, where it was asked
};

// Raises the calling thread to real-time `priority` through the first way that works (lower
// where a way allows no more).
PriorityGrant raiseToRealTime(SchedulingSystem& system, int priority);

// Puts the thread back as it was before `grant`, where the grant changed it.
void restoreScheduling(SchedulingSystem& system, const PriorityGrant& grant);

inline bool realTime(const PriorityGrant& grant) {
    return grant.way != PriorityWay::None;
}

// What the user is told: "real-time (RealtimeKit)", or "ordinary: no permission; see README
// 'Clean captures'".
std::string priorityText(const PriorityGrant& grant);
