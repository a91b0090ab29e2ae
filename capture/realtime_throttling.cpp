#include "capture/realtime_throttling.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

// The whole number at the start of `text` (after blanks); false when there is none.
bool leadingNumber(const std::string& text, long long& number) {
    const size_t start = text.find_first_not_of(" \t\n");
    if (start == std::string::npos) {
        return false;
    }
    const char* end = text.data() + text.size();
    return std::from_chars(text.data() + start, end, number).ec == std::errc{};
}

std::string fileText(const char* path) {
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace

RealTimeBandwidth parseBandwidth(const std::string& runtimeText, const std::string& periodText) {
    long long runtime = 0;
    long long period = 0;
    if (!leadingNumber(runtimeText, runtime) || !leadingNumber(periodText, period) || runtime < 0 ||
        period <= 0 || runtime >= period) {
        return RealTimeBandwidth{};
    }
    return RealTimeBandwidth{runtime, period};
}

RealTimeBandwidth machineBandwidth() {
    return parseBandwidth(fileText("/proc/sys/kernel/sched_rt_runtime_us"),
                          fileText("/proc/sys/kernel/sched_rt_period_us"));
}

std::string throttlingNote(const RealTimeBandwidth& bandwidth, double loopSeconds) {
    if (bandwidth.runtimeUs < 0 || loopSeconds * 1e6 <= static_cast<double>(bandwidth.runtimeUs)) {
        return {};
    }
    char note[300];
    std::snprintf(
        note, sizeof note,
        "the kernel lets a real-time thread run %g s of every %g s "
        "(kernel.sched_rt_runtime_us), so a loop of %.3f s may be paused for %g s in each; "
        "the gaps show where. sudo sysctl kernel.sched_rt_runtime_us=-1 lifts the limit",
        static_cast<double>(bandwidth.runtimeUs) * 1e-6,
        static_cast<double>(bandwidth.periodUs) * 1e-6, loopSeconds,
        static_cast<double>(bandwidth.periodUs - bandwidth.runtimeUs) * 1e-6);
    return note;
}
