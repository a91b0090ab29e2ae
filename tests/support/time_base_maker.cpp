#include "tests/support/time_base_maker.h"

#include <algorithm>
#include <cmath>

#include "core/scope_session.h"

namespace {

// When sample `sample` was read.
uint64_t readTime(uint32_t sample, uint64_t periodNs, const std::vector<Stall>& stalls) {
    uint64_t time = uint64_t{sample} * periodNs;
    for (const Stall& stall : stalls) {
        time += stall.sample <= sample ? stall.nanoseconds : 0;
    }
    return time;
}

}  // namespace

void makeTimeBase(TimeBase& timeBase, uint32_t samples, uint64_t periodNs,
                  const std::vector<Stall>& stalls, uint32_t stride) {
    timeBase.prepare(samples, stride);
    for (uint32_t sample = 0; sample < samples; sample += stride) {
        timeBase.mark(sample, readTime(sample, periodNs, stalls));
    }
    timeBase.mark(samples, readTime(samples, periodNs, stalls));
    timeBase.finish();
}

void giveSessionEvenTimes(uint32_t samples, double periodSeconds) {
    makeTimeBase(scopeSession.timeBase, samples,
                 static_cast<uint64_t>(std::llround(periodSeconds * 1e9)));
}

void makeTimeBaseWithPauses(TimeBase& timeBase, uint32_t samples, uint64_t periodNs,
                            const std::vector<Stall>& stalls, const std::vector<uint32_t>& pauses,
                            uint64_t pauseNs) {
    // A pause delays the reads after it as a stall does.
    std::vector<Stall> delays = stalls;
    for (const uint32_t pause : pauses) {
        delays.push_back(Stall{pause, pauseNs});
    }
    timeBase.prepare(samples, 1, static_cast<uint32_t>(pauses.size()));
    for (uint32_t sample = 0; sample <= samples; ++sample) {
        const uint64_t read = readTime(sample, periodNs, delays);
        if (std::find(pauses.begin(), pauses.end(), sample) != pauses.end()) {
            timeBase.mark(sample, read - pauseNs);
        }
        timeBase.mark(sample, read);
    }
    timeBase.finish();
}
