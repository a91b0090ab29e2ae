#include "core/time_base.h"

#include <algorithm>

namespace {

// A block is a gap when it took more than this many times its typical length, and longer than
// that by more than kGapFloorNs: a few microseconds of jitter in a fast block are no gap.
constexpr double kGapFactor = 4.0;
constexpr double kGapFloorNs = 20'000.0;

double blockPeriod(const TimeMark& from, const TimeMark& to) {
    return static_cast<double>(to.nanoseconds - from.nanoseconds) / (to.sample - from.sample);
}

}  // namespace

void TimeBase::prepare(uint32_t samples, uint32_t stride) {
    clear();
    const size_t room = stride == 0 ? 0 : size_t{samples} / stride + 2;
    marks_ = std::make_unique<TimeMark[]>(room);
    capacity_ = room;
}

void TimeBase::clear() {
    published_.store(0, std::memory_order_release);
    marks_.reset();
    capacity_ = 0;
    gaps_.clear();
    typicalPeriodNs_ = 0;
}

void TimeBase::finish() {
    gaps_.clear();
    typicalPeriodNs_ = 0;
    const size_t count = markCount();
    if (count < 2) {
        return;
    }
    std::vector<double> periods;
    periods.reserve(count - 1);
    for (size_t i = 1; i < count; ++i) {
        periods.push_back(blockPeriod(marks_[i - 1], marks_[i]));
    }
    std::nth_element(periods.begin(), periods.begin() + periods.size() / 2, periods.end());
    typicalPeriodNs_ = periods[periods.size() / 2];
    for (size_t i = 1; i < count; ++i) {
        const TimeMark& from = marks_[i - 1];
        const TimeMark& to = marks_[i];
        const double typical = typicalPeriodNs_ * (to.sample - from.sample);
        const double took = static_cast<double>(to.nanoseconds - from.nanoseconds);
        if (took > kGapFactor * typical && took - typical > kGapFloorNs) {
            gaps_.push_back(TimeGap{to.sample, static_cast<uint64_t>(took - typical)});
        }
    }
}

double TimeBase::secondsAt(double sample) const {
    const size_t count = markCount();
    if (count < 2) {
        return 0;
    }
    const TimeMark* begin = marks_.get();
    const TimeMark* end = begin + count;
    // The block whose start is the last mark at or before `sample`; the last block beyond it.
    const TimeMark* next = std::upper_bound(begin + 1, end - 1, sample,
                                            [](double s, const TimeMark& m) { return s < m.sample; });
    const TimeMark& from = next[-1];
    const TimeMark& to = *next;
    const bool gap = gapBefore(to.sample).has_value();
    const double pace = gap ? typicalPeriodNs_ : blockPeriod(from, to);
    double ns = static_cast<double>(from.nanoseconds) + (sample - from.sample) * pace;
    if (gap && sample >= to.sample) {
        ns = static_cast<double>(to.nanoseconds) + (sample - to.sample) * pace;
    }
    return ns * 1e-9;
}

double TimeBase::sampleAt(double seconds) const {
    const size_t count = markCount();
    if (count < 2) {
        return 0;
    }
    const double ns = seconds * 1e9;
    const TimeMark* begin = marks_.get();
    const TimeMark* end = begin + count;
    const TimeMark* next = std::upper_bound(
        begin + 1, end - 1, ns, [](double t, const TimeMark& m) { return t < m.nanoseconds; });
    const TimeMark& from = next[-1];
    const TimeMark& to = *next;
    const bool gap = gapBefore(to.sample).has_value();
    const double pace = gap ? typicalPeriodNs_ : blockPeriod(from, to);
    const double sample = from.sample + (ns - static_cast<double>(from.nanoseconds)) / pace;
    // Inside a gap no sample was taken: the one before it was the last.
    return gap ? std::min(sample, static_cast<double>(to.sample) - 1) : sample;
}

std::optional<TimeGap> TimeBase::gapBefore(uint32_t sample) const {
    const auto it = std::lower_bound(gaps_.begin(), gaps_.end(), sample,
                                     [](const TimeGap& g, uint32_t s) { return g.sample < s; });
    if (it == gaps_.end() || it->sample != sample) {
        return std::nullopt;
    }
    return *it;
}

std::vector<TimeGap> TimeBase::gapsBetween(uint32_t first, uint32_t last) const {
    const auto from = std::lower_bound(gaps_.begin(), gaps_.end(), first,
                                       [](const TimeGap& g, uint32_t s) { return g.sample < s; });
    const auto to = std::upper_bound(gaps_.begin(), gaps_.end(), last,
                                     [](uint32_t s, const TimeGap& g) { return s < g.sample; });
    return from < to ? std::vector<TimeGap>(from, to) : std::vector<TimeGap>{};
}

double TimeBase::meanPeriod() const {
    const size_t count = markCount();
    if (count < 2) {
        return 0;
    }
    return blockPeriod(marks_[0], marks_[count - 1]) * 1e-9;
}
