#pragma once

#include <cstdint>
#include <vector>

class ProbeClock;
class TimeMarker;

// The reads of a trigger wait that become the start of the recording: the wait stores every read
// in a ring at the start of the sample buffer, with a clock mark every kRingMarkStride reads, so
// that when the trigger fires the newest reads are the pre-trigger samples, timed as the rest.
class PreTriggerRing {
public:
    // Reads between two clock marks of the wait: the cost of a clock reading next to them is nil.
    static constexpr uint32_t kRingMarkStride = 256;

    // Keeps up to `size` reads in slots[0, size); 0 keeps none.
    PreTriggerRing(uint8_t* slots, uint32_t size, ProbeClock& clock);

    bool keeps() const { return size_ != 0; }
    // The reads kept before the trigger's own: the wait fills these before it looks for it.
    uint32_t share() const { return size_ == 0 ? 0 : size_ - 1; }

    // Where the next read goes and how many go there in a row before the ring goes round: the
    // wait stores a stretch of reads itself, then says how many with advance().
    uint8_t* next() const { return slots_ + next_; }
    uint32_t room() const { return size_ - next_; }
    void advance(uint32_t reads) {
        next_ += reads;
        if (next_ == size_) {
            next_ = 0;
        }
        reads_ += reads;
    }
    void storeRead(uint8_t byte) {
        *next() = byte;
        advance(1);
    }
    // Just before the next read: before the first and after every stretch, a stretch being
    // kRingMarkStride reads at most.
    void mark();

    // After the wait: how many reads the recording starts with, and whether they wrapped round.
    uint32_t kept() const { return reads_ < size_ ? static_cast<uint32_t>(reads_) : size_; }
    bool wrapped() const { return reads_ > size_; }
    // Gives `marker` the kept reads' clock marks, the oldest kept read as sample 0 and the time
    // base's origin, the clock read now as the end of the last of them.
    void startRecording(TimeMarker& marker);
    // Puts the kept reads in read order at the start of the slots.
    void putInOrder();

private:
    struct WaitMark {
        uint64_t read = 0;  // the wait's read number the clock was read before
        uint64_t nanoseconds = 0;
    };
    const WaitMark& markAt(uint64_t index) const { return marks_[index % marks_.size()]; }
    uint64_t timeOfRead(uint64_t read) const;

    uint8_t* const slots_;
    const uint32_t size_;
    ProbeClock& clock_;
    std::vector<WaitMark>
        marks_;  // a ring of the newest marks, enough to reach the oldest kept read
    uint64_t markCount_ = 0;
    uint32_t next_ = 0;
    uint64_t reads_ = 0;
};

// Slots of a capture of `length` samples the ring keeps for a pre-trigger share of `percent`:
// the samples before the trigger and the trigger's own read; 0 without a share.
uint32_t preTriggerSlots(uint32_t length, uint8_t percent);
