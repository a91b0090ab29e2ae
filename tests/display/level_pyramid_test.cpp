#include "display/level_pyramid.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "core/scope_session.h"
#include "display/session_pyramid.h"
#include "tests/support/session_samples.h"

namespace {

LevelSpan bruteForce(const std::vector<uint8_t>& samples, uint32_t first, uint32_t end) {
    LevelSpan span;
    for (uint32_t i = first; i < end; ++i) {
        span.add(LevelSpan{samples[i], samples[i]});
    }
    return span;
}

std::vector<uint8_t> randomSamples(uint32_t length, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> samples(length);
    for (uint8_t& s : samples) {
        // Mostly quiet, with rare single-sample pulses, so that blocks differ.
        s = random() % 16 == 0 ? static_cast<uint8_t>(random()) : 0x40;
    }
    return samples;
}

void expectSpan(const LevelPyramid& pyramid, const std::vector<uint8_t>& samples, uint32_t first,
                uint32_t end) {
    const LevelSpan want = bruteForce(samples, first, end);
    const LevelSpan got = pyramid.span(samples.data(), first, end);
    EXPECT_EQ(got.allHigh, want.allHigh) << first << ".." << end;
    EXPECT_EQ(got.anyHigh, want.anyHigh) << first << ".." << end;
}

// Every block of every level, and every range of short captures, against a walk over the samples.
TEST(LevelPyramid, MatchesBruteForceAtEveryLevel) {
    for (uint32_t length : {1u, 2u, 3u, 7u, 8u, 9u, 100u, 4097u}) {
        SCOPED_TRACE(length);
        const std::vector<uint8_t> samples = randomSamples(length, length);
        LevelPyramid pyramid;
        pyramid.extend(samples.data(), length);
        ASSERT_EQ(pyramid.length(), length);
        for (uint32_t block = 1; block <= 2 * length; block *= 2) {
            for (uint32_t first = 0; first < length; first += block) {
                expectSpan(pyramid, samples, first, std::min(first + block, length));
            }
        }
        if (length <= 100) {
            for (uint32_t first = 0; first < length; ++first) {
                for (uint32_t end = first + 1; end <= length; ++end) {
                    expectSpan(pyramid, samples, first, end);
                }
            }
        }
    }
}

// Taking samples in as the worker stores them gives the same pyramid as taking them all at once.
TEST(LevelPyramid, ExtendingBitByBitEqualsBuildingAtOnce) {
    const std::vector<uint8_t> samples = randomSamples(5000, 7);
    LevelPyramid pyramid;
    std::mt19937 random(3);
    for (uint32_t length = 0; length < 5000;) {
        length = std::min<uint32_t>(length + 1 + random() % 700, 5000);
        pyramid.extend(samples.data(), length);
        for (uint32_t first : {0u, length / 3, length - 1}) {
            expectSpan(pyramid, samples, first, length);
        }
    }
    std::uniform_int_distribution<uint32_t> pick(0, 5000);
    for (int n = 0; n < 2000; ++n) {
        uint32_t a = pick(random), b = pick(random);
        if (a != b) {
            expectSpan(pyramid, samples, std::min(a, b), std::max(a, b));
        }
    }
}

// A live capture is taken in paint by paint, often sample by sample: a block that was part full
// at one paint is summed again at the next, so that a single-sample pulse stored in its empty
// part shows in that block at every level and in any stretch around it.
TEST(LevelPyramid, ABlockPartFullAtOnePaintIsSummedAgainAtTheNext) {
    struct Case {
        const char* name;
        std::vector<uint32_t> paints;  // the lengths taken in, in turn
        uint32_t pulse;                // the one sample that is not quiet
    };
    const std::vector<Case> cases = {
        {"a pair half full", {5, 8}, 5},
        {"a block of four half full", {6, 8}, 7},
        {"a block of eight a quarter full", {10, 16}, 14},
        {"sample by sample", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}, 12},
        {"one sample at a time late in a long capture", {1000, 1001, 1002, 1003, 1004}, 1003},
        {"a block of 512 half full", {768, 1024}, 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const uint32_t length = c.paints.back();
        std::vector<uint8_t> samples(length, 0x00);
        samples[c.pulse] = 0x08;
        LevelPyramid pyramid;
        for (const uint32_t paint : c.paints) {
            pyramid.extend(samples.data(), paint);
        }
        for (uint32_t block = 1; block <= 2 * length; block *= 2) {
            for (uint32_t first = 0; first < length; first += block) {
                expectSpan(pyramid, samples, first, std::min(first + block, length));
            }
        }
        for (uint32_t first = c.pulse >= 40 ? c.pulse - 40 : 0; first <= c.pulse; ++first) {
            for (uint32_t end = c.pulse + 1; end <= std::min(length, c.pulse + 40); ++end) {
                expectSpan(pyramid, samples, first, end);
            }
        }
    }
}

// The session's pyramid starts again when the samples change under the same address (a cut, a
// new capture in a reused block) and follows a capture that grows.
TEST(SessionPyramid, FollowsTheSessionsSamples) {
    resetScopeSession();
    loadSessionSamples(std::vector<uint8_t>(1000, 0x00));
    EXPECT_EQ(sessionSpans(scopeSession).span(0, 1000).anyHigh, 0);
    scopeSession.sampleData[500] = 0x08;
    samplesChanged(scopeSession);
    EXPECT_EQ(sessionSpans(scopeSession).span(0, 1000).anyHigh, 0x08);

    scopeSession.workerCapturing = true;
    scopeSession.samplesStored = 10;
    EXPECT_EQ(sessionSpans(scopeSession).pyramid->length(), 10u);
    scopeSession.sampleData[600] = 0x10;  // stored after the last paint: taken in on the next
    scopeSession.samplesStored = 700;
    const SampleSpans grown = sessionSpans(scopeSession);
    EXPECT_EQ(grown.pyramid->length(), 700u);
    EXPECT_EQ(grown.span(0, 700).anyHigh, 0x18);
    scopeSession.workerCapturing = false;
    resetScopeSession();
}

}  // namespace
