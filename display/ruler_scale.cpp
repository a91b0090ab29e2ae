#include "display/ruler_scale.h"

#include <algorithm>
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

// Ticks every step / parts over [from, to] in the ruler's unit; `xOf` places one and `label`
// names a labelled one. Labels closer than half the spacing (in a gap) are left out.
void addTicks(RulerScale& scale, double from, double to, double step, int parts, int minSpacing,
              const std::function<int(double)>& xOf,
              const std::function<std::string(double)>& label) {
    const double minor = step / parts;
    int lastLabelled = -minSpacing;
    for (auto n = static_cast<int64_t>(std::ceil(from / minor)); n * minor <= to; ++n) {
        const int x = xOf(n * minor);
        const bool labelled = n % parts == 0 && x - lastLabelled >= minSpacing / 2;
        if (labelled) {
            lastLabelled = x;
        }
        scale.ticks.push_back(RulerTick{x, labelled ? label(n * minor) : std::string()});
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
        if (step > 0) {
            addTicks(
                scale, first - zeroSample, last - zeroSample, step, subdivisions(step, true),
                minSpacing, [&](double shown) { return xOfSample(shown + zeroSample); },
                [](double shown) { return std::to_string(std::llround(shown)); });
        }
        return scale;
    }
    // Times come from the recording's time base, sample by sample, and read from the zero's time.
    const double from = g.time ? g.time->leftSeconds : timeBase->secondsAt(first);
    const double to = g.time ? g.time->secondsAtX(width) : timeBase->secondsAt(last);
    const auto xOfTime = [&](double shown) {
        const double seconds = shown + zero.seconds;
        return g.time ? static_cast<int>(std::lround(g.time->x(seconds)))
                      : xOfSample(timeBase->sampleAt(seconds));
    };
    const double step = tickStep(to - from, width, minSpacing, false);
    if (step > 0) {
        const double shownFrom = zero.time(from);
        const double shownTo = zero.time(to);
        const double largest = std::max(std::fabs(shownFrom), std::fabs(shownTo));
        addTicks(scale, shownFrom, shownTo, step, subdivisions(step, false), minSpacing, xOfTime,
                 [&](double seconds) { return formatSecondsToStep(seconds, step, largest); });
    }
    addGaps(scale, g, *timeBase, origin, last);
    return scale;
}
