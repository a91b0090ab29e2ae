#include "core/uniform_grid.h"

#include <algorithm>
#include <cmath>

#include "core/scope_session.h"

namespace {

constexpr double kEvenTolerance = 0.02;
// secondsAt and sampleAt round-trip to within rounding; a sample number this close below a
// whole one is that one.
constexpr double kSampleSlack = 1e-6;

}  // namespace

bool evenlySampled(const TimeBase& timeBase) {
    if (!timeBase.known() || !timeBase.gaps().empty()) {
        return false;
    }
    const TimeMark* marks = timeBase.marks();
    const size_t count = timeBase.markCount();
    const double mean = nanosecondsPerSample(marks[0], marks[count - 1]);
    for (size_t i = 1; i < count; ++i) {
        if (std::abs(nanosecondsPerSample(marks[i - 1], marks[i]) - mean) > kEvenTolerance * mean) {
            return false;
        }
    }
    return true;
}

double steadyPeriod(const TimeBase& timeBase) {
    if (!timeBase.known()) {
        return 0;
    }
    const TimeMark& first = timeBase.marks()[0];
    const TimeMark& last = timeBase.marks()[timeBase.markCount() - 1];
    double nanoseconds = static_cast<double>(last.nanoseconds - first.nanoseconds);
    for (const TimeGap& gap : timeBase.gaps()) {
        nanoseconds -= static_cast<double>(gap.nanoseconds);
    }
    return nanoseconds / (last.sample - first.sample) * kSecondsPerNanosecond;
}

bool resampleOntoGrid(const TimeBase& timeBase, uint32_t origin, uint32_t count,
                      UniformGrid& grid) {
    const double period = steadyPeriod(timeBase);
    if (period <= 0 || count == 0) {
        return false;
    }
    const double start = timeBase.secondsAt(origin);
    const double span = timeBase.secondsAt(static_cast<double>(origin) + count) - start;
    const double points = std::floor(span / period + kSampleSlack);
    if (!(points >= 1 && points <= static_cast<double>(kMaxGridSamples))) {
        return false;
    }
    grid.periodSeconds = period;
    grid.source.resize(static_cast<size_t>(points));
    for (size_t k = 0; k < grid.source.size(); ++k) {
        const double sample = timeBase.sampleAt(start + static_cast<double>(k) * period);
        const double index = std::floor(sample + kSampleSlack) - origin;
        grid.source[k] =
            static_cast<uint32_t>(std::clamp(index, 0.0, static_cast<double>(count - 1)));
    }
    return true;
}

bool sessionGrid(const ScopeSession& session, UniformGrid& grid) {
    grid = UniformGrid{};
    if (evenlySampled(session.timeBase)) {
        grid.periodSeconds = session.timeBase.meanPeriod();
        return true;
    }
    if (session.timeBase.known()) {
        return resampleOntoGrid(session.timeBase, session.sampleOrigin, session.sampleLength, grid);
    }
    return true;
}

uint64_t rateForPeriod(double periodSeconds) {
    if (!(periodSeconds > 0)) {
        return 0;
    }
    const double rate = 1.0 / periodSeconds;
    return rate >= 1 && rate < 1e18 ? static_cast<uint64_t>(std::round(rate)) : 0;
}
