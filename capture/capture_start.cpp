#include "capture/capture_start.h"

#include "capture/time_marker.h"
#include "core/scope_session.h"

namespace {

uint32_t ringSlots(const ScopeSession& session, const TriggerMatch& match) {
    return match.used() ? preTriggerSlots(session.sampleLength, session.preTriggerPercent) : 0;
}

}  // namespace

CaptureStartPoint::CaptureStartPoint(ScopeSession& session, ProbeClock& clock)
    : session_(session),
      match_(compileTrigger(sessionTriggerConditions(session))),
      ring_(session.sampleData, ringSlots(session, match_), clock) {
    session_.triggerSample = kNoTriggerSample;
}

TriggerWait CaptureStartPoint::wait(StatusPort& port, uint32_t maxPolls,
                                    const std::atomic<int32_t>* abandon, PausePlan* pauses,
                                    TimeMarker& marker) {
    if (!match_.used()) {
        return TriggerWait::Came;
    }
    end_ =
        waitForTrigger(port, match_, maxPolls, abandon, pauses, ring_.keeps() ? &ring_ : nullptr);
    if (end_ != TriggerWait::Abandoned && ring_.keeps()) {
        ring_.startRecording(marker);
    }
    return end_;
}

void CaptureStartPoint::finish() {
    ring_.putInOrder();
    if (match_.used() && end_ == TriggerWait::Came) {
        // Kept, the read the trigger fired on is the newest of the ring; else the next read.
        session_.triggerSample = ring_.keeps() ? ring_.kept() - 1 : 0;
    }
}
