#pragma once

#include <atomic>
#include <cstdint>

#include "capture/pre_trigger_ring.h"
#include "capture/sampler.h"
#include "core/trigger_conditions.h"

class PausePlan;
class ProbeClock;
class StatusPort;
class TimeMarker;
struct ScopeSession;

// How both capture loops start: the session's trigger wait, the pre-trigger samples it keeps at
// the start of sampleData, and the trigger point.
class CaptureStartPoint {
public:
    // The trigger and the pre-trigger share as the session holds them now.
    CaptureStartPoint(ScopeSession& session, ProbeClock& clock);

    // Waits for the trigger, where one is set, and hands `marker` the times of the samples kept
    // from the wait. Came at once without a trigger.
    TriggerWait wait(StatusPort& port, uint32_t maxPolls, const std::atomic<int32_t>* abandon,
                     PausePlan* pauses, TimeMarker& marker);

    // The samples the recording starts with, from the wait; the loop stores from here on.
    uint32_t kept() const { return ring_.kept(); }
    // Whether those are still out of order (the ring went round) until finish().
    bool unordered() const { return ring_.wrapped(); }
    // After the sample loop: the kept samples in order and the trigger point in the session.
    void finish();

private:
    ScopeSession& session_;
    const TriggerMatch match_;
    PreTriggerRing ring_;
    TriggerWait end_ = TriggerWait::Came;
};
