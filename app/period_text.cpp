#include "app/period_text.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace {

struct Unit {
    std::string_view name;
    double seconds;
};

constexpr std::array<Unit, 6> kUnits{
    {{"s", 1}, {"ms", 1e-3}, {"us", 1e-6}, {"ns", 1e-9}, {"ps", 1e-12}, {"fs", 1e-15}}};

constexpr std::string_view kMicro = "\u00b5s";

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
    if (unit.empty()) {
        return 1;
    }
    if (unit == kMicro) {
        return 1e-6;
    }
    for (const Unit& known : kUnits) {
        if (unit == known.name) {
            return known.seconds;
        }
    }
    return 0;
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
