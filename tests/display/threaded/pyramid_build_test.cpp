#include "display/pyramid_build.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <random>
#include <vector>

#include "core/scope_session.h"
#include "display/session_pyramid.h"
#include "tests/support/session_samples.h"

namespace {

constexpr auto kDeadline = std::chrono::seconds(60);

std::vector<uint8_t> randomSamples(uint32_t length, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> samples(length, 0x40);
    for (uint32_t i = 0; i < length; i += 1 + random() % 5000) {
        samples[i] = static_cast<uint8_t>(random());
    }
    return samples;
}

// What a build's thread tells: the samples summed at each notice; while held, the thread waits
// in its notice until let go.
class Notices {
public:
    std::function<void()> notice(std::function<uint32_t()> summed) {
        return [this, summed = std::move(summed)] { record(summed()); };
    }
    void hold() {
        const std::lock_guard lock(mutex_);
        held_ = true;
    }
    void letGo() {
        {
            const std::lock_guard lock(mutex_);
            held_ = false;
        }
        changed_.notify_all();
    }
    // Waits until a notice told `summed` samples.
    bool waitFor(uint32_t summed) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kDeadline, [&] {
            return std::find(seen_.begin(), seen_.end(), summed) != seen_.end();
        });
    }
    // Waits until `count` notices came in all.
    bool waitForCount(size_t count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kDeadline, [&] { return seen_.size() >= count; });
    }
    std::vector<uint32_t> seen() {
        const std::lock_guard lock(mutex_);
        return seen_;
    }

private:
    void record(uint32_t summed) {
        std::unique_lock lock(mutex_);
        seen_.push_back(summed);
        changed_.notify_all();
        changed_.wait(lock, [&] { return !held_; });
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<uint32_t> seen_;
    bool held_ = false;
};

// Ranges over the whole recording, its ends, and blocks at scattered places.
void expectSameSpans(const SampleSpans& got, const LevelPyramid& inPlace,
                     const std::vector<uint8_t>& samples) {
    const auto length = static_cast<uint32_t>(samples.size());
    std::mt19937 random(length);
    std::vector<std::pair<uint32_t, uint32_t>> ranges{{0, length}, {length - 1, length}};
    for (int i = 0; i < 200; ++i) {
        const uint32_t first = random() % length;
        ranges.emplace_back(first, std::min<uint32_t>(length, first + 1 + random() % 70000));
    }
    for (const auto& [first, end] : ranges) {
        const LevelSpan want = inPlace.span(samples.data(), first, end);
        const LevelSpan span = got.span(first, end);
        EXPECT_EQ(span.allHigh, want.allHigh) << first << ".." << end;
        EXPECT_EQ(span.anyHigh, want.anyHigh) << first << ".." << end;
    }
}

// Built in steps on its thread, the pyramid holds what one built in one go holds, and is there
// to take once the last notice told all samples summed.
TEST(PyramidBuild, GivesTheSpansOfAPyramidBuiltInPlace) {
    for (const uint32_t length : {1u, 2u, 1000u, 1u << 20, (1u << 20) + 1, 2500001u}) {
        SCOPED_TRACE(length);
        const std::vector<uint8_t> samples = randomSamples(length, length);
        LevelPyramid inPlace;
        inPlace.extend(samples.data(), length);
        Notices notices;  // outlives the build that tells it
        PyramidBuild build;
        build.start(samples.data(), length, 7, notices.notice([&] { return build.summed(); }));
        ASSERT_TRUE(notices.waitFor(length));
        EXPECT_FALSE(build.take(8)) << "taken for other samples";
        std::optional<LevelPyramid> built = build.take(7);
        ASSERT_TRUE(built);
        EXPECT_EQ(built->length(), length);
        EXPECT_FALSE(build.underWay(7));
        expectSameSpans(SampleSpans{samples.data(), &*built}, inPlace, samples);
    }
}

TEST(PyramidBuild, TellsItsProgressRisingToTheEnd) {
    const uint32_t length = (5u << 20) + 3;
    const std::vector<uint8_t> samples(length, 0x01);
    Notices notices;  // outlives the build that tells it
    PyramidBuild build;
    build.start(samples.data(), length, 1, notices.notice([&] { return build.summed(); }));
    ASSERT_TRUE(notices.waitFor(length));
    const std::vector<uint32_t> seen = notices.seen();
    EXPECT_GT(seen.size(), 2u);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(std::count(seen.begin(), seen.end(), length), 1) << "done told once, at the end";
    ASSERT_TRUE(build.take(1));
}

