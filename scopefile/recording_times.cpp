#include "scopefile/recording_times.h"

#include <utility>

#include "core/scope_session.h"

RecordingTimes recordingTimesOf(const ScopeSession& session) {
    RecordingTimes times;
    times.origin = session.sampleOrigin;
    times.timeBase = session.timeBase.valuesFor(session.sampleOrigin, session.sampleLength);
    // A cut that dropped the trigger point drops it from the file too.
    if (triggerIndex(session)) {
        times.triggerSample = session.triggerSample.load();
    }
    return times;
}

void takeRecordingTimes(ScopeSession& session, RecordingTimes& times) {
    session.sampleOrigin = times.origin;
    session.timeBase.restore(std::move(times.timeBase));
    session.triggerSample = times.triggerSample.value_or(kNoTriggerSample);
}

std::string ignoredTimesNote(const std::string& reason) {
    return "Loaded with sample numbers only: " + reason + ".";
}
