#include "cli/option_values.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>

namespace {

bool equalNoCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

bool parseSampleCount(std::string_view text, int32_t& count) {
    int32_t value = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (status != std::errc() || end != text.data() + text.size() || value < 1) {
        return false;
    }
    count = value;
    return true;
}

bool parsePreTriggerShare(std::string_view text, uint8_t& percent) {
    constexpr uint8_t kShares[] = {0, 10, 25, 50, 75, 90};
    if (!text.empty() && text.back() == '%') {
        text.remove_suffix(1);
    }
    for (const uint8_t share : kShares) {
        if (text == std::to_string(share)) {
            percent = share;
            return true;
        }
    }
    return false;
}

bool parseChannelMask(std::string_view text, uint8_t& mask) {
    uint8_t result = 0;
    while (true) {
        const size_t comma = std::min(text.find(','), text.size());
        const std::string_view item = text.substr(0, comma);
        int channel = 0;
        const auto [end, status] = std::from_chars(item.data(), item.data() + item.size(), channel);
        if (item.empty() || status != std::errc() || end != item.data() + item.size() ||
            channel < 1 || channel > 5) {
            return false;
        }
        result |= static_cast<uint8_t>(0x08 << (channel - 1));
        if (comma == text.size()) {
            break;
        }
        text.remove_prefix(comma + 1);
    }
    mask = result;
    return true;
}

bool parseDelayUnits(std::string_view text, int32_t& delayUnits) {
    constexpr std::array<std::pair<std::string_view, int32_t>, 3> kSpeeds{
        {{"fastest", 0}, {"fast", 5}, {"slow", 50}}};
    for (const auto& [name, units] : kSpeeds) {
        if (equalNoCase(text, name)) {
            delayUnits = units;
            return true;
        }
    }
    return false;
}

bool readPeriodOption(const ParsedArguments& arguments, double shortest, double longest,
                      double& seconds) {
    if (!arguments.has("--period")) {
        return true;
    }
    double given = 0;
    if (!parseSeconds(arguments.value("--period"), given) || given < shortest || given > longest) {
        return false;
    }
    seconds = given;
    return true;
}
