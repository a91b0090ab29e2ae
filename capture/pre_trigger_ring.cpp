#include "capture/pre_trigger_ring.h"

#include <algorithm>

#include "capture/probe_clock.h"
#include "capture/time_marker.h"

PreTriggerRing::PreTriggerRing(uint8_t* slots, uint32_t size, ProbeClock& clock)
    : slots_(slots), size_(size), clock_(clock) {
    if (size_ != 0) {
        // The oldest kept read lies at most size_ reads back, between two marks held here: a
        // mark after each stretch, one stretch more where the ring goes round and where the
        // wait is armed, the marks either side and the one at the end.
        marks_.resize(size_ / kRingMarkStride + 6);
    }
}

void PreTriggerRing::mark() {
    marks_[markCount_ % marks_.size()] = WaitMark{reads_, clock_.nowNanoseconds()};
    ++markCount_;
}

// The clock time of `read`, between the marks around it; the newest mark is after every read.
uint64_t PreTriggerRing::timeOfRead(uint64_t read) const {
    const uint64_t oldest = markCount_ > marks_.size() ? markCount_ - marks_.size() : 0;
    uint64_t after = oldest + 1;
    while (after + 1 < markCount_ && markAt(after).read <= read) {
        ++after;
    }
    const WaitMark& from = markAt(after - 1);
    const WaitMark& to = markAt(after);
    if (to.read <= from.read || read <= from.read) {
        return from.nanoseconds;
    }
    const double share = static_cast<double>(read - from.read) / (to.read - from.read);
    return from.nanoseconds +
           static_cast<uint64_t>(share * static_cast<double>(to.nanoseconds - from.nanoseconds));
}

void PreTriggerRing::startRecording(TimeMarker& marker) {
    mark();
    const uint64_t first = reads_ - kept();
    marker.markKept(0, timeOfRead(first));
    const uint64_t oldest = markCount_ > marks_.size() ? markCount_ - marks_.size() : 0;
    for (uint64_t index = oldest; index + 1 < markCount_; ++index) {
        const WaitMark& wait = markAt(index);
        if (wait.read > first && wait.read < reads_) {
            marker.markKept(static_cast<uint32_t>(wait.read - first), wait.nanoseconds);
        }
    }
}

void PreTriggerRing::putInOrder() {
    if (wrapped()) {
        std::rotate(slots_, slots_ + next_, slots_ + size_);
    }
}

uint32_t preTriggerSlots(uint32_t length, uint8_t percent) {
    const uint64_t before = uint64_t{length} * std::min<uint8_t>(percent, 100) / 100;
    return before == 0 || before >= length ? 0 : static_cast<uint32_t>(before) + 1;
}
