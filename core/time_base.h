#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
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

// Sampling stood still before `sample` for `nanoseconds` beyond the capture's typical pace.
struct TimeGap {
    uint32_t sample = 0;
    uint64_t nanoseconds = 0;
};

class TimeBase {
public:
    // Room for the marks of a capture of `samples` samples with a mark every `stride` samples
    // (plus the last), so that the sample loop never allocates. Drops any marks and gaps.
    void prepare(uint32_t samples, uint32_t stride);
    // Back to "no time".
    void clear();

    // Sample loop: marks in rising sample order, the first at sample 0. Published to readers on
    // other threads (release) as the worker's stored count is. Marks beyond the room are dropped.
    void mark(uint32_t sample, uint64_t nanoseconds) noexcept {
        const size_t count = published_.load(std::memory_order_relaxed);
        if (count < capacity_) {
            marks_[count] = TimeMark{sample, nanoseconds};
            published_.store(count + 1, std::memory_order_release);
        }
    }

    // After the sample loop, on the thread that ran it: finds the gaps among the marks.
    void finish();

    // At least two marks: the time of every sample between them is known.
    bool known() const { return markCount() >= 2; }
    size_t markCount() const { return published_.load(std::memory_order_acquire); }
    const TimeMark* marks() const { return marks_.get(); }

    // Seconds from the capture's first sample to `sample` (fractional samples allowed),
    // interpolated within its block and extrapolated at the same pace beyond the last mark.
    // 0 without a time base.
    double secondsAt(double sample) const;
    // The sample taken last at or before `seconds` (inverse of secondsAt); 0 without a time base.
    double sampleAt(double seconds) const;

    // Gaps in rising sample order (after finish).
    const std::vector<TimeGap>& gaps() const { return gaps_; }
    // The gap just before `sample`, if there is one.
    std::optional<TimeGap> gapBefore(uint32_t sample) const;
    // The gaps before the samples in [first, last].
    std::vector<TimeGap> gapsBetween(uint32_t first, uint32_t last) const;

    // Seconds per sample over all marks; 0 without a time base.
    double meanPeriod() const;

private:
    std::unique_ptr<TimeMark[]> marks_;
    size_t capacity_ = 0;
    std::atomic<size_t> published_{0};
    std::vector<TimeGap> gaps_;
    double typicalPeriodNs_ = 0;  // median nanoseconds per sample over the blocks
};
