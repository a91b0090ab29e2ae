#pragma once

#include <cstdint>
#include <optional>

// A change of the channels in `mask` is the first sample of new levels there: index i whose bits
// in `mask` differ from those of sample i - 1. One channel's changes are its edges.

// The first change after `from` (from < i < length); none when the levels hold to the end.
std::optional<uint32_t> nextChange(const uint8_t* samples, uint32_t length, uint32_t from,
                                   uint8_t mask);

// The last change before `from` (0 < i < from, from taken as at most length); none when the
// levels held from the first sample.
std::optional<uint32_t> previousChange(const uint8_t* samples, uint32_t length, uint32_t from,
                                       uint8_t mask);
