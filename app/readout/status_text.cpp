#include "app/readout/status_text.h"

#include <algorithm>

#include "app/readout/recording_progress.h"
#include "app/readout/recording_time.h"
#include "core/measure_text.h"
#include "core/scope_session.h"
#include "core/time_base.h"
#include "display/session_pyramid.h"
#include "resources/string_table.h"

namespace {

std::string progressText(const ScopeSession& s, LiveClock::time_point now) {
    return "Capturing: " + std::to_string(drawableSamples(s)) + " of " +
           samplesText(s.sampleLength) + " stored, " + formatSeconds(liveSeconds(now));
}

// "Summing up 50000000 samples: 45%", in whole percent that reach 100 only when it is done.
std::string summingUpText(const SummingUp& summing) {
    const uint64_t percent =
        summing.samples == 0 ? 0 : uint64_t{summing.summed} * 100 / summing.samples;
    return "Summing up " + samplesText(summing.samples) + ": " + std::to_string(percent) + "%";
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

// ", 412 gaps, 38.20 ms lost, longest 12.10 ms" over the samples kept, and the planned pauses
// apart; nothing without either.
std::string gapWords(const ScopeSession& s) {
    const TimeBase* time = recordingTime();
    if (time == nullptr || s.sampleLength < 2) {
        return "";
    }
    uint64_t stalls = 0, pauses = 0, lost = 0, longest = 0;
    for (const TimeGap& gap :
         time->gapsBetween(s.sampleOrigin + 1, s.sampleOrigin + s.sampleLength - 1)) {
        if (gap.kind == GapKind::PlannedPause) {
            ++pauses;
            continue;
        }
        ++stalls;
        lost += gap.nanoseconds;
        longest = std::max(longest, gap.nanoseconds);
    }
    std::string text;
    if (stalls > 0) {
        text += ", " + std::to_string(stalls) + (stalls == 1 ? " gap, " : " gaps, ") +
                formatSeconds(static_cast<double>(lost) * kSecondsPerNanosecond) +
                " lost, longest " +
                formatSeconds(static_cast<double>(longest) * kSecondsPerNanosecond);
    }
    if (pauses > 0) {
        text +=
            ", " + std::to_string(pauses) + (pauses == 1 ? " planned pause" : " planned pauses");
    }
    return text;
}

// ", trigger at sample 15000, 15.00 ms after the first": where the recording's trigger fired,
// in the capture's numbers and time; nothing without a trigger point.
std::string triggerWords(const ScopeSession& s) {
    const std::optional<uint32_t> trigger = triggerIndex(s);
    if (!trigger) {
        return "";
    }
    const uint64_t number = uint64_t{s.sampleOrigin} + *trigger;
    std::string text = ", trigger at sample " + std::to_string(number);
    if (const TimeBase* time = recordingTime()) {
        text +=
            ", " + formatSeconds(time->secondsAt(static_cast<double>(number))) + " after the first";
    }
    return text;
}

// The priority the capture's loop ran at and why, where it asked for one.
std::string priorityWords(const ScopeSession& s) {
    return s.samplingPriority.empty() ? "" : ", " + s.samplingPriority;
}

}  // namespace

std::string statusText(LiveClock::time_point now) {
    const ScopeSession& s = scopeSession;
    if (!recordingProgress().fileName.empty()) {
        return recordingStatusText(recordingProgress(), drawableSamples(s), now);
    }
    if (s.workerCapturing) {
        return progressText(s, now);
    }
    const std::string title =
        s.documentTitle.empty() ? loadString(IDS_NEW_DOCUMENT_TITLE) : s.documentTitle;
    if (!hasSampleData(s)) {
        return title + ": no samples";
    }
    if (const std::optional<SummingUp> summing = sessionSummingUp(s)) {
        return summingUpText(*summing);
    }
    return title + ": " + samplesText(s.sampleLength) + timingText(s) + triggerWords(s) +
           gapWords(s) + priorityWords(s);
}
