#include "app/readout/period_text.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "core/measure_text.h"

namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

// Seconds in one `unit`; 0 for a unit it does not know. No unit is seconds.
double unitSeconds(std::string_view unit) {
    return unit.empty() ? 1 : secondsPerUnit(unit);
}

}  // namespace

std::string parsePeriodText(std::string_view text, double& seconds) {
    const std::string copy(trimmed(text));
    char* end = nullptr;
    const double number = std::strtod(copy.c_str(), &end);
    const double unit = unitSeconds(trimmed(std::string_view(end)));
    if (end == copy.c_str() || unit == 0 || !std::isfinite(number) || number <= 0) {
        return "Give the time between two samples, such as 1 us, 2.5 ms or 100 ns.";
    }
    const double value = number * unit;
    if (value < kShortestPeriodSeconds || value > kLongestPeriodSeconds) {
        return "The time between two samples must lie between 1 fs and 1 s.";
    }
    seconds = value;
    return {};
}
