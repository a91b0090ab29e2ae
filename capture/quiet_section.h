#pragma once

#include <sched.h>

#include <cstddef>
#include <cstdint>

#include <string>

#include "capture/pause_plan.h"
#include "capture/realtime_priority.h"

class ProbeClock;

// Keeps a sampling loop regular where the system allows it: real-time priority for the calling
// thread through the first way that works, the thread pinned to the processor it runs on (no
// migration in the middle of a capture), and the sample buffer locked in memory and pre-faulted.
// User programs cannot mask interrupts on current kernels, so this is the nearest thing. Whatever
// is not permitted is skipped; everything is restored when the section ends, on the thread that
// began it. At real-time priority the loop must pause now and then (RLIMIT_RTTIME, the kernel's
// throttling): the section's pauses() say when, timed by the loop's clock.
class QuietSection {
public:
    // Does nothing at all unless `wanted`.
    QuietSection(bool wanted, uint8_t* buffer, size_t bytes, ProbeClock& clock);
    ~QuietSection();
    QuietSection(const QuietSection&) = delete;
    QuietSection& operator=(const QuietSection&) = delete;

    bool wanted() const { return wanted_; }
    const PriorityGrant& priority() const { return priority_; }
    // What the user is told of the priority; empty where the section was not wanted.
    std::string report() const { return wanted_ ? priorityText(priority_) : std::string(); }
    PausePlan& pauses() { return pauses_; }
    bool bufferLocked() const { return locked_ != nullptr; }
    bool pinned() const { return pinned_; }

private:
    void pinToThisProcessor();

    const bool wanted_;
    PriorityGrant priority_;
    PausePlan pauses_;
    bool pinned_ = false;
    cpu_set_t oldProcessors_{};
    uint8_t* locked_ = nullptr;
    size_t lockedBytes_ = 0;
};

// The real-time priority a quiet section asks for.
inline constexpr int kQuietSectionPriority = 10;
