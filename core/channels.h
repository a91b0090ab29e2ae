#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// The five channels, channel 1 first: status bit 3 + n - 1 of the register, the status line and
// its connector pin. Bits 0 to 2 are stored as read and never drawn.
inline constexpr int kChannelCount = 5;
inline constexpr uint8_t kChannelBits[kChannelCount] = {0x08, 0x10, 0x20, 0x40, 0x80};
inline constexpr std::array<std::string_view, kChannelCount> kChannelNames{
    "Error", "Select", "Out Of Paper", "Acknowledge", "Busy"};
inline constexpr std::array<int, kChannelCount> kChannelPins{15, 13, 12, 10, 11};
