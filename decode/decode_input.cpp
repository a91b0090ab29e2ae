#include "decode/decode_input.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/scope_session.h"

namespace {

// Where each gap lies on the grid: the stretch of its stall just before the grid reaches the
// sample after the gap.
std::vector<std::pair<uint64_t, uint64_t>> stallsOnGrid(const std::vector<TimeGap>& gaps,
                                                        uint32_t origin, const UniformGrid& grid) {
    std::vector<std::pair<uint64_t, uint64_t>> stalls;
    for (const TimeGap& gap : gaps) {
        if (gap.sample <= origin || grid.source.empty()) {
            continue;
        }
        const auto resumed =
            std::lower_bound(grid.source.begin(), grid.source.end(), gap.sample - origin);
        if (resumed == grid.source.end()) {
            continue;  // after the data (cut off)
        }
        const auto end = static_cast<uint64_t>(resumed - grid.source.begin());
        const auto length = static_cast<uint64_t>(
            std::llround(gap.nanoseconds * kSecondsPerNanosecond / grid.periodSeconds));
        stalls.emplace_back(end - std::min(end, length), end);
    }
    return stalls;
}

}  // namespace

DecodeInput makeDecodeInput(const uint8_t* samples, uint32_t count, UniformGrid grid) {
    DecodeInput input;
    input.dataCount = count;
    input.sampleRate = rateForPeriod(grid.periodSeconds);
    input.source = std::move(grid.source);
    const std::vector<uint32_t>& source = input.source;
    input.levels.resize(source.empty() ? count : source.size());
    for (size_t k = 0; k < input.levels.size(); ++k) {
        input.levels[k] = pinLevels(samples[source.empty() ? k : source[k]]);
    }
    return input;
}

bool sessionDecodeInput(const ScopeSession& session, DecodeInput& input, std::string& error) {
    UniformGrid grid;
    if (!sessionGrid(session, grid)) {
        error = "the sampling stood still too long to put the recording on one time grid";
        return false;
    }
    std::vector<std::pair<uint64_t, uint64_t>> stalls =
        stallsOnGrid(session.timeBase.gaps(), session.sampleOrigin, grid);
    input = makeDecodeInput(session.sampleData, session.sampleLength, std::move(grid));
    input.stalls = std::move(stalls);
    return true;
}
