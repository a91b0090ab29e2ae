#include "display/sample_spans.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Quiet samples with a one-sample pulse on a different channel every 997 samples.
std::vector<uint8_t> pulses(uint32_t length) {
    std::vector<uint8_t> samples(length, 0x40);
    for (uint32_t i = 500; i < length; i += 997) {
        samples[i] |= static_cast<uint8_t>(1U << (i % 5));
    }
    return samples;
}

// Where the pyramid covers a stretch, and for a short stretch without it, the span is what the
// samples hold; a long stretch without a pyramid is left empty (drawn as nothing).
TEST(SampleSpans, FromThePyramidTheSamplesOrNothing) {
    const std::vector<uint8_t> samples = pulses(300000);
    LevelPyramid whole;  // what each stretch holds
    whole.extend(samples.data(), 300000);
    const struct Case {
        const char* what;
        uint32_t pyramidLength;  // 0: no pyramid
        uint32_t first, end;
        bool known;
    } cases[] = {
        {"covered, long", 300000, 0, 300000, true},
        {"covered, short", 300000, 495, 503, true},
        {"covered, one sample", 300000, 500, 501, true},
        {"no pyramid, short", 0, 495, 503, true},
        {"no pyramid, a few columns' worth", 0, 1490, 1500, true},
        {"no pyramid, long", 0, 0, 300000, false},
        {"no pyramid, empty", 0, 700, 700, false},
        {"beyond a shorter pyramid, short", 1000, 1495, 1500, true},
        {"beyond a shorter pyramid, long", 1000, 0, 200000, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LevelPyramid pyramid;
        pyramid.extend(samples.data(), c.pyramidLength);
        const SampleSpans spans{samples.data(), c.pyramidLength > 0 ? &pyramid : nullptr};
        const LevelSpan want = c.known ? whole.span(samples.data(), c.first, c.end) : LevelSpan{};
        const LevelSpan got = spans.span(c.first, c.end);
        EXPECT_EQ(got.allHigh, want.allHigh);
        EXPECT_EQ(got.anyHigh, want.anyHigh);
    }
}

}  // namespace
