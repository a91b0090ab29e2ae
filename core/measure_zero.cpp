#include "core/measure_zero.h"

#include "core/scope_session.h"

MeasureZero measureZero(const ScopeSession& session) {
    const std::optional<uint32_t> trigger = triggerIndex(session);
    if (!trigger || !session.view.measureFromTrigger) {
        return {};
    }
    const uint64_t number = uint64_t{session.sampleOrigin} + *trigger;
    MeasureZero zero{static_cast<int64_t>(number), 0};
    if (!session.workerCapturing && session.timeBase.known()) {
        zero.seconds = session.timeBase.secondsAt(static_cast<double>(number));
    }
    return zero;
}
