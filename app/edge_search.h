#pragma once

#include <cstdint>
#include <optional>

class WindowSystem;

// An edge of a channel is the first sample of a new level: index i with bit `bit` of sample i
// unlike that of sample i - 1.

// The first edge after `from` (from < i < length); none when the level holds to the end.
std::optional<uint32_t> nextEdge(const uint8_t* samples, uint32_t length, uint32_t from,
                                 uint8_t bit);
// The last edge before `from` (0 < i < from, from clamped to length); none when the level held
// from the first sample.
std::optional<uint32_t> previousEdge(const uint8_t* samples, uint32_t length, uint32_t from,
                                     uint8_t bit);

// `.` and `,` with the pointer on channel `channel` (0 for channel 1): the marker goes to the
// next (or previous) edge of that channel, counted from the marker or, without one, from the
// first (or last) sample on screen, and the view scrolls to the edge when it is not on screen.
// With no edge that way, or no data, it beeps and changes nothing.
void jumpToEdge(WindowSystem& mainWindow, int channel, bool forward);
