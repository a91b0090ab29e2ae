#include "core/time_base.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

// A block is a gap when it took more than this many times its typical length, and longer than
// that by more than kGapFloorNs: a few microseconds of jitter in a fast block are no gap.
constexpr double kGapFactor = 4.0;
constexpr double kGapFloorNs = 20'000.0;

// Where reads cost next to nothing, the clock's own jitter is more than a sample's time: a block
// must lose at least this much to have stood still at all.
constexpr double kHiccupNs = 1000.0;

bool isStall(double tookNs, double typicalNs) {
    return tookNs > kGapFactor * typicalNs && tookNs - typicalNs > kGapFloorNs;
}

// Where in a block that stood still the gap is put: the clock does not tell which read stood
// still, so halfway, where the fewest samples are on the wrong side of it on average. A block of
// one sample is exact: the stall came before the next.
uint32_t stallSample(const TimeMark& from, const TimeMark& to) {
    return from.sample + (to.sample - from.sample + 1) / 2;
}

// The sample that `nanoseconds` reaches from `mark` at `period` nanoseconds per sample.
double sampleReached(const TimeMark& mark, double nanoseconds, double period) {
    if (period <= 0) {
        return mark.sample;
    }
    return mark.sample + (nanoseconds - static_cast<double>(mark.nanoseconds)) / period;
}

struct BlockPace {
    double period;  // nanoseconds per sample
    uint32_t samples;
};

// A block of no samples: the loop paused on purpose.
bool isPause(const TimeMark& from, const TimeMark& to) {
    return from.sample == to.sample;
}

// The blocks between the marks, by rising period; pauses have none.
std::vector<BlockPace> sortedPaces(const TimeMark* marks, size_t count) {
    std::vector<BlockPace> paces;
    paces.reserve(count - 1);
    for (size_t i = 1; i < count; ++i) {
        if (!isPause(marks[i - 1], marks[i])) {
            paces.push_back(BlockPace{nanosecondsPerSample(marks[i - 1], marks[i]),
                                      marks[i].sample - marks[i - 1].sample});
        }
    }
    std::sort(paces.begin(), paces.end(),
              [](const BlockPace& a, const BlockPace& b) { return a.period < b.period; });
    return paces;
}

// The period below which `share` of the samples of `sorted` lie.
double quantile(const std::vector<BlockPace>& sorted, double share) {
    uint64_t samples = 0;
    for (const BlockPace& block : sorted) {
        samples += block.samples;
    }
    const double wanted = share * static_cast<double>(samples);
    uint64_t seen = 0;
    for (const BlockPace& block : sorted) {
        seen += block.samples;
        if (static_cast<double>(seen) >= wanted) {
            return block.period;
        }
    }
    return sorted.empty() ? 0 : sorted.back().period;
}

PeriodSpread spreadOutsideStalls(std::vector<BlockPace> sorted, double typicalNs) {
    std::erase_if(sorted, [typicalNs](const BlockPace& block) {
        return isStall(block.period * block.samples, typicalNs * block.samples);
    });
    return PeriodSpread{quantile(sorted, 0.5) * kSecondsPerNanosecond,
                        quantile(sorted, 0.01) * kSecondsPerNanosecond,
                        quantile(sorted, 0.99) * kSecondsPerNanosecond};
}

// The first element of [from, end) for which `before` fails (as std::partition_point), searched
// outward from `from` in doubling steps: a few steps when it lies close.
template <typename It, typename Pred>
It gallop(It from, It end, Pred before) {
    It low = from;
    It high = from;
    for (std::ptrdiff_t step = 1; high != end && before(*high); step *= 2) {
        low = high + 1;
        high = end - high > step ? high + step : end;
    }
    return std::partition_point(low, high, before);
}

// The block (the index of its first mark) that `value` of a mark's `field` falls in: the one
// whose first mark is the last at or before it; the first or the last block beyond the marks.
// The search starts at block `hint` when the value lies at or after it.
template <typename Field>
size_t blockFrom(const TimeMark* marks, size_t count, size_t hint, double value,
                 Field TimeMark::*field) {
    if (hint + 1 >= count || value < static_cast<double>(marks[hint].*field)) {
        hint = 0;
    }
    const TimeMark* next = gallop(marks + hint + 1, marks + count - 1, [&](const TimeMark& m) {
        return !(value < static_cast<double>(m.*field));
    });
    return static_cast<size_t>(next - marks) - 1;
}

