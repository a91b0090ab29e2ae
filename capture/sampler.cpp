#include "capture/sampler.h"

#include "capture/quiet_section.h"
#include "capture/status_port.h"
#include "core/scope_session.h"

TriggerWait waitForPortTrigger(StatusPort& port, uint8_t mask, uint32_t maxPolls,
                               const std::atomic<int32_t>* abandon) {
    const uint8_t reference = port.read() & mask;
    for (uint32_t polls = 0; maxPolls == 0 || polls < maxPolls; ++polls) {
        if ((port.read() & mask) != reference) {
            return TriggerWait::Came;
        }
        if (abandon != nullptr && abandon->load(std::memory_order_relaxed) != 0) {
            return TriggerWait::Abandoned;
        }
    }
    return TriggerWait::GaveUp;
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

double meanSamplePeriod(LoopClock::duration elapsed, uint32_t reads) {
    if (reads == 0) {
        return 0.0;
    }
    return std::chrono::duration<double>(elapsed).count() / reads;
}

bool captureInline(PortAccess& ports) {
    ScopeSession& session = scopeSession;
    StatusPort& port = ports.port(session.portNumber);
    const uint8_t mask = session.portTriggerMask;
    const bool triggered = mask == 0 || waitForPortTrigger(port, mask, kInlineTriggerPolls,
                                                           nullptr) == TriggerWait::Came;
    uint8_t* const data = session.sampleData;
    const uint32_t length = session.sampleLength;
    QuietSection quiet(ports.wantsQuietSection(), data, length);
    const LoopClock::time_point start = LoopClock::now();
    for (uint32_t i = 0; i < length; ++i) {
        data[i] = port.read();
    }
    session.samplePeriod = meanSamplePeriod(LoopClock::now() - start, length);
    return triggered;
}
