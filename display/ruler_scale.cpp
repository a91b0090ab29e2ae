#include "display/ruler_scale.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>

#include "core/measure_text.h"
#include "core/time_base.h"
#include "display/gap_marks.h"
#include "display/trace_readout.h"

namespace {

// Parts a step is cut into by the ticks between labelled ones: fifths of a step of 1 or 5,
// quarters of a step of 2; for sample numbers, only into whole samples.
int subdivisions(double step, bool wholeNumbers) {
    const double leading = step / std::pow(10.0, std::floor(std::log10(step)));
    int parts = std::lround(leading) == 2 ? 4 : 5;
    while (wholeNumbers && parts > 1 && std::fmod(step, parts) != 0) {
        --parts;
    }
    return parts;
}

// The view's left edge and how many samples (fractional above 1:1) one pixel holds.
struct PixelScale {
    double first;
    double samplesPerPixel;

    int x(double sample) const {
        return static_cast<int>(std::lround((sample - first) / samplesPerPixel));
    }
};

// How the ruler's values (seconds or sample numbers) lie on the view: `xOf` places a value;
// `resume` gives, for a value inside a stretch the view draws no room for (a gap on the sample
// axis), the first value after that stretch, and the value itself anywhere else.
struct TickAxis {
    std::function<int(double)> xOf;
    std::function<std::string(double)> label;
    std::function<double(double)> resume;
};

// Ticks every step / parts over [from, to]; a labelled one every `parts`. Ticks that crowd into
// one place (a gap) are drawn once, and the values inside the gap are stepped over; a label
// that would stand closer than `minSpacing` to the one before it is left out.
void addTicks(RulerScale& scale, double from, double to, double step, int parts, int minSpacing,
              const TickAxis& axis) {
    const double minor = step / parts;
    int lastLabelled = INT_MIN / 2;
    int lastX = INT_MIN;
    for (auto n = static_cast<int64_t>(std::ceil(from / minor)); n * minor <= to; ++n) {
        const int x = axis.xOf(n * minor);
        if (x == lastX) {
            const double after = axis.resume(n * minor);
            n = std::max(n, static_cast<int64_t>(std::ceil(after / minor)) - 1);
            continue;
        }
        lastX = x;
        const bool labelled = n % parts == 0 && x - lastLabelled >= minSpacing;
        if (labelled) {
            lastLabelled = x;
        }
        scale.ticks.push_back(RulerTick{x, labelled ? axis.label(n * minor) : std::string()});
    }
}

// Where the trace view draws the same gaps, each in `gaps` or, too short for a mark there, in
// `gapTicks`.
void addGaps(RulerScale& scale, const TraceGeometry& g, const TimeBase& timeBase, uint32_t origin,
             double last) {
    const auto first = static_cast<uint32_t>(origin + g.firstSample);
    const auto lastNumber = static_cast<uint32_t>(std::min(last, 4294967295.0));
    const double columnSeconds = secondsPerColumn(timeBase, g.scale.samplesPerPixel());
    for (const TimeGap& gap : timeBase.gapsBetween(first, lastNumber)) {
        if (const std::optional<int> x = gapX(g, gap.sample - origin)) {
            const bool marked = gapMarkLevel(gap, columnSeconds) != GapMarkLevel::RulerTick;
            (marked ? scale.gaps : scale.gapTicks).push_back(*x);
        }
    }
}

// The samples on screen, by their numbers, and the spacing labels keep.
struct TimeSpan {
    double first;
    double last;
    int minSpacing;
};

// Ticks at times from the time base, read from the zero's time (`xOfTime` places such a reading).
// The step follows the scale, not what the screen holds: a gap that comes into view leaves it as
// it was. On the sample axis a gap takes no room, and the times inside it are stepped over.
void addTimeTicks(RulerScale& scale, const TraceGeometry& g, int width, const TimeBase& timeBase,
                  const TimeSpan& span, const MeasureZero& zero,
                  const std::function<int(double)>& xOfTime) {
    const double from = g.time ? g.time->leftSeconds : timeBase.secondsAt(span.first);
    const double to = g.time ? g.time->secondsAtX(width) : timeBase.secondsAt(span.last);
    const double paceSpan = secondsPerColumn(timeBase, g.scale.samplesPerPixel()) * width;
    const bool even = g.time.has_value() || !(paceSpan > 0);
    const double step = tickStep(even ? to - from : paceSpan, width, span.minSpacing, false);
    if (!(step > 0)) {
        return;
    }
    const double shownFrom = zero.time(from);
    const double shownTo = zero.time(to);
    const double largest = std::max(std::fabs(shownFrom), std::fabs(shownTo));
    const TickAxis axis{
        xOfTime, [&](double shown) { return formatSecondsToStep(shown, step, largest); },
        [&](double shown) {
            if (even) {
                return shown;
            }
            const double sample = std::floor(timeBase.sampleAt(shown + zero.seconds)) + 1;
            return zero.time(timeBase.secondsAt(sample));
        }};
    addTicks(scale, shownFrom, shownTo, step, subdivisions(step, false), span.minSpacing, axis);
}

}  // namespace

double tickStep(double span, int width, int minSpacing, bool wholeNumbers) {
    if (!(span > 0) || width <= 0 || minSpacing <= 0) {
        return 0;
    }
    const double least = span * minSpacing / width;
    double power = std::pow(10.0, std::floor(std::log10(least)));
    for (;; power *= 10) {
        for (double leading : {1.0, 2.0, 5.0}) {
            const double step = leading * power;
            if (step >= least * (1 - 1e-9) && (!wholeNumbers || step >= 1)) {
                return step;
            }
        }
    }
}

RulerScale rulerScale(const TraceGeometry& g, int width, const TimeBase* timeBase, uint32_t origin,
                      const MeasureZero& zero, int minSpacing) {
    RulerScale scale;
    if (g.sampleCount == 0 || width <= 0) {
        return scale;
    }
    const PixelScale pixels{static_cast<double>(g.firstSample), g.scale.samplesPerPixel()};
    const double first = static_cast<double>(origin) + g.firstSample;
    // On the time axis the samples on screen end where the geometry says; times run evenly.
    const double last = g.time ? first + g.sampleCount : first + width * pixels.samplesPerPixel;
    const auto xOfSample = [&](double sample) { return pixels.x(sample - origin); };
    if (timeBase == nullptr) {
        // Ticks and labels count from the zero's sample; x goes back to the capture's numbers.
        const auto zeroSample = static_cast<double>(zero.sample);
        const double step = tickStep(last - first, width, minSpacing, true);
        const TickAxis axis{[&](double shown) { return xOfSample(shown + zeroSample); },
                            [](double shown) { return std::to_string(std::llround(shown)); },
                            [](double shown) { return shown; }};
        if (step > 0) {
            addTicks(scale, first - zeroSample, last - zeroSample, step, subdivisions(step, true),
                     minSpacing, axis);
        }
        return scale;
    }
    // Times come from the recording's time base, sample by sample, and read from the zero's time.
    const auto xOfTime = [&](double shown) {
        const double seconds = shown + zero.seconds;
        return g.time ? static_cast<int>(std::lround(g.time->x(seconds)))
                      : xOfSample(timeBase->sampleAt(seconds));
    };
    addTimeTicks(scale, g, width, *timeBase, TimeSpan{first, last, minSpacing}, zero, xOfTime);
    addGaps(scale, g, *timeBase, origin, last);
    return scale;
}
