#include "app/readout/span_text.h"

#include <cmath>
#include <cstdio>

#include "app/readout/recording_time.h"
#include "core/channels.h"
#include "core/measure_text.h"
#include "core/scope_session.h"
#include "core/span_measure.h"
#include "core/time_base.h"

namespace {

std::string sampleSpanText(double count) {
    char text[32];
    const bool whole = count == std::floor(count);
    std::snprintf(text, sizeof text, whole ? "%.0f samples" : "%.1f samples", count);
    return text;
}

std::string dutyText(double share) {
    char text[16];
    std::snprintf(text, sizeof text, "%.1f%%", share * 100);
    return text;
}

// "Δt = 1.250 ms, 1/Δt = 800.0 Hz", or the samples between the markers.
std::string lengthLine(double length, bool timed) {
    if (!timed) {
        return "\u0394t = " + sampleSpanText(length);
    }
    std::string line = "\u0394t = " + formatSeconds(length);
    if (length > 0) {
        line += ", 1/\u0394t = " + formatHertz(1 / length);
    }
    return line;
}

std::string channelLine(int channel, const ChannelSpan& span, bool timed) {
    std::string line = std::string(kChannelNames[channel]) + ": " + std::to_string(span.edges) +
                       (span.edges == 1 ? " edge" : " edges");
    if (span.toggles()) {
        line += timed ? ", " + formatHertz(span.frequency())
                      : ", period " + sampleSpanText(1 / span.frequency());
        line += ", duty " + dutyText(span.duty());
    }
    return line;
}

}  // namespace

std::vector<std::string> spanLines() {
    const ScopeSession& s = scopeSession;
    if (!hasSampleData(s) || !s.marker || !s.secondMarker || *s.marker >= s.sampleLength ||
        *s.secondMarker >= s.sampleLength) {
        return {};
    }
    const TimeBase* time = recordingTime();
    const uint32_t origin = s.sampleOrigin;
    const SampleClock clock = [time, origin](uint32_t index) {
        return time != nullptr ? time->secondsAt(static_cast<double>(origin) + index)
                               : static_cast<double>(index);
    };
    const double length = std::fabs(clock(*s.secondMarker) - clock(*s.marker));
    std::vector<std::string> lines{lengthLine(length, time != nullptr)};
    const auto spans = measureSpan(s.sampleData, *s.marker, *s.secondMarker, clock);
    for (int c = 0; c < kChannelCount; ++c) {
        if (spans[c].edges > 0) {
            lines.push_back(channelLine(c, spans[c], time != nullptr));
        }
    }
    return lines;
}
