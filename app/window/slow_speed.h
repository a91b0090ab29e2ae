#pragma once

#include <cstdint>
#include <string>

#include "core/scope_session.h"

// The Slow speed's slider: its positions run from the longest delay Slow uses (left, "Slower") to
// the shortest (right, "Faster"), in about even ratios from one delay to the next, so that a step
// changes the rate by about as much wherever it is taken. The ratios are even on either side of
// the standard delay, which has a position of its own; each position has a delay of its own.
inline constexpr int kSlowSliderPositions = 54;
inline constexpr int kStandardSlowPosition = 33;
inline constexpr int32_t kLongestSlowDelay = 500;
inline constexpr int32_t kShortestSlowDelay = 10;

// The delay, in delay units, at slider `position` (0 to kSlowSliderPositions, kept within).
int32_t slowDelayAt(int position);

// The position that shows `delayUnits`: the one whose delay is nearest.
int slowSliderPosition(int32_t delayUnits);

// The most samples a second Slow can take with `delayUnits` when one delay unit lasts
// `unitSeconds`: the port's reads come on top. "up to 41.67 kHz"; empty without a unit's time.
std::string slowRateText(int32_t delayUnits, double unitSeconds);
