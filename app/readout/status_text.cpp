#include "app/readout/status_text.h"

#include "app/readout/recording_time.h"
#include "core/measure_text.h"
#include "core/scope_session.h"
#include "resources/string_table.h"

namespace {

std::string samplesText(uint64_t count) {
    return std::to_string(count) + (count == 1 ? " sample" : " samples");
}

std::string progressText(const ScopeSession& s, LiveClock::time_point now) {
    return "Capturing: " + std::to_string(drawableSamples(s)) + " of " +
           samplesText(s.sampleLength) + " stored, " + formatSeconds(liveSeconds(now));
}

// Rate and length come from the recording's time base, the only source of its times.
std::string timingText(const ScopeSession& s) {
    const TimeBase* time = recordingTime();
    const double period = time != nullptr ? time->meanPeriod() : 0;
    if (period <= 0) {
        return ", no time base";
    }
    const double first = s.sampleOrigin;
    const double lasted = time->secondsAt(first + s.sampleLength) - time->secondsAt(first);
    return " at " + formatHertz(1.0 / period) + ", " + formatSeconds(lasted);
}

// The priority the capture's loop ran at and why, where it asked for one.
std::string priorityWords(const ScopeSession& s) {
    return s.samplingPriority.empty() ? "" : ", " + s.samplingPriority;
}

}  // namespace

std::string statusText(LiveClock::time_point now) {
    const ScopeSession& s = scopeSession;
    if (s.workerCapturing) {
        return progressText(s, now);
    }
    const std::string title =
        s.documentTitle.empty() ? loadString(IDS_NEW_DOCUMENT_TITLE) : s.documentTitle;
    if (!hasSampleData(s)) {
        return title + ": no samples";
    }
    return title + ": " + samplesText(s.sampleLength) + timingText(s) + priorityWords(s);
}
