#include "app/readout/view_text.h"

#include <algorithm>
#include <cstdio>

#include "app/readout/channel_text.h"
#include "app/readout/recording_time.h"
#include "core/measure_text.h"
#include "core/measure_zero.h"
#include "core/scope_session.h"
#include "core/time_base.h"

namespace {

// Samples `first` to `last` (indices into the data) as the ruler counts them.
std::string stretchText(uint32_t first, uint32_t last) {
    const uint64_t from = uint64_t{scopeSession.sampleOrigin} + first;
    const uint64_t to = uint64_t{scopeSession.sampleOrigin} + last;
    const MeasureZero zero = measureZero(scopeSession);
    if (const TimeBase* time = recordingTime()) {
        return formatSeconds(zero.time(time->secondsAt(static_cast<double>(from)))) + " to " +
               formatSeconds(zero.time(time->secondsAt(static_cast<double>(to))));
    }
    return "samples " + std::to_string(zero.number(from)) + " to " +
           std::to_string(zero.number(to));
}

std::string shownText(const TraceGeometry& g, int width) {
    const std::optional<SampleSpan> shown = shownSamples(g, width);
    return shown ? stretchText(shown->first, shown->last) : std::string("no samples");
}

// Samples per pixel with the two decimals a fit to the width may leave: "3.85", "3.5", "4".
std::string perPixelText(ViewScale scale) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.2f", scale.samplesPerPixel());
    std::string text = digits;
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') {
        text.pop_back();
    }
    return text;
}

std::string zoomText(const TraceGeometry& g) {
    if (g.scale.belowOneToOne()) {
        return perPixelText(g.scale) + " samples per pixel";
    }
    const int step = g.scale.zoomStep();
    return std::to_string(step) + (step == 1 ? " pixel" : " pixels") + " per sample";
}

// "; marker at sample 1234 at 2.468 ms: Error high, Select low, ...", or nothing without one.
std::string markerText(uint32_t drawable) {
    const ScopeSession& s = scopeSession;
    if (!s.marker || *s.marker >= drawable) {
        return {};
    }
    const uint64_t number = uint64_t{s.sampleOrigin} + *s.marker;
    const MeasureZero zero = measureZero(s);
    std::string text = "; marker at sample " + std::to_string(zero.number(number));
    if (const TimeBase* time = recordingTime()) {
        text += " at " + formatSeconds(zero.time(time->secondsAt(static_cast<double>(number))));
    }
    const uint8_t levels = s.sampleData[*s.marker];
    for (int channel = 0; channel < kChannelCount; ++channel) {
        text += (channel == 0 ? ": " : ", ") + channelName(channel) +
                ((levels & kChannelBits[channel]) != 0 ? " high" : " low");
    }
    return text;
}

}  // namespace

std::optional<SampleSpan> shownSamples(const TraceGeometry& g, int width) {
    if (g.sampleCount == 0) {
        return std::nullopt;
    }
    const uint32_t last = g.firstSample + g.sampleCount - 1;
    const std::optional<uint32_t> atEdge = sampleAtX(g, width - 1);
    // Below 1:1 the column at the edge holds up to samplesPerPixel samples, rounded up, from the
    // one at its x on; on the sample axis the last sample drawn ends it exactly.
    const uint64_t more = g.scale.belowOneToOne() ? g.scale.samplesBeforeColumn(1) - 1 : 0;
    return SampleSpan{
        g.firstSample,
        atEdge ? static_cast<uint32_t>(std::min<uint64_t>(last, *atEdge + more)) : last};
}

std::string rulerText(const TraceGeometry& g, int width) {
    return "Time ruler: " + shownText(g, width);
}

std::string overviewText(const TraceGeometry& g, int width) {
    const uint32_t drawable = drawableSamples(scopeSession);
    if (g.sampleCount == 0 || drawable == 0) {
        return "Overview: no samples";
    }
    return "Overview: " + shownText(g, width) + " on screen, of " + stretchText(0, drawable - 1);
}

std::string traceViewText(const TraceGeometry& g, int width) {
    const uint32_t drawable = drawableSamples(scopeSession);
    if (g.sampleCount == 0 || drawable == 0) {
        return "No samples";
    }
    return std::to_string(drawable) + (drawable == 1 ? " sample, " : " samples, ") + zoomText(g) +
           ", showing " + shownText(g, width) + markerText(drawable);
}

std::string channelLabelsText() {
    std::string text = "Channel labels: ";
    for (int channel = 0; channel < kChannelCount; ++channel) {
        text +=
            (channel == 0 ? "" : "; ") + channelLabel(channel) + ", " + channelPinLabel(channel);
    }
    return text;
}
