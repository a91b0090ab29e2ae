#include "core/measure_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>

namespace {

// One unit: 10^exponent of the base unit (the second, the hertz), which is `size` of it.
struct Unit {
    int exponent;
    double size;
    std::string_view name;
    std::string_view ascii;  // for files that take ASCII only
};

constexpr Unit kTimeUnits[] = {
    {0, 1, "s", "s"},       {-3, 1e-3, "ms", "ms"},   {-6, 1e-6, "\u00b5s", "us"},
    {-9, 1e-9, "ns", "ns"}, {-12, 1e-12, "ps", "ps"}, {-15, 1e-15, "fs", "fs"}};
constexpr Unit kFrequencyUnits[] = {
    {9, 1e9, "GHz", "GHz"}, {6, 1e6, "MHz", "MHz"}, {3, 1e3, "kHz", "kHz"}, {0, 1, "Hz", "Hz"}};

// What a recording's times need on screen: s down to ns.
constexpr std::span<const Unit> kShownTimeUnits{kTimeUnits, 4};

constexpr int kSignificantDigits = 4;
constexpr int kMostDecimals = 6;
constexpr int kMostStepDecimals = 9;

// `units` run from the largest to the smallest: the first one `magnitude` reaches, else the
// smallest.
const Unit& unitFor(double magnitude, std::span<const Unit> units) {
    const auto reached = std::find_if(units.begin(), units.end(),
                                      [&](const Unit& unit) { return magnitude >= unit.size; });
    return reached != units.end() ? *reached : units.back();
}

uint64_t powerOfTen(int exponent) {
    uint64_t value = 1;
    for (int i = 0; i < exponent; ++i) {
        value *= 10;
    }
    return value;
}

// A value other than 0 (which is written without a sign).
const char* signOf(double value, Sign sign) {
    if (value < 0) {
        return "-";
    }
    return sign == Sign::Always ? "+" : "";
}

std::string formatSignificant(double value, std::span<const Unit> units, Sign sign) {
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
    const Unit& unit = unitFor(rounded, units);
    const int decimals =
        std::clamp(kSignificantDigits - 1 - (exponent - unit.exponent), 0, kMostDecimals);
    char text[64];
    std::snprintf(text, sizeof text, "%s%.*f %.*s", signOf(value, sign), decimals,
                  rounded / unit.size, static_cast<int>(unit.name.size()), unit.name.data());
    return text;
}

}  // namespace

std::string formatSeconds(double seconds, Sign sign) {
    return formatSignificant(seconds, kShownTimeUnits, sign);
}

std::string formatHertz(double hertz) {
    return formatSignificant(hertz, kFrequencyUnits, Sign::IfNegative);
}

std::string formatSecondsToStep(double seconds, double step, double largest) {
    const Unit& unit = unitFor(std::fabs(largest), kShownTimeUnits);
    const double inUnit = step / unit.size;
    const int decimals =
        std::clamp(static_cast<int>(std::ceil(-std::log10(inUnit) - 1e-9)), 0, kMostStepDecimals);
    char text[48];
    std::snprintf(text, sizeof text, "%.*f %.*s", decimals, seconds / unit.size,
                  static_cast<int>(unit.name.size()), unit.name.data());
    return text;
}

double secondsPerUnit(std::string_view unit) {
    for (const Unit& known : kTimeUnits) {
        if (unit == known.name || unit == known.ascii) {
            return known.size;
        }
    }
    return 0;
}

std::string powerOfTenSecondsText(int exponent) {
    const auto unit = std::find_if(std::begin(kTimeUnits), std::end(kTimeUnits),
                                   [&](const Unit& u) { return u.exponent <= exponent; });
    const Unit& chosen =
        unit != std::end(kTimeUnits) ? *unit : kTimeUnits[std::size(kTimeUnits) - 1];
    return std::to_string(powerOfTen(exponent - chosen.exponent)) + " " + std::string(chosen.ascii);
}

std::string exactSecondsText(uint64_t count, int exponent) {
    if (exponent >= 0) {
        return std::to_string(count * powerOfTen(exponent));
    }
    const int decimals = -exponent;
    const uint64_t scale = powerOfTen(decimals);
    const std::string fraction = std::to_string(count % scale);
    return std::to_string(count / scale) + "." +
           std::string(static_cast<size_t>(decimals) - fraction.size(), '0') + fraction;
}

std::string exactHertzText(uint64_t hertz) {
    const Unit& chosen = unitFor(static_cast<double>(hertz), kFrequencyUnits);
    const uint64_t divisor = powerOfTen(chosen.exponent);
    std::string fraction = std::to_string(hertz % divisor + divisor).substr(1);
    while (!fraction.empty() && fraction.back() == '0') {
        fraction.pop_back();
    }
    return std::to_string(hertz / divisor) + (fraction.empty() ? "" : "." + fraction) + " " +
           std::string(chosen.name);
}

std::string samplesText(uint64_t count) {
    return std::to_string(count) + (count == 1 ? " sample" : " samples");
}
