#include "capture/sampler.h"

#include <algorithm>

#include "capture/capture_start.h"
#include "capture/quiet_section.h"
#include "capture/status_port.h"
#include "capture/time_marker.h"
#include "core/scope_session.h"

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
