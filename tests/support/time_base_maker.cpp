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
