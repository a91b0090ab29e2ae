#include "core/whole_hertz.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/uniform_grid.h"

WholeHertzFit wholeHertzFit(double periodSeconds, uint64_t count) {
    WholeHertzFit fit;
    fit.hertz = rateForPeriod(periodSeconds);
    const double rate = 1.0 / periodSeconds;
    const double below = std::max(1.0, std::floor(rate));
    const double above = std::max(1.0, std::ceil(rate));
    fit.nearestPeriod =
        std::abs(1.0 / below - periodSeconds) <= std::abs(1.0 / above - periodSeconds)
            ? 1.0 / below
            : 1.0 / above;
    if (fit.hertz > 0) {
        // Sample n is at n / hertz instead of n * period: off by n * |1 / (hertz * period) - 1|.
        fit.samplesOff = static_cast<double>(count) *
                         std::abs(1.0 / (static_cast<double>(fit.hertz) * periodSeconds) - 1.0);
    }
    return fit;
}

std::string wholeHertzProblem(double periodSeconds, uint64_t count, std::string_view keeper) {
    const WholeHertzFit fit = wholeHertzFit(periodSeconds, count);
    if (fit.fits()) {
        return {};
    }
    char text[160];
    std::snprintf(text, sizeof text,
                  "not a whole number of hertz (%g Hz), which %.*s: the nearest period that is, "
                  "is %.9g s",
                  1.0 / periodSeconds, static_cast<int>(keeper.size()), keeper.data(),
                  fit.nearestPeriod);
    return text;
}
