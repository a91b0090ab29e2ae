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

std::string throttlingNote(const std::string& runtimeText, const std::string& periodText,
                           double loopSeconds) {
    long long runtime = 0;
    long long period = 0;
    if (!leadingNumber(runtimeText, runtime) || !leadingNumber(periodText, period) || runtime < 0 ||
        period <= 0 || runtime >= period || loopSeconds * 1e6 <= runtime) {
        return {};
    }
    char note[300];
    std::snprintf(
        note, sizeof note,
        "the kernel lets a real-time thread run %g s of every %g s "
        "(kernel.sched_rt_runtime_us), so a loop of %.3f s may be paused for %g s in each; "
        "the gaps show where. sudo sysctl kernel.sched_rt_runtime_us=-1 lifts the limit",
        runtime * 1e-6, period * 1e-6, loopSeconds, (period - runtime) * 1e-6);
    return note;
}

std::string realTimeThrottling(double loopSeconds) {
    return throttlingNote(fileText("/proc/sys/kernel/sched_rt_runtime_us"),
                          fileText("/proc/sys/kernel/sched_rt_period_us"), loopSeconds);
}
