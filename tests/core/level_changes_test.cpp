#include "core/level_changes.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <vector>

namespace {

// Channel 1 (bit 0x08): low, high at 3 and 4, low again from 5, high from 9 to the end. Channel 2
// (0x10) rises at 7; bit 0 (not a channel) flips at 1.
const std::vector<uint8_t> kSamples = {0, 1, 1, 9, 9, 1, 1, 0x11, 0x11, 0x19, 0x19, 0x19};

struct ChangeCase {
    uint8_t mask;
    uint32_t from;
    std::optional<uint32_t> next, previous;
};

TEST(LevelChanges, NextAndPreviousChangeOfTheMaskedChannels) {
    const ChangeCase cases[] = {
        {0x08, 0, 3, {}},
        {0x08, 2, 3, {}},
        {0x08, 3, 5, {}},
        {0x08, 4, 5, 3},
        {0x08, 5, 9, 3},
        {0x08, 8, 9, 5},
        {0x08, 9, {}, 5},
        {0x08, 11, {}, 9},
        {0x08, 12, {}, 9},
        {0x08, 500, {}, 9},
        // Two channels: a change of either; the bit that is no channel is never watched.
        {0x18, 5, 7, 3},
        {0x18, 7, 9, 5},
        {0x10, 0, 7, {}},
        {0x10, 12, {}, 7},
        {0xF8, 0, 3, {}},
        {0x00, 0, {}, {}},
        {0x00, 12, {}, {}},
    };
    for (const ChangeCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "mask " << int(c.mask) << " from " << c.from);
        EXPECT_EQ(nextChange(kSamples.data(), 12, c.from, c.mask), c.next);
        EXPECT_EQ(previousChange(kSamples.data(), 12, c.from, c.mask), c.previous);
    }
}

// Nothing is read at or past the length, however far `from` lies.
TEST(LevelChanges, NoSampleOutsideTheData) {
    constexpr uint32_t kFarthest = std::numeric_limits<uint32_t>::max();
    EXPECT_EQ(nextChange(kSamples.data(), 0, 0, 0x08), std::nullopt);
    EXPECT_EQ(nextChange(kSamples.data(), 4, 3, 0x08), std::nullopt);
    EXPECT_EQ(nextChange(kSamples.data(), 12, kFarthest, 0x08), std::nullopt);
    EXPECT_EQ(previousChange(kSamples.data(), 4, kFarthest, 0x08), 3u);
    EXPECT_EQ(previousChange(kSamples.data(), 1, 1, 0x08), std::nullopt);
}

}  // namespace
