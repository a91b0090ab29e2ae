#include "core/channel_looks.h"

#include <cctype>
#include <charconv>
#include <cstdio>

ChannelLooks defaultChannelLooks() {
    ChannelLooks looks;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        looks[static_cast<size_t>(channel)].name = std::string(kChannelNames[channel]);
    }
    return looks;
}

ChannelNames defaultChannelNames() {
    return namesOf(defaultChannelLooks());
}

ChannelNames namesOf(const ChannelLooks& looks) {
    ChannelNames names;
    for (size_t channel = 0; channel < names.size(); ++channel) {
        names[channel] = looks[channel].name;
    }
    return names;
}

std::string tidyChannelName(std::string_view typed, int channel) {
    std::string name;
    for (const char c : typed) {
        if (!std::iscntrl(static_cast<unsigned char>(c))) {
            name += c;
        }
    }
    const size_t first = name.find_first_not_of(' ');
    if (first == std::string::npos) {
        return std::string(kChannelNames[channel]);
    }
    return name.substr(first, name.find_last_not_of(' ') - first + 1);
}

std::string colourText(uint32_t colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colour & 0xFF, (colour >> 8) & 0xFF,
                  (colour >> 16) & 0xFF);
    return text;
}

std::optional<uint32_t> parseColourText(std::string_view text) {
    uint32_t rgb = 0;
    const char* end = text.data() + text.size();
    if (text.size() != 7 || text.front() != '#' ||
        std::from_chars(text.data() + 1, end, rgb, 16).ptr != end) {
        return std::nullopt;
    }
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}
