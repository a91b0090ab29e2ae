#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/time_base.h"

struct ScopeSession;

// The samples of a recording as a reader at one fixed rate needs them (protocol decoders, a
// sigrok session): grid sample k shows the data at index source[k].
struct UniformGrid {
    double periodSeconds = 0;      // 0: the recording's time is unknown
    std::vector<uint32_t> source;  // empty: the data as it is, one grid sample per sample
};

// A grid of more samples than this is refused: the sampling stood still for too long.
inline constexpr size_t kMaxGridSamples = size_t{1} << 28;

// No gaps, and every block between two marks within 2% of the mean pace: the samples can be
// taken as they are, at the mean period.
bool evenlySampled(const TimeBase& timeBase);

// The pace of the sampling while it ran: the time between the first and the last mark without
// the gaps, per sample. 0 without a time base.
double steadyPeriod(const TimeBase& timeBase);

// The data at indices [0, count), whose capture sample numbers start at `origin`, on a grid of
// the steady period that runs from the first sample's time to the end of the last: each grid
// sample takes the sample taken last at or before its time, so a gap holds the level before it.
// False when the grid would exceed kMaxGridSamples.
bool resampleOntoGrid(const TimeBase& timeBase, uint32_t origin, uint32_t count, UniformGrid& grid);

// The grid of the session's recording: from its time base where it has one (the data as it is
// where the sampling was even), else of unknown time. False when resampling fails as above.
bool sessionGrid(const ScopeSession& session, UniformGrid& grid);

// Whole hertz of a period, 0 when it is below 1 Hz or unknown.
uint64_t rateForPeriod(double periodSeconds);
