#include "display/trace_readout.h"

namespace {

std::optional<double> secondsFor(int64_t samples, double periodSeconds) {
    if (periodSeconds <= 0) {
        return std::nullopt;
    }
    return static_cast<double>(samples) * periodSeconds;
}

}  // namespace

std::optional<TraceReading> readTrace(const TraceGeometry& g, const TraceRecording& recording,
                                      int x, int y) {
    const std::optional<uint32_t> index = sampleAtX(g, x);
    if (!index) {
        return std::nullopt;
    }
    TraceReading reading;
    reading.sampleNumber = uint64_t{recording.origin} + *index;
    reading.channel = channelAtY(g, y);
    reading.high = (recording.samples[*index] & kChannelBits[reading.channel]) != 0;
    reading.seconds =
        secondsFor(static_cast<int64_t>(reading.sampleNumber), recording.periodSeconds);
    if (recording.marker) {
        reading.markerNumber = uint64_t{recording.origin} + *recording.marker;
        reading.samplesFromMarker = int64_t{*index} - int64_t{*recording.marker};
        reading.secondsFromMarker = secondsFor(reading.samplesFromMarker, recording.periodSeconds);
    }
    return reading;
}
