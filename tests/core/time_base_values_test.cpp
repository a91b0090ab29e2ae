#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "core/time_base.h"
#include "tests/support/time_base_maker.h"

namespace {

// A capture of 1000 samples, 1 us apart, marked every 10, with two stalls and failed reads.
void makeCapture(TimeBase& timeBase) {
    makeTimeBase(timeBase, 1000, 1000, {{305, 200'000}, {702, 90'000}}, 10);
}

bool sameGap(const TimeGap& a, const TimeGap& b) {
    return a.sample == b.sample && a.nanoseconds == b.nanoseconds &&
           a.failedReads == b.failedReads && a.kind == b.kind;
}

struct KeptRange {
    const char* what;
    uint32_t first;
    uint32_t count;
    size_t gapsKept;
};

const KeptRange kRanges[] = {
    {"all of it", 0, 1000, 2},
    {"after a cut before, inside a stalled block", 302, 698, 2},
    {"after a cut after", 0, 306, 1},
    {"between two marks", 503, 4, 0},
    {"one sample on a mark", 500, 1, 0},
    {"the last sample", 999, 1, 0},
    {"beyond the last mark", 1000, 20, 0},
};

TEST(TimeBaseValues, TheKeptSamplesKeepTheirTimesGapsAndPace) {
    TimeBase whole;
    makeCapture(whole);
    for (const KeptRange& r : kRanges) {
        SCOPED_TRACE(r.what);
        TimeBase kept;
        kept.restore(whole.valuesFor(r.first, r.count));
        ASSERT_TRUE(kept.known());
        EXPECT_LE(kept.markCount(), r.count / 10 + 3) << "marks outside the range are left out";
        for (uint32_t s = r.first; s < r.first + r.count; ++s) {
            ASSERT_DOUBLE_EQ(kept.secondsAt(s), whole.secondsAt(s)) << "sample " << s;
            ASSERT_EQ(kept.stoodStillNear(s, s), whole.stoodStillNear(s, s)) << "sample " << s;
        }
        EXPECT_DOUBLE_EQ(kept.sampleAt(whole.secondsAt(r.first + 0.5)), r.first + 0.5);
        const std::vector<TimeGap> gaps = kept.gaps();
        ASSERT_EQ(gaps.size(), r.gapsKept);
        const std::vector<TimeGap> expected = whole.gapsBetween(r.first, r.first + r.count - 1);
        for (size_t i = 0; i < gaps.size(); ++i) {
            EXPECT_TRUE(sameGap(gaps[i], expected[i]));
        }
        EXPECT_EQ(kept.periodSpread().median, whole.periodSpread().median);
        EXPECT_EQ(kept.periodSpread().high, whole.periodSpread().high);
    }
}

TEST(TimeBaseValues, APauseAndFailedReadsComeBackWithTheirKinds) {
    TimeBase whole;
    whole.prepare(100, 10, 1);
    for (uint32_t s = 0; s <= 50; s += 10) {
        whole.mark(s, s * 1000ull);
    }
    whole.mark(50, 3'000'000);  // the loop paused before sample 50
    for (uint32_t s = 60; s <= 100; s += 10) {
        whole.mark(s, 3'000'000 + (s - 50) * 1000ull);
    }
    whole.noteFailedReads(70, 80, 4);
    whole.finish();
    TimeBase kept;
    kept.restore(whole.valuesFor(40, 60));
    ASSERT_EQ(kept.gaps().size(), 2u);
    EXPECT_EQ(kept.gaps()[0].kind, GapKind::PlannedPause);
    EXPECT_EQ(kept.gaps()[0].nanoseconds, 2'950'000u);
    EXPECT_EQ(kept.gaps()[1].failedReads, 4u);
    EXPECT_DOUBLE_EQ(kept.secondsAt(55), whole.secondsAt(55));
    EXPECT_DOUBLE_EQ(kept.sampleAt(whole.secondsAt(50) - 1e-3),
                     whole.sampleAt(whole.secondsAt(50) - 1e-3));

    // A recording that ends at the pause keeps the mark that ends it.
    TimeBase endsThere;
    endsThere.restore(whole.valuesFor(0, 51));
    EXPECT_DOUBLE_EQ(endsThere.secondsAt(50), whole.secondsAt(50));
}

TEST(TimeBaseValues, NoTimeGivesNoValuesAndRestoringNoneLeavesNoTime) {
    TimeBase none;
    EXPECT_TRUE(none.valuesFor(0, 100).marks.empty());
    TimeBase whole;
    makeCapture(whole);
    EXPECT_TRUE(whole.valuesFor(0, 0).marks.empty());
    // Marks that begin after the first sample (a file's) still give every sample a time.
    TimeBase late;
    late.restore(TimeBaseValues{{{100, 0}, {110, 10'000}, {120, 20'000}}, {}, 1000, {}});
    for (const auto& [first, count] : {std::pair{0u, 50u}, std::pair{0u, 111u}}) {
        TimeBase kept;
        kept.restore(late.valuesFor(first, count));
        EXPECT_DOUBLE_EQ(kept.secondsAt(first), late.secondsAt(first));
    }
    whole.restore(TimeBaseValues{});
    EXPECT_FALSE(whole.known());
    EXPECT_TRUE(whole.gaps().empty());
}

}  // namespace
