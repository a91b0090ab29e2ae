#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "app/decoding/row_summary.h"
#include "tests/support/annotation_stores.h"

namespace {

// Samples in a block of the finest level.
constexpr uint32_t kBlock = 1u << kFinestSummaryLevel;

struct Span {
    uint32_t firstBlock, endBlock, first;
    bool operator==(const Span&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Span& s) {
    return out << "{" << s.firstBlock << "," << s.endBlock << "," << s.first << "}";
}

struct Row {
    AnnotationStore store;
    std::vector<uint32_t> order;
};

// A row of annotations [start, end), given by start.
Row rowOf(const std::vector<std::pair<uint32_t, uint32_t>>& spans) {
    Row row;
    for (const auto& [start, end] : spans) {
        Annotation a;
        a.start = start;
        a.end = end;
        row.order.push_back(static_cast<uint32_t>(row.store.size()));
        row.store.add(a);
    }
    return row;
}

std::vector<Span> level(const RowSummary& summary, size_t i) {
    std::vector<Span> spans;
    for (const SummarySpan& s : summary.levels.at(i)) {
        spans.push_back({s.firstBlock, s.endBlock, s.first});
    }
    return spans;
}

TEST(RowSummary, TheFinestLevelCoversTheBlocksAnnotationsTouch) {
    const struct {
        const char* what;
        std::vector<std::pair<uint32_t, uint32_t>> row;
        std::vector<Span> finest;
    } cases[] = {
        {"inside one block", {{kBlock + 1, kBlock + 3}}, {{1, 2, 0}}},
        {"over a block edge", {{kBlock - 1, kBlock + 1}}, {{0, 2, 0}}},
        {"ending on an edge", {{kBlock, 2 * kBlock}}, {{1, 2, 0}}},
        {"no length", {{3 * kBlock, 3 * kBlock}}, {{3, 4, 0}}},
        {"over many blocks", {{5, 40 * kBlock + 5}}, {{0, 41, 0}}},
        {"empty blocks between", {{0, 1}, {5 * kBlock, 5 * kBlock + 1}}, {{0, 1, 0}, {5, 6, 1}}},
        {"back to back", {{0, kBlock}, {kBlock, 2 * kBlock}}, {{0, 2, 0}}},
        {"many in one block", {{0, 1}, {2, 3}, {4, 5}}, {{0, 1, 0}}},
        {"a long one over later ones",
         {{0, 10 * kBlock}, {2 * kBlock, 3 * kBlock}, {12 * kBlock, 13 * kBlock}},
         {{0, 10, 0}, {12, 13, 2}}},
    };
    for (const auto& c : cases) {
        const Row row = rowOf(c.row);
        const RowSummary summary = summariseRow(row.order, row.store);
        ASSERT_FALSE(summary.levels.empty()) << c.what;
        EXPECT_EQ(level(summary, 0), c.finest) << c.what;
    }
}

TEST(RowSummary, EachLevelUpHalvesTheBlocksUntilOneStretchIsLeft) {
    const struct {
        const char* what;
        std::vector<std::pair<uint32_t, uint32_t>> row;
        std::vector<std::vector<Span>> levels;
    } cases[] = {
        {"one annotation", {{7 * kBlock, 7 * kBlock + 1}}, {{{7, 8, 0}}}},
        {"three apart",
         {{0, 1}, {4 * kBlock, 4 * kBlock + 1}, {10 * kBlock, 10 * kBlock + 1}},
         {{{0, 1, 0}, {4, 5, 1}, {10, 11, 2}}, {{0, 1, 0}, {2, 3, 1}, {5, 6, 2}}, {{0, 3, 0}}}},
        {"an odd edge",
         {{kBlock, 2 * kBlock}, {3 * kBlock, 4 * kBlock}},
         {{{1, 2, 0}, {3, 4, 1}}, {{0, 2, 0}}}},
    };
    for (const auto& c : cases) {
        const Row row = rowOf(c.row);
        const RowSummary summary = summariseRow(row.order, row.store);
        ASSERT_EQ(summary.levels.size(), c.levels.size()) << c.what;
        for (size_t i = 0; i < c.levels.size(); ++i) {
            EXPECT_EQ(level(summary, i), c.levels[i]) << c.what << " level " << i;
        }
    }
}

TEST(RowSummary, AnEmptyRowHasNoLevels) {
    const Row row = rowOf({});
    EXPECT_TRUE(summariseRow(row.order, row.store).levels.empty());
}

// Every level says "something is here" exactly where an annotation touches its blocks.
TEST(RowSummary, EveryLevelHoldsEveryAnnotationAndNothingElse) {
    std::mt19937 random(27);
    std::vector<std::pair<uint32_t, uint32_t>> spans;
    uint32_t at = 0;
    for (int i = 0; i < 3000; ++i) {
        at += random() % (8 * kBlock);
        spans.emplace_back(at, at + random() % (3 * kBlock));
    }
    const Row row = rowOf(spans);
    const RowSummary summary = summariseRow(row.order, row.store);
    for (size_t i = 0; i < summary.levels.size(); ++i) {
        const int shift = kFinestSummaryLevel + static_cast<int>(i);
        std::vector<bool> touched(((at + 3 * kBlock) >> shift) + 1, false);
        for (const auto& [start, end] : spans) {
            for (uint32_t b = start >> shift; b <= (std::max(end, start + 1) - 1) >> shift; ++b) {
                touched[b] = true;
            }
        }
        std::vector<bool> covered(touched.size(), false);
        for (const SummarySpan& s : summary.levels[i]) {
            for (uint32_t b = s.firstBlock; b < s.endBlock; ++b) {
                covered[b] = true;
            }
        }
        EXPECT_EQ(covered, touched) << "level " << i;
    }
}

// Two million annotations of a sample each, three empty blocks between two: two levels keep
// them apart, the next holds them all in one stretch.
TEST(RowSummary, MillionsOfAnnotationsAreOneStretchAtTheCoarsestLevel) {
    const uint32_t count = 2'000'000;
    std::vector<std::pair<uint32_t, uint32_t>> spans;
    spans.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        spans.emplace_back(i * 4 * kBlock, i * 4 * kBlock + 1);
    }
    const Row row = rowOf(spans);
    const RowSummary summary = summariseRow(row.order, row.store);
    ASSERT_EQ(summary.levels.size(), 3u);
    EXPECT_EQ(summary.levels[0].size(), count);
    EXPECT_EQ(summary.levels[1].size(), count);
    EXPECT_EQ(level(summary, 2), (std::vector<Span>{{0, count, 0}}));
}

TEST(RowSummary, TheLevelDrawnHasBlocksNoWiderThanAPixel) {
    const Row row = rowOf({{0, 1}, {3 * kBlock, 3 * kBlock + 1}, {100 * kBlock, 100 * kBlock}});
    const RowSummary summary = summariseRow(row.order, row.store);
    const size_t coarsest = summary.levels.size() - 1;
    const struct {
        double samplesPerPixel;
        std::optional<size_t> level;
    } cases[] = {
        {1, std::nullopt}, {kBlock - 1, std::nullopt}, {kBlock, 0}, {2 * kBlock - 1, 0},
        {2 * kBlock, 1},   {1e12, coarsest},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(summaryLevel(summary, c.samplesPerPixel), c.level) << c.samplesPerPixel;
    }
}

TEST(RowSummary, TheAnnotationsReachingASampleAreFoundByHalving) {
    // The longest is 50 samples long.
    const Row row = rowOf({{0, 10}, {20, 70}, {80, 81}, {200, 205}, {300, 300}});
    const RowSummary summary = summariseRow(row.order, row.store);
    const struct {
        uint32_t sample;
        size_t reaching;
        size_t after;
    } cases[] = {
        {0, 0, 1},   {30, 0, 2},  {60, 1, 2},  {71, 2, 2},  {80, 2, 3},
        {199, 3, 3}, {200, 3, 4}, {260, 4, 4}, {300, 4, 5}, {400, 5, 5},
    };
    for (const auto& c : cases) {
        const size_t reaching = firstReaching(row.order, row.store, summary, c.sample);
        EXPECT_EQ(reaching, c.reaching) << c.sample;
        for (size_t i = 0; i < reaching; ++i) {
            EXPECT_LT(row.store.endOf(row.order[i]), c.sample) << c.sample;
        }
        EXPECT_EQ(firstAfter(row.order, row.store, c.sample), c.after) << c.sample;
    }
}

}  // namespace