// Cancelled at once, a long build ends without finishing and leaves nothing to take; the next
// one runs over its own samples.
TEST(PyramidBuild, CancelledLeavesNothingAndTheNextRuns) {
    const uint32_t length = 32u << 20;
    const std::vector<uint8_t> first(length, 0x00);
    const std::vector<uint8_t> second(1000, 0x04);
    Notices more;
    Notices notices;  // outlives the build that tells it
    PyramidBuild build;
    build.start(first.data(), length, 1, notices.notice([&] { return build.summed(); }));
    build.cancel();
    EXPECT_FALSE(build.underWay(1));
    EXPECT_FALSE(build.take(1));
    EXPECT_LT(build.summed(), length);
    const std::vector<uint32_t> seen = notices.seen();
    EXPECT_EQ(std::count(seen.begin(), seen.end(), length), 0) << "told done";

    build.start(second.data(), 1000, 2, more.notice([&] { return build.summed(); }));
    ASSERT_TRUE(more.waitFor(1000));
    EXPECT_FALSE(build.take(1));
    const std::optional<LevelPyramid> built = build.take(2);
    ASSERT_TRUE(built);
    EXPECT_EQ(built->span(second.data(), 0, 1000).anyHigh, 0x04);
}

// The session's summing up, with notices the test can hold the build's thread in.
class SessionSumming : public ::testing::Test {
protected:
    void SetUp() override {
        resetScopeSession();
        // The session's state is the main thread's: the notices are only counted.
        setSummingUpNotice(notices_.notice([] { return 0U; }));
    }
    void TearDown() override {
        notices_.letGo();
        resetScopeSession();
        setSummingUpNotice({});
    }

    // Waits until the build over the session's samples is done and gives what is drawn from.
    SampleSpans whenSummedUp() {
        const auto deadline = std::chrono::steady_clock::now() + kDeadline;
        while (true) {
            const size_t told = notices_.seen().size();
            const SampleSpans spans = sessionSpans(scopeSession);
            if (spans.pyramid != nullptr || std::chrono::steady_clock::now() > deadline) {
                return spans;
            }
            notices_.waitForCount(told + 1);
        }
    }

    Notices notices_;
};

// However the samples change while the old ones are summed up, what is drawn afterwards is
// summed up from the new ones, never the old.
TEST_F(SessionSumming, NewSamplesDuringABuildNeverShowTheOld) {
    const uint32_t length = 3u << 20;
    const struct Case {
        const char* change;
        void (*apply)(uint32_t length);
        uint32_t kept;
    } cases[] = {
        {"another recording",
         [](uint32_t n) {
             std::vector<uint8_t> other(n, 0x00);
             other[n - 2] = 0x10;
             loadSessionSamples(other);
         },
         length},
        {"the same block rewritten",
         [](uint32_t n) {
             stopSampleReaders();
             std::fill_n(scopeSession.sampleData, n, uint8_t{0x00});
             scopeSession.sampleData[n - 2] = 0x10;
             samplesChanged(scopeSession);
         },
         length},
        {"cut short",
         [](uint32_t) {
             scopeSession.sampleLength = 2000;
             samplesChanged(scopeSession);
         },
         2000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.change);
        loadSessionSamples(std::vector<uint8_t>(length, 0x01));
        const size_t told = notices_.seen().size();
        notices_.hold();
        EXPECT_EQ(sessionSpans(scopeSession).pyramid, nullptr);
        ASSERT_TRUE(notices_.waitForCount(told + 1));
        notices_.letGo();
        c.apply(length);
        const SampleSpans spans = whenSummedUp();
        ASSERT_NE(spans.pyramid, nullptr);
        EXPECT_EQ(spans.pyramid->length(), c.kept);
        EXPECT_EQ(spans.span(0, c.kept).anyHigh, c.kept == length ? 0x10 : 0x01);
    }
}

// A block is given back only once no summing up reads it any more.
bool givenBackUnderABuild = false;

void giveBackChecked(void* block) {
    givenBackUnderABuild = givenBackUnderABuild || sessionSummingUp(scopeSession).has_value();
    std::free(block);
}

TEST_F(SessionSumming, SamplesAreGivenBackOnlyAfterTheBuildStopped) {
    const SampleMemory checked{&std::malloc, &giveBackChecked};
    setSampleMemory(&checked);
    givenBackUnderABuild = false;
    loadSessionSamples(std::vector<uint8_t>(32u << 20, 0x01));
    EXPECT_EQ(sessionSpans(scopeSession).pyramid, nullptr);
    loadSessionSamples(std::vector<uint8_t>(10, 0x01));
    EXPECT_FALSE(givenBackUnderABuild);
    setSampleMemory(nullptr);
}

}  // namespace