bool gapBeforeSample(const TimeGap& gap, uint32_t sample) {
    return gap.sample < sample;
}

const std::vector<TimeGap> kNoGaps;

}  // namespace

void TimeBase::FreeMarks::operator()(TimeMark* marks) const {
    std::free(marks);
}

void TimeBase::prepare(uint32_t samples, uint32_t stride, uint32_t pauses) {
    clear();
    const size_t room = size_t{samples} / std::max<uint32_t>(stride, 1) + 2 + pauses;
    ownMarks_.reset(static_cast<TimeMark*>(std::malloc(room * sizeof(TimeMark))));
    capacity_ = ownMarks_ ? room : 0;
    marks_.store(ownMarks_.get(), std::memory_order_release);
}

void TimeBase::clear() {
    published_.store(0, std::memory_order_release);
    finished_.store(false, std::memory_order_release);
    marks_.store(nullptr, std::memory_order_release);
    ownMarks_.reset();
    openedMarks_ = {};
    capacity_ = 0;
    failureCount_ = 0;
    gaps_.clear();
    typicalPeriodNs_ = 0;
    spread_ = {};
}

void TimeBase::noteFailedReads(uint32_t first, uint32_t end, uint32_t reads) noexcept {
    // Reads that keep failing make one note; beyond the room the last note grows.
    if (failureCount_ > 0) {
        FailedReads& last = failures_[failureCount_ - 1];
        if (last.end == first || failureCount_ == kFailureNotes) {
            last.end = end;
            last.reads += reads;
            return;
        }
    }
    failures_[failureCount_++] = FailedReads{first, end, reads};
}

void TimeBase::finish() {
    gaps_.clear();
    typicalPeriodNs_ = 0;
    spread_ = {};
    const size_t count = markCount();
    if (count >= 2) {
        findStalls(count);
    }
    addFailedReads();
    finished_.store(true, std::memory_order_release);
}

void TimeBase::findStalls(size_t count) {
    const TimeMark* marks = ownMarks_.get();
    std::vector<BlockPace> sorted = sortedPaces(marks, count);
    typicalPeriodNs_ = quantile(sorted, 0.5);
    for (size_t i = 1; i < count; ++i) {
        const double typical = typicalPeriodNs_ * (marks[i].sample - marks[i - 1].sample);
        const auto took = static_cast<double>(marks[i].nanoseconds - marks[i - 1].nanoseconds);
        if (isPause(marks[i - 1], marks[i])) {
            gaps_.push_back(TimeGap{marks[i].sample,
                                    marks[i].nanoseconds - marks[i - 1].nanoseconds, 0,
                                    GapKind::PlannedPause});
        } else if (isStall(took, typical)) {
            gaps_.push_back(TimeGap{stallSample(marks[i - 1], marks[i]),
                                    static_cast<uint64_t>(took - typical)});
        }
    }
    spread_ = spreadOutsideStalls(std::move(sorted), typicalPeriodNs_);
}

void TimeBase::addFailedReads() {
    for (size_t i = 0; i < failureCount_; ++i) {
        const FailedReads& failed = failures_[i];
        const auto at = std::lower_bound(gaps_.begin(), gaps_.end(), failed.first, gapBeforeSample);
        if (at != gaps_.end() && at->sample == failed.first) {
            at->failedReads += failed.reads;
        } else {
            gaps_.insert(at, TimeGap{failed.first, 0, failed.reads});
        }
    }
}

double TimeBase::secondsAt(double sample) const {
    return TimeWalk(*this).secondsAt(sample);
}

double TimeBase::sampleAt(double seconds) const {
    return TimeWalk(*this).sampleAt(seconds);
}

double TimeBase::secondsInBlock(size_t block, bool stood, double sample) const {
    const TimeMark& from = marks()[block];
    const TimeMark& to = marks()[block + 1];
    double ns = 0;
    if (!stood) {
        ns = static_cast<double>(from.nanoseconds) +
             (sample - from.sample) * nanosecondsPerSample(from, to);
    } else if (sample < stallSample(from, to)) {
        ns = static_cast<double>(from.nanoseconds) + (sample - from.sample) * typicalPeriodNs_;
    } else {
        ns = static_cast<double>(to.nanoseconds) - (to.sample - sample) * typicalPeriodNs_;
    }
    return ns * kSecondsPerNanosecond;
}

