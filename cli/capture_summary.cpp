#include "cli/capture_summary.h"

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <vector>

#include "capture/realtime_throttling.h"
#include "core/scope_session.h"
#include "core/time_base.h"

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

// "gaps: 2, the longest 0.300112 s before sample 201234, 3 reads failed".
void printGaps(std::ostream& out, const TimeBase& timeBase) {
    const std::vector<TimeGap>& gaps = timeBase.gaps();
    out << "gaps: " << gaps.size();
    const auto longest = std::max_element(
        gaps.begin(), gaps.end(),
        [](const auto& a, const auto& b) { return a.nanoseconds < b.nanoseconds; });
    if (longest != gaps.end() && longest->nanoseconds > 0) {
        out << ", the longest "
            << secondsText(static_cast<double>(longest->nanoseconds) * kSecondsPerNanosecond)
            << " before sample " << longest->sample;
    }
    uint64_t failed = 0;
    for (const TimeGap& gap : gaps) {
        failed += gap.failedReads;
    }
    if (failed > 0) {
        out << ", " << failed << (failed == 1 ? " read" : " reads") << " failed";
    }
    out << '\n';
}

}  // namespace

void printCaptureSummary(std::ostream& out, const std::string& port, uint32_t kept,
                         double seconds) {
    const TimeBase& timeBase = scopeSession.timeBase;
    char head[120];
    std::snprintf(head, sizeof head, "samples: %u\nelapsed: %.6f s%s\n", kept, seconds,
                  scopeSession.portTriggerMask != 0 ? " (trigger wait included)" : "");
    out << head;
    printPace(out, timeBase);
    printGaps(out, timeBase);
    if (scopeSession.realTimeLoop) {
        const std::string note = throttlingNote(machineBandwidth(), timeBase.meanPeriod() * kept);
        if (!note.empty()) {
            out << "throttling: " << note << '\n';
        }
    }
    out << "port: " << port << '\n';
}
