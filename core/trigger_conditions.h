#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/channels.h"

// What one channel's trigger waits for. An edge is seen between a sample and the one before it,
// a level on the sample itself.
enum class TriggerCondition : uint8_t {
    NotUsed,
    Rising,
    Falling,
    EitherEdge,  // a change either way: what a ticked Port box means
    High,
    Low,
};

using ChannelConditions = std::array<TriggerCondition, kChannelCount>;

// The conditions other than "either edge" in 3 bits per channel, channel 1 lowest, so that the
// session can hand them to the worker in one atomic word. Either edge is the Port boxes' mask.
uint16_t packConditions(const ChannelConditions& conditions);
ChannelConditions unpackConditions(uint16_t packed);

// A channel with a condition of its own in `packed` has that one; else a ticked box in
// `portMask` (channel bits) means either edge; else it is not used.
ChannelConditions effectiveConditions(uint8_t portMask, uint16_t packed);

// The conditions as masks over the status byte, for the sample loops.
struct TriggerMatch {
    uint8_t levelMask = 0;    // channels with a level condition
    uint8_t levelValue = 0;   // the levels they want
    uint8_t riseMask = 0;     // each of these must rise
    uint8_t fallMask = 0;     // each of these must fall
    uint8_t anyEdgeMask = 0;  // one of these at least must change

    bool used() const { return (levelMask | riseMask | fallMask | anyEdgeMask) != 0; }
    // Whether the first read of a wait fires it on its own: levels only, all of them holding.
    bool holdsAtStart(uint8_t first) const {
        return (riseMask | fallMask | anyEdgeMask) == 0 && levelMask != 0 &&
               (first & levelMask) == levelValue;
    }
    // Whether every condition holds on `now`, read right after `before`.
    bool holds(uint8_t before, uint8_t now) const {
        const uint8_t changed = before ^ now;
        return (now & levelMask) == levelValue && (changed & now & riseMask) == riseMask &&
               (changed & before & fallMask) == fallMask &&
               (anyEdgeMask == 0 || (changed & anyEdgeMask) != 0);
    }
};

TriggerMatch compileTrigger(const ChannelConditions& conditions);

// sigrok's letter for a condition (0, 1, r, f, e); ' ' for not used.
char triggerLetter(TriggerCondition condition);

// Reads "2=f,4=1": channel numbers 1 to 5, each with a letter 0, 1, r, f or e; a channel alone
// is "e". Every other channel is not used. False on a bad letter, a channel out of range or
// named twice, or an empty item.
bool parseTriggerLetters(std::string_view text, ChannelConditions& conditions);

// "Waits for Out Of Paper to rise while Busy is high.": what a capture with `conditions` waits
// for, in words.
std::string describeTrigger(const ChannelConditions& conditions);
