#pragma once

#include <cstdint>
#include <string>

#include "core/channel_looks.h"
#include "core/uniform_grid.h"

// A sigrok session file (.sr) as sigrok-cli and PulseView open it without options: a zip of
// "version" (2), "metadata" (the sample rate, the five channels by `names`, one byte per sample)
// and "logic-1-1", the samples on `grid`, channel n in bit n - 1 at the level the register
// shows (Busy as read, as the traces show it). False with `error` when the grid's rate is
// below 1 Hz or the zip cannot be made.
bool sigrokSessionBytes(const uint8_t* samples, uint32_t count, const UniformGrid& grid,
                        std::string& bytes, std::string& error,
                        const ChannelNames& names = defaultChannelNames());
