#pragma once

#include <cstdint>
#include <optional>
#include <string>

class TimeBase;

// The run of one level of a channel that holds a sample, between the edges around it, and the
// run after it: together they are one cycle of the signal.
struct Pulse {
    bool high = false;
    uint32_t start = 0;                // the edge it starts with
    uint32_t end = 0;                  // the edge it ends with
    std::optional<uint32_t> cycleEnd;  // the edge that ends the run after it

    bool operator==(const Pulse&) const = default;
};

// The pulse of bit `bit` that holds sample `index`; none when the data's start or end cuts it.
std::optional<Pulse> pulseAt(const uint8_t* samples, uint32_t length, uint32_t index, uint8_t bit);

// "High pulse 12.00 µs, period 25.00 µs, duty 48.0 %": times between the edges from the time
// base (sample numbers there are index + origin); counted in samples without one (null). A time
// across a gap says so ("5.205 ms across 1 gap"), and the duty is left out.
std::string pulseText(const Pulse& pulse, const TimeBase* timeBase, uint32_t origin);

// The readout's last line for sample `index` (into the session's samples) of channel `channel`
// (0 for channel 1), with its line break; empty where no whole pulse holds it.
std::string pulseReadoutLine(uint32_t index, int channel);
