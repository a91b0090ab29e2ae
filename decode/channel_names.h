#pragma once

#include <optional>
#include <string_view>

// A channel as a user names it for a decoder: by its short name ("select"), by its connector pin
// ("pin13") or by its number ("2"), in any case. Gives its index, 0 for channel 1.
std::optional<int> parseChannel(std::string_view text);

// The short name of the channel at `index` (0 to 4): "error", "select", "paperout", "ack", "busy".
std::string_view channelShortName(int index);

// For messages: what parseChannel takes.
inline constexpr std::string_view kChannelChoices =
    "error, select, paperout, ack, busy; pin15, pin13, pin12, pin10, pin11; or 1 to 5";
