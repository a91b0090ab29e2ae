#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

// When the samples of one capture were taken. Sample numbers here are the capture's own (0 is
// its first read), so Cut Before, which moves scopeSession.sampleOrigin, leaves the time base as
// it is. A recording without a time base (a loaded file) knows sample numbers only.

// The sample loop read the clock just before it read sample `sample`: nanoseconds since the
// capture's first read.
struct TimeMark {
    uint32_t sample = 0;
    uint64_t nanoseconds = 0;
};

constexpr double kSecondsPerNanosecond = 1e-9;

// The pace of the block between two marks.
inline double nanosecondsPerSample(const TimeMark& from, const TimeMark& to) {
    return static_cast<double>(to.nanoseconds - from.nanoseconds) / (to.sample - from.sample);
}

enum class GapKind : uint8_t {
    Stall,         // the sampling was held up: preemption, a page fault, a slow read
    PlannedPause,  // the loop blocked on purpose, so that the system would not stop it
};

// Sampling stood still before `sample` for `nanoseconds` beyond the capture's typical pace. Or,
// with `failedReads`, that many reads failed (and read 0xFF) from `sample` on, within the block
// of samples between two marks that starts there; `nanoseconds` is then 0 unless the sampling
// also stood still before `sample`. A planned pause is the whole time the loop blocked; the loop
// marks it as a block of no samples (two marks at its sample), so it is known exactly.
struct TimeGap {
    uint32_t sample = 0;
    uint64_t nanoseconds = 0;
    uint32_t failedReads = 0;
    GapKind kind = GapKind::Stall;
};

// How regular the sampling was outside its gaps: the seconds per sample of the blocks between
// two marks, at the median and at the 1st and 99th percentiles, counting each sample once.
struct PeriodSpread {
    double median = 0;
    double low = 0;
    double high = 0;
};

// A finished time base as plain values, as a file keeps it. Sample numbers are the capture's.
struct TimeBaseValues {
    std::vector<TimeMark> marks;
    std::vector<TimeGap> gaps;
    double typicalPeriodNs = 0;  // the median nanoseconds per sample over the blocks
    PeriodSpread spread;
};

class TimeWalk;

class TimeBase {
public:
    TimeBase() = default;
    TimeBase(const TimeBase&) = delete;
    TimeBase& operator=(const TimeBase&) = delete;

    // Room for the marks of a capture of `samples` samples with a mark every `stride` samples
    // or more (plus the last) and `pauses` planned pauses, so that the sample loop never
    // allocates. Drops any marks and gaps. Without memory for them the capture goes without a
    // time base.
    void prepare(uint32_t samples, uint32_t stride, uint32_t pauses = 0);
    // Back to "no time".
    void clear();

    // Sample loop: marks in rising sample order, the first at sample 0; two marks at one sample
    // are a planned pause before it. Published to readers on
    // other threads (release) as the worker's stored count is. Marks beyond the room are dropped.
    void mark(uint32_t sample, uint64_t nanoseconds) noexcept {
        const size_t count = published_.load(std::memory_order_relaxed);
        if (count < capacity_) {
            ownMarks_.get()[count] = TimeMark{sample, nanoseconds};
            published_.store(count + 1, std::memory_order_release);
        }
    }
    // Sample loop: `reads` of the reads of samples `first` to `end` - 1 failed.
    void noteFailedReads(uint32_t first, uint32_t end, uint32_t reads) noexcept;

    // After the sample loop, on the thread that ran it: finds the gaps among the marks. Until
    // then readers on other threads see the marks and no gaps.
    void finish();

    // The values that give the times of samples [first, first + count): the marks of the blocks
    // they lie in and the gaps before them (a gap before `first` lies outside). No marks when
    // fewer than two would be kept.
    TimeBaseValues valuesFor(uint32_t first, uint32_t count) const;
    // Takes `values` as the finished time base, as if a capture had made them (an opened file).
    // Its marks are kept as they are, not copied: a long recording's are megabytes.
    void restore(TimeBaseValues values);

