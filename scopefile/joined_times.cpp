#include "scopefile/joined_times.h"

#include <algorithm>

namespace {

double median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// The marks kept of a block: its first and last, both ends of every stretch between two marks
// that holds a gap (so each gap stays exactly where and as long as it was), and else one every
// kKeptMarkStride samples: a long recording of slow reads, marked at nearly every sample, would
// otherwise keep marks in proportion to its length.
std::vector<TimeMark> thinnedMarks(const TimeBaseValues& values) {
    const std::vector<TimeMark>& marks = values.marks;
    std::vector<bool> keep(marks.size(), false);
    size_t gap = 0;
    for (size_t k = 0; k + 1 < marks.size(); ++k) {
        while (gap < values.gaps.size() && values.gaps[gap].sample < marks[k].sample) {
            ++gap;
        }
        if (gap < values.gaps.size() && values.gaps[gap].sample <= marks[k + 1].sample) {
            keep[k] = keep[k + 1] = true;
        }
    }
    std::vector<TimeMark> kept;
    for (size_t k = 0; k < marks.size(); ++k) {
        if (k == 0 || k + 1 == marks.size() || keep[k] ||
            marks[k].sample - kept.back().sample >= kKeptMarkStride) {
            kept.push_back(marks[k]);
        }
    }
    return kept;
}

}  // namespace

// The block before ends where the next begins: its marks past that sample (the loop reads one
// more than it keeps when broken off) give way to one at the sample, at the pace of their block.
void JoinedTimes::endPreviousAt(uint32_t sample) {
    std::vector<TimeMark>& marks = joined_.marks;
    if (marks.empty() || marks.back().sample <= sample) {
        return;
    }
    const TimeMark end = marks.back();
    while (!marks.empty() && marks.back().sample >= sample) {
        marks.pop_back();
    }
    if (marks.empty()) {
        return;
    }
    const TimeMark& from = marks.back();
    const double pace = nanosecondsPerSample(from, end);
    marks.push_back(
        {sample, from.nanoseconds + static_cast<uint64_t>(pace * (sample - from.sample))});
}

void JoinedTimes::add(const TimeBaseValues& values, uint32_t count, uint64_t startNs) {
    const auto offset = static_cast<uint32_t>(samples_);
    samples_ += count;
    if (values.marks.empty()) {
        return;
    }
    if (typicals_.empty()) {
        firstStartNs_ = startNs;
    }
    const uint64_t shift = startNs - firstStartNs_;
    endPreviousAt(offset);
    if (!joined_.marks.empty()) {
        const uint64_t from = joined_.marks.back().nanoseconds;
        const uint64_t to = shift + values.marks.front().nanoseconds;
        joined_.gaps.push_back({offset, to > from ? to - from : 0, 0, GapKind::PlannedPause});
    }
    for (const TimeMark& mark : thinnedMarks(values)) {
        joined_.marks.push_back({offset + mark.sample, shift + mark.nanoseconds});
    }
    for (TimeGap gap : values.gaps) {
        gap.sample += offset;
        joined_.gaps.push_back(gap);
        stalls_ += gap.kind == GapKind::Stall ? 1 : 0;
    }
    typicals_.push_back(values.typicalPeriodNs);
    spreads_.push_back(values.spread);
}

double JoinedTimes::periodSeconds() const {
    return median(typicals_) * kSecondsPerNanosecond;
}

RecordingTimes JoinedTimes::times() const {
    RecordingTimes times;
    times.timeBase = joined_;
    times.timeBase.typicalPeriodNs = median(typicals_);
    std::vector<double> lows;
    std::vector<double> medians;
    std::vector<double> highs;
    for (const PeriodSpread& spread : spreads_) {
        lows.push_back(spread.low);
        medians.push_back(spread.median);
        highs.push_back(spread.high);
    }
    times.timeBase.spread = {median(medians),
                             lows.empty() ? 0 : *std::min_element(lows.begin(), lows.end()),
                             highs.empty() ? 0 : *std::max_element(highs.begin(), highs.end())};
    times.triggerSample = triggerSample;
    return times;
}
