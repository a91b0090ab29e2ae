#pragma once

#include <cstdint>
#include <vector>

#include "core/time_base.h"

// A stall the sampling made before `sample`: its read came `nanoseconds` late.
struct Stall {
    uint32_t sample = 0;
    uint64_t nanoseconds = 0;
};

// Fills `timeBase` as a loop that marked every `stride` samples would: `samples` reads taken
// `periodNs` apart, each stall adding its time before its sample; then finishes it.
void makeTimeBase(TimeBase& timeBase, uint32_t samples, uint64_t periodNs,
                  const std::vector<Stall>& stalls = {}, uint32_t stride = 1);

// As makeTimeBase, marked every sample, with a planned pause of `pauseNs` before each sample of
// `pauses` (two marks at its sample, as the sample loop marks one).
void makeTimeBaseWithPauses(TimeBase& timeBase, uint32_t samples, uint64_t periodNs,
                            const std::vector<Stall>& stalls, const std::vector<uint32_t>& pauses,
                            uint64_t pauseNs);

// The session's time base for `samples` samples taken `periodSeconds` apart, marked every sample.
void giveSessionEvenTimes(uint32_t samples, double periodSeconds);
