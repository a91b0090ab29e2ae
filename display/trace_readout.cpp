#include "display/trace_readout.h"

#include <algorithm>
#include <cstdlib>

namespace {

const TimeBase* knownTimes(const TraceRecording& recording) {
    const TimeBase* timeBase = recording.timeBase;
    return timeBase != nullptr && timeBase->known() ? timeBase : nullptr;
}

// The gap whose mark is drawn nearest to x, within kGapReach pixels; x shows sample `index`.
std::optional<TimeGap> gapNear(const TraceGeometry& g, const TraceRecording& recording,
                               const TimeBase& timeBase, uint32_t index, int x) {
    // The samples within kGapReach pixels of x, and one more.
    const int64_t reach = g.scale.belowOneToOne() ? screenSamples(kGapReach + 1, g.scale)
                                                  : kGapReach / g.scale.zoomStep() + 1;
    const int64_t under = int64_t{recording.origin} + index;
    const auto first = static_cast<uint32_t>(std::max<int64_t>(under - reach, recording.origin));
    const auto last = static_cast<uint32_t>(std::min<int64_t>(under + reach, UINT32_MAX));
    std::optional<TimeGap> nearest;
    int nearestDistance = kGapReach + 1;
    for (const TimeGap& gap : timeBase.gapsBetween(first, last)) {
        const std::optional<int> at = gapX(g, gap.sample - recording.origin);
        if (at && *at >= 0 && std::abs(*at - x) < nearestDistance) {
            nearestDistance = std::abs(*at - x);
            nearest = gap;
        }
    }
    return nearest;
}

// The stalls (gaps in time) before the samples after `from` up to `to`, either way round.
uint32_t stallsBetween(const TimeBase& timeBase, uint64_t from, uint64_t to) {
    uint32_t stalls = 0;
    const auto low = static_cast<uint32_t>(std::min(from, to));
    const auto high = static_cast<uint32_t>(std::max(from, to));
    if (low == high) {
        return 0;
    }
    for (const TimeGap& gap : timeBase.gapsBetween(low + 1, high)) {
        stalls += gap.nanoseconds > 0 ? 1 : 0;
    }
    return stalls;
}

void readMarker(const TraceRecording& recording, uint32_t index, TraceReading& reading) {
    reading.markerNumber = uint64_t{recording.origin} + *recording.marker;
    reading.samplesFromMarker = int64_t{index} - int64_t{*recording.marker};
    if (const TimeBase* timeBase = knownTimes(recording)) {
        reading.secondsFromMarker = timeBase->secondsAt(static_cast<double>(reading.sampleNumber)) -
                                    timeBase->secondsAt(static_cast<double>(*reading.markerNumber));
        reading.gapsFromMarker =
            stallsBetween(*timeBase, *reading.markerNumber, reading.sampleNumber);
    }
}

}  // namespace

std::optional<int> gapX(const TraceGeometry& g, uint32_t index) {
    if (!sampleX(g, index)) {
        return std::nullopt;
    }
    return static_cast<int>(edgeX(g, index));
}

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
    if (const TimeBase* timeBase = knownTimes(recording)) {
        reading.seconds = timeBase->secondsAt(static_cast<double>(reading.sampleNumber));
        reading.gap = gapNear(g, recording, *timeBase, *index, x);
    }
    if (recording.marker) {
        readMarker(recording, *index, reading);
    }
    return reading;
}
