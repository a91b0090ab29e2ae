#include "capture/realtime_throttling.h"

#include <algorithm>
#include <charconv>
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

std::vector<PauseRule> throttlingPause(const RealTimeBandwidth& bandwidth) {
    if (bandwidth.runtimeUs < 0 || bandwidth.periodUs <= bandwidth.runtimeUs) {
        return {};
    }
    const int64_t margin = std::min(bandwidth.periodUs / 50, bandwidth.runtimeUs / 2);
    constexpr uint64_t kNsPerUs = 1000;
    return {PauseRule{
        static_cast<uint64_t>(bandwidth.runtimeUs - margin) * kNsPerUs,
        static_cast<uint64_t>(bandwidth.periodUs - bandwidth.runtimeUs + margin) * kNsPerUs}};
}
