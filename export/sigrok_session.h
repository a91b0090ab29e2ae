#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/channel_looks.h"
#include "core/uniform_grid.h"

// A sigrok session file (.sr) as sigrok-cli and PulseView open it without options: a zip of
// "version" (2), "metadata" (the sample rate, the five channels by `names`, one byte per sample)
// and "logic-1-1", the samples on `grid`, channel n in bit n - 1 at the level the register
// shows (Busy as read, as the traces show it). False with `error` when the grid's rate is
// below 1 Hz or the zip cannot be made. With a `trigger` (an index into `samples`) the metadata
// also names the session's sample that shows it and that sample's time: "trigger sample=15000",
// "trigger time=0.015 s".
bool sigrokSessionBytes(const uint8_t* samples, uint32_t count, const UniformGrid& grid,
                        std::optional<uint32_t> trigger, std::string& bytes, std::string& error,
                        const ChannelNames& names = defaultChannelNames());

// The "metadata" of such a session at `hertz`.
std::string sigrokMetadata(uint64_t hertz, const ChannelNames& names = defaultChannelNames());

// The keys that name the session's sample `sample` as its trigger point, and its time at `hertz`:
// "trigger sample=15000", "trigger time=0.015 s".
std::string sigrokTriggerKeys(uint64_t sample, uint64_t hertz);

// The samples on `grid` as a "logic-1-N" file holds them: channel n of a status byte in bit n - 1.
std::string sigrokLogicBytes(const uint8_t* samples, uint32_t count, const UniformGrid& grid);
