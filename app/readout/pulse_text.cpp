#include "app/readout/pulse_text.h"

#include <cstdio>

#include "app/readout/recording_time.h"
#include "core/level_changes.h"
#include "core/measure_text.h"
#include "core/scope_session.h"
#include "core/time_base.h"

namespace {

// How long from one edge to another: seconds from the time base, or a count of samples.
struct Span {
    const TimeBase* timeBase;
    uint32_t origin;

    double length(uint32_t from, uint32_t to) const {
        if (timeBase == nullptr) {
            return static_cast<double>(to - from);
        }
        return timeBase->secondsAt(static_cast<double>(origin) + to) -
               timeBase->secondsAt(static_cast<double>(origin) + from);
    }

    // How many times the sampling stood still between the edges.
    size_t gaps(uint32_t from, uint32_t to) const {
        if (timeBase == nullptr) {
            return 0;
        }
        return timeBase->gapsBetween(origin + from + 1, origin + to).size();
    }

    // A time across a stall includes it, and says so.
    std::string text(uint32_t from, uint32_t to) const {
        if (timeBase == nullptr) {
            return samplesText(to - from);
        }
        const size_t stalls = gaps(from, to);
        std::string text = formatSeconds(length(from, to));
        if (stalls > 0) {
            text += " across " + std::to_string(stalls) + (stalls == 1 ? " gap" : " gaps");
        }
        return text;
    }
};

std::string percentText(double fraction) {
    char text[16];
    std::snprintf(text, sizeof text, "%.1f %%", fraction * 100.0);
    return text;
}

}  // namespace

std::optional<Pulse> pulseAt(const uint8_t* samples, uint32_t length, uint32_t index, uint8_t bit) {
    if (index >= length) {
        return std::nullopt;
    }
    const std::optional<uint32_t> start = previousChange(samples, length, index + 1, bit);
    const std::optional<uint32_t> end = nextChange(samples, length, index, bit);
    if (!start || !end) {
        return std::nullopt;
    }
    Pulse pulse;
    pulse.high = (samples[index] & bit) != 0;
    pulse.start = *start;
    pulse.end = *end;
    pulse.cycleEnd = nextChange(samples, length, *end, bit);
    return pulse;
}

std::string pulseText(const Pulse& pulse, const TimeBase* timeBase, uint32_t origin) {
    const Span span{timeBase, origin};
    std::string text =
        std::string(pulse.high ? "High" : "Low") + " pulse " + span.text(pulse.start, pulse.end);
    if (pulse.cycleEnd) {
        const double period = span.length(pulse.start, *pulse.cycleEnd);
        const double high = pulse.high ? span.length(pulse.start, pulse.end)
                                       : span.length(pulse.end, *pulse.cycleEnd);
        text += ", period " + span.text(pulse.start, *pulse.cycleEnd);
        // A duty cycle over a stall would mean nothing.
        if (period > 0 && span.gaps(pulse.start, *pulse.cycleEnd) == 0) {
            text += ", duty " + percentText(high / period);
        }
    }
    return text;
}

std::string pulseReadoutLine(uint32_t index, int channel) {
    const ScopeSession& s = scopeSession;
    const std::optional<Pulse> pulse =
        pulseAt(s.sampleData, drawableSamples(s), index, kChannelBits[channel]);
    if (!pulse) {
        return {};
    }
    return "\n" + pulseText(*pulse, recordingTime(), s.sampleOrigin);
}
