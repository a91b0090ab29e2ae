#include "app/readout/recording_time.h"

#include "core/scope_session.h"

const TimeBase* recordingTime() {
    const ScopeSession& s = scopeSession;
    if (s.workerCapturing || !s.timeBase.known()) {
        return nullptr;
    }
    return &s.timeBase;
}
