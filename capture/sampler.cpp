#include "capture/sampler.h"

#include <algorithm>

#include "capture/capture_start.h"
#include "capture/pause_plan.h"
#include "capture/pre_trigger_ring.h"
#include "capture/quiet_section.h"
#include "capture/status_port.h"
#include "capture/time_marker.h"
#include "core/scope_session.h"
#include "core/trigger_conditions.h"

namespace {

template <bool kKeep>
TriggerWait waitLoop(StatusPort& port, const TriggerMatch& match, uint32_t maxPolls,
                     const std::atomic<int32_t>* abandon, PausePlan* pauses, PreTriggerRing* ring) {
    // Often enough for any pause's run and a fine time base, rare enough that the clock costs
    // the wait nothing.
    constexpr uint32_t kPollsPerCheck = PreTriggerRing::kRingMarkStride;
    if constexpr (kKeep) {
        ring->mark();
    }
    uint8_t before = port.read();
    if constexpr (kKeep) {
        ring->store(before);
    }
    if (match.holdsAtStart(before)) {
        return TriggerWait::Came;
    }
    for (uint32_t polls = 0; maxPolls == 0 || polls < maxPolls; ++polls) {
        const uint8_t now = port.read();
        if constexpr (kKeep) {
            ring->store(now);
        }
        if (match.holds(before, now)) {
            return TriggerWait::Came;
        }
        before = now;
        if (abandon != nullptr && abandon->load(std::memory_order_relaxed) != 0) {
            return TriggerWait::Abandoned;
        }
        if (polls % kPollsPerCheck == 0) {
            if (pauses != nullptr) {
                pauses->pauseIfDue();
            }
            if constexpr (kKeep) {
                ring->mark();
            }
        }
    }
    return TriggerWait::GaveUp;
}

}  // namespace

TriggerWait waitForTrigger(StatusPort& port, const TriggerMatch& match, uint32_t maxPolls,
                           const std::atomic<int32_t>* abandon, PausePlan* pauses,
                           PreTriggerRing* ring) {
    return ring != nullptr ? waitLoop<true>(port, match, maxPolls, abandon, pauses, ring)
                           : waitLoop<false>(port, match, maxPolls, abandon, pauses, nullptr);
}

namespace {

// The running value of the busy delay. Thread-local, so each worker carries its own from sample
// to sample and from capture to capture, as the delay's regularity needs.
thread_local double delayValue = 1.0;

}  // namespace

void spendBusyDelay(int32_t multiplications) {
    // The double nearest 10/9. Going through a volatile keeps the optimiser from folding the loop.
    constexpr double kFactor = 1.1111111111111112;
    volatile double value = delayValue;
    for (int32_t step = 0; step < multiplications; ++step) {
        value = value * kFactor;
    }
    delayValue = value;
}

namespace {

// Reads the slots of `data` from `first` on in blocks, the clock read before each block and
// after the last.
void readTimedSamples(StatusPort& port, uint8_t* data, uint32_t first, uint32_t length,
                      TimeMarker& marker) {
    for (uint32_t i = first; i < length;) {
        const uint32_t blockEnd = std::min(marker.startBlock(i), length);
        for (; i < blockEnd; ++i) {
            data[i] = port.read();
        }
    }
    marker.end(length);
}

}  // namespace

bool captureInline(PortAccess& ports) {
    ScopeSession& session = scopeSession;
    StatusPort& port = ports.port(session.portNumber);
    uint8_t* const data = session.sampleData;
    const uint32_t length = session.sampleLength;
    bool triggered = true;
    {
        QuietSection quiet(ports.wantsQuietSection(), data, length, ports.clock());
        TimeMarker marker(session.timeBase, ports.clock(), port, length, &quiet.pauses());
        CaptureStartPoint start(session, ports.clock());
        triggered = start.wait(port, kInlineTriggerPolls, nullptr, &quiet.pauses(), marker) ==
                    TriggerWait::Came;
        readTimedSamples(port, data, start.kept(), length, marker);
        start.finish();
        session.samplingPriority = quiet.report();
    }
    session.timeBase.finish();
    return triggered;
}
