#include "decode/channel_names.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

#include "core/channels.h"
#include "core/lower_case.h"

namespace {

constexpr std::array<std::string_view, kChannelCount> kShortNames{"error", "select", "paperout",
                                                                  "ack", "busy"};
// The names the exports give the channels, "Out_Of_Paper", so that a name sigrok shows works.
constexpr std::array<std::string_view, kChannelCount> kLongNames{"error", "select", "out_of_paper",
                                                                 "acknowledge", "busy"};

// "13" as a whole number without sign or blanks.
std::optional<int> wholeNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 2 ||
        !std::all_of(digits.begin(), digits.end(),
                     [](unsigned char c) { return std::isdigit(c) != 0; })) {
        return std::nullopt;
    }
    return std::stoi(std::string(digits));
}

std::optional<int> indexOf(std::string_view name) {
    for (int index = 0; index < kChannelCount; ++index) {
        if (name == kShortNames[index] || name == kLongNames[index]) {
            return index;
        }
    }
    return std::nullopt;
}

std::optional<int> indexOfPin(int pin) {
    const auto found = std::find(kChannelPins.begin(), kChannelPins.end(), pin);
    if (found == kChannelPins.end()) {
        return std::nullopt;
    }
    return static_cast<int>(found - kChannelPins.begin());
}

}  // namespace

std::optional<int> parseChannel(std::string_view text) {
    const std::string name = lowerCase(text);
    if (const std::optional<int> index = indexOf(name)) {
        return index;
    }
    if (name.rfind("pin", 0) == 0) {
        const std::optional<int> pin = wholeNumber(std::string_view(name).substr(3));
        return pin ? indexOfPin(*pin) : std::nullopt;
    }
    const std::optional<int> number = wholeNumber(name);
    if (number && *number >= 1 && *number <= kChannelCount) {
        return *number - 1;
    }
    return std::nullopt;
}

std::string_view channelShortName(int index) {
    return kShortNames[static_cast<size_t>(index)];
}
