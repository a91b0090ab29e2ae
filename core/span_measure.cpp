#include "core/span_measure.h"

#include <optional>
#include <utility>

namespace {

// One channel's edges as the scan meets them.
struct EdgeTally {
    ChannelSpan span;
    std::optional<double> firstRise;
    std::optional<double> lastRise;
    double highSince = 0;   // the time of the last rise
    double highBefore = 0;  // high time up to the last rise, from the first
};

void addEdge(EdgeTally& tally, bool rising, double at) {
    ++tally.span.edges;
    if (!rising) {
        if (tally.firstRise) {
            tally.span.highLength = tally.highBefore + (at - tally.highSince);
        }
        return;
    }
    if (!tally.firstRise) {
        tally.firstRise = at;
    } else {
        ++tally.span.periods;
        tally.span.periodLength = at - *tally.firstRise;
        // A period ends here: what it was high counts, the stretch that opens now not yet.
        tally.highBefore = tally.span.highLength;
    }
    tally.lastRise = at;
    tally.highSince = at;
}

}  // namespace

std::array<ChannelSpan, kChannelCount> measureSpan(const uint8_t* samples, uint32_t first,
                                                   uint32_t last, const SampleClock& clock) {
    if (last < first) {
        std::swap(first, last);
    }
    std::array<EdgeTally, kChannelCount> tallies;
    uint8_t channelMask = 0;
    for (uint8_t bit : kChannelBits) {
        channelMask |= bit;
    }
    for (uint32_t i = first + 1; i <= last; ++i) {
        const uint8_t changed = (samples[i] ^ samples[i - 1]) & channelMask;
        if (changed == 0) {
            continue;
        }
        const double at = clock(i);
        for (int c = 0; c < kChannelCount; ++c) {
            if ((changed & kChannelBits[c]) != 0) {
                addEdge(tallies[c], (samples[i] & kChannelBits[c]) != 0, at);
            }
        }
    }
    std::array<ChannelSpan, kChannelCount> spans;
    for (int c = 0; c < kChannelCount; ++c) {
        // High time after the last rise belongs to no whole period.
        spans[c] = tallies[c].span;
        spans[c].highLength = tallies[c].highBefore;
    }
    return spans;
}
