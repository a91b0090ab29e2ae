#pragma once

#include <cstdint>
#include <vector>

// What a stretch of samples holds, per channel bit: the bits that are 1 in every sample (the
// minimum of each channel) and the bits that are 1 in any (its maximum). A bit set in `anyHigh`
// but not in `allHigh` is a channel that changes within the stretch.
struct LevelSpan {
    uint8_t allHigh = 0xFF;
    uint8_t anyHigh = 0x00;

    void add(LevelSpan other) {
        allHigh &= other.allHigh;
        anyHigh |= other.anyHigh;
    }
};

// Min/max of the samples over blocks of 2, 4, 8 ... samples, so that a stretch of any length is
// summed up from a few blocks instead of all its samples. The samples themselves stay with their
// owner and are handed to every call; the pyramid holds only the blocks above them.
class LevelPyramid {
public:
    // Forgets everything: a pyramid over no samples.
    void clear();
    // Takes in samples [length(), newLength) of `samples`; the ones before must be those it saw.
    void extend(const uint8_t* samples, uint32_t newLength);
    // Makes room for `length` samples at once, so that extending up to them in steps never
    // holds a level twice while it moves.
    void reserveFor(uint32_t length);
    uint32_t length() const { return length_; }

    // Samples [first, end) of `samples` summed up; end must not exceed length(). Empty when
    // first >= end.
    LevelSpan span(const uint8_t* samples, uint32_t first, uint32_t end) const;

private:
    // levels_[k] holds the blocks of 2^(k+1) samples; its last block may be short.
    std::vector<std::vector<LevelSpan>> levels_;
    uint32_t length_ = 0;
};
