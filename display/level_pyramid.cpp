#include "display/level_pyramid.h"

#include <cstddef>

namespace {

LevelSpan sampleSpan(uint8_t sample) {
    return LevelSpan{sample, sample};
}

// Blocks at a level over `count` entries of the level below.
uint32_t blocksOver(uint32_t count) {
    return count / 2 + count % 2;
}

}  // namespace

void LevelPyramid::clear() {
    levels_.clear();
    length_ = 0;
}

void LevelPyramid::extend(const uint8_t* samples, uint32_t newLength) {
    if (newLength <= length_) {
        return;
    }
    // At every level the block that was short, and the ones after it, are summed up again.
    uint32_t changedBelow = length_;
    uint32_t countBelow = newLength;
    for (std::size_t k = 0; countBelow > 1; ++k) {
        if (levels_.size() <= k) {
            levels_.emplace_back();
        }
        std::vector<LevelSpan>& level = levels_[k];
        const uint32_t count = blocksOver(countBelow);
        level.resize(count);
        for (uint32_t i = changedBelow / 2; i < count; ++i) {
            const uint32_t left = 2 * i;
            LevelSpan block = k == 0 ? sampleSpan(samples[left]) : levels_[k - 1][left];
            if (left + 1 < countBelow) {
                block.add(k == 0 ? sampleSpan(samples[left + 1]) : levels_[k - 1][left + 1]);
            }
            level[i] = block;
        }
        changedBelow /= 2;
        countBelow = count;
    }
    length_ = newLength;
}

void LevelPyramid::reserveFor(uint32_t length) {
    uint32_t countBelow = length;
    for (std::size_t k = 0; countBelow > 1; ++k) {
        if (levels_.size() <= k) {
            levels_.emplace_back();
        }
        countBelow = blocksOver(countBelow);
        levels_[k].reserve(countBelow);
    }
}

// Bottom up: an end that is not on a block boundary of the next level up is taken on its own.
LevelSpan LevelPyramid::span(const uint8_t* samples, uint32_t first, uint32_t end) const {
    LevelSpan total;
    for (int k = -1; first < end; ++k) {
        const auto entry = [&](uint32_t i) {
            return k < 0 ? sampleSpan(samples[i]) : levels_[static_cast<std::size_t>(k)][i];
        };
        if (first % 2 != 0) {
            total.add(entry(first++));
        }
        if (end % 2 != 0) {
            total.add(entry(--end));
        }
        first /= 2;
        end /= 2;
    }
    return total;
}