double TimeBase::sampleInBlock(size_t block, bool stood, double ns) const {
    const TimeMark& from = marks()[block];
    const TimeMark& to = marks()[block + 1];
    if (isPause(from, to)) {
        // Within the clock's resolution of its end the pause is over (seconds do not map back
        // to nanoseconds exactly).
        constexpr double kHalfTick = 0.5;
        return ns + kHalfTick >= static_cast<double>(to.nanoseconds)
                   ? to.sample
                   : std::max(from.sample - 1.0, 0.0);
    }
    if (!stood) {
        return sampleReached(from, ns, nanosecondsPerSample(from, to));
    }
    const uint32_t after = stallSample(from, to);
    if (ns >= static_cast<double>(to.nanoseconds) - (to.sample - after) * typicalPeriodNs_) {
        return std::max(sampleReached(to, ns, typicalPeriodNs_), static_cast<double>(after));
    }
    // Inside the stall no sample was taken: the one before it was the last.
    return std::min(sampleReached(from, ns, typicalPeriodNs_), after - 1.0);
}

const std::vector<TimeGap>& TimeBase::gaps() const {
    return finished() ? gaps_ : kNoGaps;
}

std::optional<TimeGap> TimeBase::gapBefore(uint32_t sample) const {
    const std::vector<TimeGap>& all = gaps();
    const auto it = std::lower_bound(all.begin(), all.end(), sample, gapBeforeSample);
    if (it == all.end() || it->sample != sample) {
        return std::nullopt;
    }
    return *it;
}

std::vector<TimeGap> TimeBase::gapsBetween(uint32_t first, uint32_t last) const {
    const std::vector<TimeGap>& all = gaps();
    const auto from = std::lower_bound(all.begin(), all.end(), first, gapBeforeSample);
    const auto to = std::upper_bound(all.begin(), all.end(), last,
                                     [](uint32_t s, const TimeGap& g) { return s < g.sample; });
    return from < to ? std::vector<TimeGap>(from, to) : std::vector<TimeGap>{};
}

std::pair<uint32_t, uint32_t> TimeBase::gapReach(const TimeGap& gap) const {
    std::pair<uint32_t, uint32_t> reach{gap.sample > 0 ? gap.sample - 1 : 0, gap.sample};
    if (gap.failedReads > 0 && markCount() >= 2) {
        // The block the reads failed in starts at the gap's sample.
        const TimeMark* last = marks() + markCount() - 1;
        const TimeMark* to = std::upper_bound(
            marks(), last, gap.sample, [](uint32_t s, const TimeMark& m) { return s < m.sample; });
        reach.second = std::max(reach.second, to->sample);
    }
    return reach;
}

bool TimeBase::gapNear(uint32_t first, uint32_t last) const {
    const std::vector<TimeGap>& all = gaps();
    auto it = std::lower_bound(all.begin(), all.end(), first, gapBeforeSample);
    // Reaches rise with the gaps' samples: only the last gap before `first` may reach it.
    if (it != all.begin()) {
        --it;
    }
    for (; it != all.end(); ++it) {
        const auto [from, to] = gapReach(*it);
        if (from > last) {
            return false;
        }
        if (to >= first) {
            return true;
        }
    }
    return false;
}

bool TimeBase::slowBlockNear(uint32_t first, uint32_t last) const {
    const size_t count = markCount();
    if (!finished() || count < 2) {
        return false;
    }
    const TimeMark* m = marks();
    // The blocks that end at `first` or later and start no later than the sample after `last`.
    const auto bySample = [](const TimeMark& mark, uint32_t s) { return mark.sample < s; };
    size_t block = static_cast<size_t>(std::lower_bound(m, m + count, first, bySample) - m);
    block = block > 0 ? block - 1 : 0;
    for (; block + 1 < count && m[block].sample <= last + 1; ++block) {
        const uint32_t samples = m[block + 1].sample - m[block].sample;
        const auto took = static_cast<double>(m[block + 1].nanoseconds - m[block].nanoseconds);
        if (samples > 0 &&
            took - typicalPeriodNs_ * samples > std::max(typicalPeriodNs_, kHiccupNs)) {
            return true;
        }
    }
    return false;
}

