#include "cli/capture_summary.h"

#include <cstdio>
#include <optional>
#include <ostream>
#include <vector>

#include "core/scope_session.h"
#include "core/time_base.h"
#include "core/trigger_conditions.h"

namespace {

// "0.300112 s": seconds as the summary gives them, six digits.
std::string secondsText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g s", seconds);
    return text;
}

// Rate and mean period agree: both come from the time base over the whole capture.
void printPace(std::ostream& out, const TimeBase& timeBase) {
    const double mean = timeBase.meanPeriod();
    if (!(mean > 0)) {
        out << "rate: unknown\nperiod: unknown\n";
        return;
    }
    const PeriodSpread spread = timeBase.periodSpread();
    char rate[40];
    std::snprintf(rate, sizeof rate, "%.0f", 1.0 / mean);
    out << "rate: " << rate << " samples/s\nperiod: " << secondsText(mean) << " (median "
        << secondsText(spread.median) << ", 1st percentile " << secondsText(spread.low)
        << ", 99th percentile " << secondsText(spread.high) << ")\n";
}

bool planned(const TimeGap& gap) {
    return gap.kind == GapKind::PlannedPause;
}

// "gaps: 2, the longest 0.300112 s before sample 201234, 3 reads failed". Planned pauses are not
// counted here: the loop took them on purpose.
void printGaps(std::ostream& out, const std::vector<TimeGap>& gaps) {
    const TimeGap* longest = nullptr;
    size_t count = 0;
    uint64_t failed = 0;
    for (const TimeGap& gap : gaps) {
        failed += gap.failedReads;
        if (!planned(gap)) {
            ++count;
            longest = longest == nullptr || gap.nanoseconds > longest->nanoseconds ? &gap : longest;
        }
    }
    out << "gaps: " << count;
    if (longest != nullptr && longest->nanoseconds > 0) {
        out << ", the longest "
            << secondsText(static_cast<double>(longest->nanoseconds) * kSecondsPerNanosecond)
            << " before sample " << longest->sample;
    }
    if (failed > 0) {
        out << ", " << failed << (failed == 1 ? " read" : " reads") << " failed";
    }
    out << '\n';
}

// "pauses: 3 planned, 0.000213 s in all": what the real-time loop gave the system on purpose.
void printPauses(std::ostream& out, const std::vector<TimeGap>& gaps) {
    size_t count = 0;
    uint64_t nanoseconds = 0;
    for (const TimeGap& gap : gaps) {
        if (planned(gap)) {
            ++count;
            nanoseconds += gap.nanoseconds;
        }
    }
    if (count > 0) {
        out << "pauses: " << count << " planned, "
            << secondsText(static_cast<double>(nanoseconds) * kSecondsPerNanosecond) << " in all\n";
    }
}

// "trigger: sample 15000, 0.015000 s after the first": where the recording's trigger fired.
void printTrigger(std::ostream& out, const ScopeSession& session) {
    if (!triggerSet(session)) {
        return;
    }
    const std::optional<uint32_t> trigger = triggerIndex(session);
    if (!trigger) {
        out << "trigger: none, the capture did not start on it\n";
        return;
    }
    out << "trigger: sample " << *trigger;
    if (session.timeBase.known()) {
        out << ", " << secondsText(session.timeBase.secondsAt(*trigger)) << " after the first";
    }
    out << " (" << describeTrigger(sessionTriggerConditions(session)) << ")\n";
}

}  // namespace

void printTiming(std::ostream& out, const TimeBase& timeBase) {
    printPace(out, timeBase);
    printGaps(out, timeBase.gaps());
    printPauses(out, timeBase.gaps());
}

void printCaptureSummary(std::ostream& out, const std::string& port, uint32_t kept,
                         double seconds) {
    const TimeBase& timeBase = scopeSession.timeBase;
    char head[120];
    std::snprintf(head, sizeof head, "samples: %u\nelapsed: %.6f s%s\n", kept, seconds,
                  triggerSet(scopeSession) ? " (trigger wait included)" : "");
    out << head;
    printTiming(out, timeBase);
    if (!scopeSession.samplingPriority.empty()) {
        out << "priority: " << scopeSession.samplingPriority << '\n';
    }
    out << "port: " << port << '\n';
    printTrigger(out, scopeSession);
}
