#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/channels.h"

// The classic trace colour, 0x00BBGGRR: green.
inline constexpr uint32_t kClassicTraceColour = 0x0000FF00;

// How the user sees a channel: the name it goes by everywhere (labels, readout, exports,
// decoders' channel lists), the colour of its trace, and whether its trace is drawn.
struct ChannelLook {
    std::string name;
    uint32_t colour = kClassicTraceColour;
    bool shown = true;
    bool operator==(const ChannelLook&) const = default;
};

using ChannelLooks = std::array<ChannelLook, kChannelCount>;
using ChannelNames = std::array<std::string, kChannelCount>;

// The status lines' names, the classic green, all shown: the picture as it always was.
ChannelLooks defaultChannelLooks();
ChannelNames defaultChannelNames();

ChannelNames namesOf(const ChannelLooks& looks);

// A colour as the settings keep it, "#00ff00", and back; none for anything else.
std::string colourText(uint32_t colour);
std::optional<uint32_t> parseColourText(std::string_view text);

// A name as the user typed it, made fit to show: control characters and blanks at either end go,
// an empty name falls back to the channel's own.
std::string tidyChannelName(std::string_view typed, int channel);