bool TimeBase::stoodStillNear(uint32_t first, uint32_t last) const {
    return slowBlockNear(first, last) || gapNear(first, last);
}

double TimeBase::meanPeriod() const {
    const size_t count = markCount();
    if (count < 2) {
        return 0;
    }
    return nanosecondsPerSample(marks()[0], marks()[count - 1]) * kSecondsPerNanosecond;
}

PeriodSpread TimeBase::periodSpread() const {
    return finished() ? spread_ : PeriodSpread{};
}

TimeBaseValues TimeBase::valuesFor(uint32_t first, uint32_t count) const {
    TimeBaseValues values;
    const size_t total = markCount();
    if (total < 2 || count == 0) {
        return values;
    }
    const TimeMark* m = marks();
    const uint64_t last = uint64_t{first} + count - 1;
    // From the last mark at or before `first` to the first after the last sample, so that the
    // block of every kept sample is whole (a pause at the last sample with it).
    const auto bySample = [](uint64_t s, const TimeMark& mark) { return s < mark.sample; };
    const TimeMark* after = std::upper_bound(m, m + total, uint64_t{first}, bySample);
    const TimeMark* from = after == m ? m : after - 1;
    const TimeMark* to = std::upper_bound(from, m + total, last, bySample);
    to = to == m + total ? to - 1 : to;
    // Beyond the last mark (or before the first) the pace of the block there goes on.
    if (to == from && from == m) {
        ++to;
    } else if (to == from) {
        --from;
    }
    values.marks.assign(from, to + 1);
    values.gaps = gapsBetween(first, static_cast<uint32_t>(last));
    values.typicalPeriodNs = typicalPeriodNs_;
    values.spread = periodSpread();
    return values;
}

void TimeBase::restore(TimeBaseValues values) {
    clear();
    openedMarks_ = std::move(values.marks);
    marks_.store(openedMarks_.data(), std::memory_order_release);
    published_.store(openedMarks_.size(), std::memory_order_release);
    gaps_ = std::move(values.gaps);
    typicalPeriodNs_ = values.typicalPeriodNs;
    spread_ = values.spread;
    finished_.store(true, std::memory_order_release);
}

double TimeWalk::secondsAt(double sample) {
    if (base_->markCount() < 2) {
        return 0;
    }
    const size_t block = blockBySample(sample);
    return base_->secondsInBlock(block, stalled(block), sample);
}

double TimeWalk::sampleAt(double seconds) {
    if (base_->markCount() < 2) {
        return 0;
    }
    const double ns = seconds / kSecondsPerNanosecond;
    const size_t block = blockByNanoseconds(ns);
    return base_->sampleInBlock(block, stalled(block), ns);
}

size_t TimeWalk::blockBySample(double sample) {
    sampleBlock_ =
        blockFrom(base_->marks(), base_->markCount(), sampleBlock_, sample, &TimeMark::sample);
    return sampleBlock_;
}

size_t TimeWalk::blockByNanoseconds(double nanoseconds) {
    nanosecondBlock_ = blockFrom(base_->marks(), base_->markCount(), nanosecondBlock_, nanoseconds,
                                 &TimeMark::nanoseconds);
    return nanosecondBlock_;
}

// Whether the block from mark `block` holds a stall; the search for its gap starts at the last
// one found.
bool TimeWalk::stalled(size_t block) {
    const std::vector<TimeGap>& all = base_->gaps();
    const uint32_t at = stallSample(base_->marks()[block], base_->marks()[block + 1]);
    if (gap_ > all.size() || (gap_ > 0 && all[gap_ - 1].sample >= at)) {
        gap_ = 0;
    }
    const auto it = gallop(all.begin() + static_cast<std::ptrdiff_t>(gap_), all.end(),
                           [at](const TimeGap& gap) { return gap.sample < at; });
    gap_ = static_cast<size_t>(it - all.begin());
    return it != all.end() && it->sample == at && it->kind == GapKind::Stall && it->nanoseconds > 0;
}
