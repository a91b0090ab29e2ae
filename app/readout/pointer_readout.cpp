#include "app/readout/pointer_readout.h"

#include <cmath>
#include <cstdlib>

#include "app/readout/channel_text.h"
#include "app/readout/pulse_text.h"
#include "core/measure_text.h"
#include "core/scope_session.h"

namespace {

// "From marker 1000: +234 samples, +234.0 µs, 4.274 kHz": the frequency whose period is the
// distance. Across a stall the time includes it, and a frequency would mean nothing.
std::string markerLine(const TraceReading& r, const MeasureZero& zero) {
    const int64_t samples = r.samplesFromMarker;
    std::string line = "From marker " + std::to_string(zero.number(*r.markerNumber)) + ": " +
                       (samples > 0 ? "+" : "") + std::to_string(samples) +
                       (std::llabs(samples) == 1 ? " sample" : " samples");
    if (!r.secondsFromMarker) {
        return line;
    }
    const double seconds = *r.secondsFromMarker;
    line += ", " + formatSeconds(seconds, Sign::Always);
    if (r.gapsFromMarker > 0) {
        line += " across " + std::to_string(r.gapsFromMarker) +
                (r.gapsFromMarker == 1 ? " gap" : " gaps");
    } else if (seconds != 0) {
        line += ", " + formatHertz(1.0 / std::fabs(seconds));
    }
    return line;
}

// "Gap of 5.200 ms before this sample", "2 reads failed from sample 1234 on (read as 0xFF)".
std::string gapLines(const TimeGap& gap, uint64_t sampleNumber, const MeasureZero& zero) {
    const std::string where = gap.sample == sampleNumber
                                  ? "this sample"
                                  : "sample " + std::to_string(zero.number(gap.sample));
    std::string lines;
    if (gap.nanoseconds > 0) {
        lines += "\nGap of " +
                 formatSeconds(static_cast<double>(gap.nanoseconds) * kSecondsPerNanosecond) +
                 " before " + where;
    }
    if (gap.failedReads > 0) {
        lines += "\n" + std::to_string(gap.failedReads) +
                 (gap.failedReads == 1 ? " read" : " reads") + " failed from " + where +
                 " on (read as 0xFF)";
    }
    return lines;
}

}  // namespace

std::optional<TraceReading> readPointer(const TracePointer& pointer) {
    const ScopeSession& s = scopeSession;
    const TraceRecording recording{s.sampleData, s.sampleOrigin, &s.timeBase, s.marker};
    return readTrace(viewGeometry(s, pointer.width, pointer.height), recording, pointer.x,
                     pointer.y);
}

std::string readoutText(const TraceReading& reading, const MeasureZero& zero) {
    std::string text = "Sample " + std::to_string(zero.number(reading.sampleNumber));
    if (reading.seconds) {
        text += " at " + formatSeconds(zero.time(*reading.seconds));
    }
    text += "\n" + channelText(reading.channel) + ": " + (reading.high ? "high" : "low");
    if (reading.gap) {
        text += gapLines(*reading.gap, reading.sampleNumber, zero);
    }
    if (reading.markerNumber) {
        text += "\n" + markerLine(reading, zero);
    }
    return text;
}

std::string pointerReadout(const TracePointer& pointer) {
    const std::optional<TraceReading> reading = readPointer(pointer);
    if (!reading) {
        return {};
    }
    const auto index = static_cast<uint32_t>(reading->sampleNumber - scopeSession.sampleOrigin);
    return readoutText(*reading, measureZero(scopeSession)) +
           pulseReadoutLine(index, reading->channel);
}
