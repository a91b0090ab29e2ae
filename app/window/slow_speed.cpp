#include "app/window/slow_speed.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/measure_text.h"

int32_t slowDelayAt(int position) {
    const int p = std::clamp(position, 0, kSlowSliderPositions);
    const bool slower = p <= kStandardSlowPosition;
    const double from = slower ? kLongestSlowDelay : kStandardSlowDelay;
    const double to = slower ? kStandardSlowDelay : kShortestSlowDelay;
    const double share = slower ? static_cast<double>(p) / kStandardSlowPosition
                                : static_cast<double>(p - kStandardSlowPosition) /
                                      (kSlowSliderPositions - kStandardSlowPosition);
    return static_cast<int32_t>(std::lround(from * std::pow(to / from, share)));
}

int slowSliderPosition(int32_t delayUnits) {
    int best = 0;
    for (int position = 1; position <= kSlowSliderPositions; ++position) {
        if (std::abs(slowDelayAt(position) - delayUnits) <
            std::abs(slowDelayAt(best) - delayUnits)) {
            best = position;
        }
    }
    return best;
}

std::string slowRateText(int32_t delayUnits, double unitSeconds) {
    const double period = delayUnits * unitSeconds;
    return period > 0 ? "up to " + formatHertz(1 / period) : std::string();
}
