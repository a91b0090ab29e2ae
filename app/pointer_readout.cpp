#include "app/pointer_readout.h"

#include <cmath>
#include <cstdlib>

#include "app/channel_text.h"
#include "app/measure_text.h"
#include "app/pulse_text.h"
#include "core/scope_session.h"

namespace {

std::string withSign(const std::string& magnitude, bool positive) {
    return positive ? "+" + magnitude : magnitude;
}

// "From marker 1000: +234 samples, +234.0 µs, 4.274 kHz": the frequency whose period is the
// distance.
std::string markerLine(const TraceReading& r) {
    const int64_t samples = r.samplesFromMarker;
    std::string line = "From marker " + std::to_string(*r.markerNumber) + ": " +
                       withSign(std::to_string(samples), samples > 0) +
                       (std::llabs(samples) == 1 ? " sample" : " samples");
    if (r.secondsFromMarker) {
        const double seconds = *r.secondsFromMarker;
        line += ", " + withSign(formatSeconds(seconds), seconds > 0);
        if (seconds != 0) {
            line += ", " + formatHertz(1.0 / std::fabs(seconds));
        }
    }
    return line;
}

}  // namespace

std::optional<TraceReading> readPointer(const TracePointer& pointer) {
    const ScopeSession& s = scopeSession;
    const TraceRecording recording{s.sampleData, s.sampleOrigin, s.samplePeriod.load(), s.marker};
    return readTrace(viewGeometry(s, pointer.width, pointer.height), recording, pointer.x,
                     pointer.y);
}

std::string readoutText(const TraceReading& reading) {
    std::string text = "Sample " + std::to_string(reading.sampleNumber);
    if (reading.seconds) {
        text += " at " + formatSeconds(*reading.seconds);
    }
    text += "\n" + channelText(reading.channel) + ": " + (reading.high ? "high" : "low");
    if (reading.markerNumber) {
        text += "\n" + markerLine(reading);
    }
    return text;
}

std::string pointerReadout(const TracePointer& pointer) {
    const std::optional<TraceReading> reading = readPointer(pointer);
    if (!reading) {
        return {};
    }
    const auto index = static_cast<uint32_t>(reading->sampleNumber - scopeSession.sampleOrigin);
    return readoutText(*reading) + pulseReadoutLine(index, reading->channel);
}