    // At least two marks: the time of every sample between them is known.
    bool known() const { return markCount() >= 2; }
    size_t markCount() const { return published_.load(std::memory_order_acquire); }
    const TimeMark* marks() const { return marks_.load(std::memory_order_acquire); }

    // Seconds from the capture's first sample to `sample` (fractional samples allowed),
    // interpolated within its block and extrapolated at the same pace beyond the last mark. A
    // block that stood still has its gap halfway (the clock cannot tell which of its reads
    // stood still): the samples before the gap follow the typical pace from the block's start,
    // those after it lead up to its end at that pace. 0 without a time base.
    double secondsAt(double sample) const;
    // The sample taken at `seconds` (inverse of secondsAt); inside a gap, the last one before
    // it (inside a planned pause, the whole sample before it). 0 without a time base.
    double sampleAt(double seconds) const;

    // Gaps in rising sample order (after finish; none before); at one sample, a stall before
    // a planned pause.
    const std::vector<TimeGap>& gaps() const;
    // The gap just before `sample`, if there is one.
    std::optional<TimeGap> gapBefore(uint32_t sample) const;
    // The gaps before the samples in [first, last].
    std::vector<TimeGap> gapsBetween(uint32_t first, uint32_t last) const;
    // Whether the sampling may have stood still next to one of the samples in [first, last]: a
    // gap there, or a block around them that took a typical sample's time (and a microsecond)
    // more than its typical time: a stall too short to be a gap still hides a sample. The clock
    // does not tell which read of a block stood still, nor which of its reads failed, so every
    // sample of such a block counts, and so does the one before it (the clock is read before the
    // read).
    bool stoodStillNear(uint32_t first, uint32_t last) const;

    // Seconds per sample over all marks, gaps included; 0 without a time base.
    double meanPeriod() const;
    // After finish; all 0 without a time base.
    PeriodSpread periodSpread() const;

private:
    friend class TimeWalk;

    bool finished() const { return finished_.load(std::memory_order_acquire); }
    // The first and the last sample that a planned pause or failed reads may lie next to.
    std::pair<uint32_t, uint32_t> gapReach(const TimeGap& gap) const;
    bool gapNear(uint32_t first, uint32_t last) const;
    bool slowBlockNear(uint32_t first, uint32_t last) const;
    // Within the block from mark `block`, given whether it stood still.
    double secondsInBlock(size_t block, bool stood, double sample) const;
    double sampleInBlock(size_t block, bool stood, double nanoseconds) const;
    void findStalls(size_t count);
    void addFailedReads();

    struct FailedReads {
        uint32_t first = 0;
        uint32_t end = 0;
        uint32_t reads = 0;
    };
    static constexpr size_t kFailureNotes = 64;

    // Left as allocated, so that room for a mark per sample costs nothing until it is used.
    struct FreeMarks {
        void operator()(TimeMark* marks) const;
    };
    std::unique_ptr<TimeMark, FreeMarks> ownMarks_;
    std::vector<TimeMark> openedMarks_;  // those restore() took
    std::atomic<const TimeMark*> marks_{nullptr};
    size_t capacity_ = 0;
    std::atomic<size_t> published_{0};
    std::atomic<bool> finished_{false};
    FailedReads failures_[kFailureNotes];
    size_t failureCount_ = 0;
    std::vector<TimeGap> gaps_;
    double typicalPeriodNs_ = 0;  // median nanoseconds per sample over the blocks
    PeriodSpread spread_;
};

// Lookups in rising order, as a paint's columns ask them: each starts where the last one ended,
// so that a screen of them costs the same in a short capture as in a long one. Gives what the
// time base's own lookups give, in any order; it must not outlive the time base.
class TimeWalk {
public:
    explicit TimeWalk(const TimeBase& base) : base_(&base) {}
    bool walks(const TimeBase& base) const { return base_ == &base; }
    double secondsAt(double sample);
    double sampleAt(double seconds);

private:
    size_t blockBySample(double sample);
    size_t blockByNanoseconds(double nanoseconds);
    bool stalled(size_t block);

    const TimeBase* base_;
    size_t sampleBlock_ = 0;
    size_t nanosecondBlock_ = 0;
    size_t gap_ = 0;
};
