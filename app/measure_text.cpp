#include "app/measure_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string_view>

namespace {

struct Unit {
    int exponent;  // the unit is 10^exponent of the base unit
    std::string_view name;
};

constexpr Unit kTimeUnits[] = {{0, "s"}, {-3, "ms"}, {-6, "\u00b5s"}, {-9, "ns"}};
constexpr Unit kFrequencyUnits[] = {{9, "GHz"}, {6, "MHz"}, {3, "kHz"}, {0, "Hz"}};
constexpr int kSignificantDigits = 4;
constexpr int kMostDecimals = 6;

// `units` run from the largest to the smallest; values below the smallest stay in it.
std::string formatScaled(double value, std::span<const Unit> units) {
    if (value == 0) {
        const auto base = std::find_if(units.begin(), units.end(),
                                       [](const Unit& unit) { return unit.exponent == 0; });
        return "0 " + std::string(base->name);
    }
    // Rounded to four significant digits first, so that 999.96 ms becomes 1.000 s.
    char scientific[32];
    std::snprintf(scientific, sizeof scientific, "%.*e", kSignificantDigits - 1, std::fabs(value));
    const double rounded = std::strtod(scientific, nullptr);
    const int exponent = std::atoi(std::strchr(scientific, 'e') + 1);
    const Unit* unit = &units.back();
    for (const Unit& candidate : units) {
        if (exponent >= candidate.exponent) {
            unit = &candidate;
            break;
        }
    }
    const int decimals =
        std::clamp(kSignificantDigits - 1 - (exponent - unit->exponent), 0, kMostDecimals);
    char text[64];
    std::snprintf(text, sizeof text, "%s%.*f %.*s", value < 0 ? "-" : "", decimals,
                  rounded / std::pow(10.0, unit->exponent), static_cast<int>(unit->name.size()),
                  unit->name.data());
    return text;
}

}  // namespace

std::string formatSeconds(double seconds) {
    return formatScaled(seconds, kTimeUnits);
}

std::string formatHertz(double hertz) {
    return formatScaled(hertz, kFrequencyUnits);
}
