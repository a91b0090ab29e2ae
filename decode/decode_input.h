#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/uniform_grid.h"

struct ScopeSession;

// What the decoders read: a copy of the recording, so that decoding may run on any thread while
// the session goes on. One byte per decoder sample, bit n the level of channel n + 1 at its
// connector pin (the register's Busy bit is the inverse of pin 11).
struct DecodeInput {
    std::vector<uint8_t> levels;
    uint64_t sampleRate = 0;  // hertz; 0 when the recording's time is unknown
    // Decoder sample k shows data index source[k]; empty: decoder sample k is data index k.
    std::vector<uint32_t> source;
    uint32_t dataCount = 0;  // samples in the recording
    // Decoder samples [first, second) during which the sampling stood still (the time base's
    // gaps): the grid repeats the sample before each.
    std::vector<std::pair<uint64_t, uint64_t>> stalls;
};

// The levels at the pins of one status register byte: channel 1 in bit 0.
inline uint8_t pinLevels(uint8_t sample) {
    return static_cast<uint8_t>((sample >> 3) ^ 0x10);
}

// `count` samples (at least one) put on `grid`.
DecodeInput makeDecodeInput(const uint8_t* samples, uint32_t count, UniformGrid grid);

// The session's recording on its grid (see sessionGrid), with the stalls of its gaps; false
// with `error` when no grid can be made.
bool sessionDecodeInput(const ScopeSession& session, DecodeInput& input, std::string& error);
