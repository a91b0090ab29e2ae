#include "app/document/recording_goal.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>

bool parseSeconds(std::string_view text, double& seconds) {
    const std::string copy(text);
    char* end = nullptr;
    const double value = std::strtod(copy.c_str(), &end);
    if (copy.empty() || std::isspace(static_cast<unsigned char>(copy.front())) ||
        end != copy.c_str() + copy.size() || !std::isfinite(value) || value <= 0) {
        return false;
    }
    seconds = value;
    return true;
}

namespace {

// `text` as a number followed by one of `units` (a factor each); false for anything else.
template <size_t N>
bool parseScaled(std::string_view text,
                 const std::array<std::pair<std::string_view, double>, N>& units, double& value) {
    for (const auto& [unit, factor] : units) {
        if (text.size() > unit.size() && text.ends_with(unit)) {
            double number = 0;
            if (parseSeconds(text.substr(0, text.size() - unit.size()), number)) {
                value = number * factor;
                return true;
            }
        }
    }
    return false;
}

}  // namespace

bool parseDuration(std::string_view text, double& seconds) {
    // "min" before "s" and "ms" before "s", so that a shorter unit never takes a longer one's end.
    static constexpr std::array<std::pair<std::string_view, double>, 4> kUnits{
        {{"ms", 1e-3}, {"min", 60}, {"h", 3600}, {"s", 1}}};
    return parseScaled(text, kUnits, seconds) || parseSeconds(text, seconds);
}

bool parseGoalSamples(std::string_view text, uint64_t& samples) {
    static constexpr std::array<std::pair<std::string_view, double>, 3> kUnits{
        {{"k", 1e3}, {"M", 1e6}, {"G", 1e9}}};
    double value = 0;
    if (!parseScaled(text, kUnits, value) && !parseSeconds(text, value)) {
        return false;
    }
    if (value != std::floor(value) || value < 1 || value > static_cast<double>(kMostGoalSamples)) {
        return false;
    }
    samples = static_cast<uint64_t>(value);
    return true;
}
