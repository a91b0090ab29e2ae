#include "capture/time_marker.h"

#include <algorithm>
#include <atomic>
#include <limits>

#include "capture/pause_plan.h"
#include "capture/probe_clock.h"
#include "capture/status_port.h"
#include "core/time_base.h"

namespace {

// A block is to take this many clock readings' time at least.
constexpr uint64_t kReadingsPerBlock = 100;
// Marks for every sample up to this many; a longer capture starts with longer blocks.
constexpr uint32_t kMostMarks = uint32_t{1} << 20;

std::atomic<uint32_t> chosenFirstBlock{0};

uint32_t firstBlockLength(uint32_t samples) {
    if (const uint32_t chosen = chosenFirstBlock.load(std::memory_order_relaxed); chosen != 0) {
        return chosen;
    }
    uint32_t stride = 1;
    while (samples / stride > kMostMarks) {
        stride *= 2;
    }
    return stride;
}

}  // namespace

void setFirstBlockLength(uint32_t samples) {
    chosenFirstBlock.store(samples, std::memory_order_relaxed);
}

TimeMarker::TimeMarker(TimeBase& timeBase, ProbeClock& clock, const StatusPort& port,
                       uint32_t samples, PausePlan* pauses)
    : timeBase_(timeBase),
      clock_(clock),
      port_(port),
      pauses_(pauses != nullptr && !pauses->empty() ? pauses : nullptr),
      pauseMarksLeft_(pauses_ != nullptr ? kMarkedPauses : 0),
      growBelowNs_(kReadingsPerBlock * clock.readCostNanoseconds()),
      stride_(firstBlockLength(samples)) {
    timeBase_.prepare(samples, stride_, pauseMarksLeft_);
}

uint32_t TimeMarker::startBlock(uint32_t sample) {
    uint64_t now = clock_.nowNanoseconds();
    if (started_) {
        closeBlock(sample, now);
        if (pauses_ != nullptr && pauses_->due(now)) {
            now = pauseAfterBlock(sample, now);
        }
    } else {
        // A pause before the first sample is the trigger wait's, not the capture's.
        if (pauses_ != nullptr && pauses_->due(now)) {
            now = pauses_->pause(now);
        }
        begin(now);
    }
    timeBase_.mark(sample, now - originNs_);
    blockStartNs_ = now;
    blockStart_ = sample;
    return sample + std::min(stride_, std::numeric_limits<uint32_t>::max() - sample);
}

void TimeMarker::begin(uint64_t originNs) {
    started_ = true;
    originNs_ = originNs;
    failedReads_ = port_.failedReads();
}

void TimeMarker::markKept(uint32_t sample, uint64_t nanoseconds) {
    if (!started_) {
        begin(nanoseconds);
    }
    timeBase_.mark(sample, nanoseconds - originNs_);
    blockStartNs_ = nanoseconds;
    blockStart_ = sample;
}

// The block before `sample` has ended now; the pause becomes a block of no samples, two marks at
// `sample`, so that the time base knows it exactly.
uint64_t TimeMarker::pauseAfterBlock(uint32_t sample, uint64_t now) {
    if (pauseMarksLeft_ > 0) {
        timeBase_.mark(sample, now - originNs_);
        --pauseMarksLeft_;
    }
    return pauses_->pause(now);
}

void TimeMarker::end(uint32_t reads) {
    if (!started_ || reads <= blockStart_) {
        return;
    }
    const uint64_t now = clock_.nowNanoseconds();
    closeBlock(reads, now);
    timeBase_.mark(reads, now - originNs_);
}

// The block from blockStart_ to `end` is over: its failed reads are noted, and the next block
// is longer when this one was too short for the clock's cost.
void TimeMarker::closeBlock(uint32_t end, uint64_t now) {
    const uint64_t failed = port_.failedReads();
    if (failed != failedReads_) {
        timeBase_.noteFailedReads(blockStart_, end, static_cast<uint32_t>(failed - failedReads_));
        failedReads_ = failed;
    }
    if (now - blockStartNs_ < growBelowNs_ && stride_ < kLongestBlock) {
        stride_ *= 2;
    }
}
