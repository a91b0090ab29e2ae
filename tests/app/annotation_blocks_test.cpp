#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/decoding/annotation_blocks.h"
#include "tests/support/annotation_stores.h"

namespace {

// Every letter 6 pixels wide.
int sixEach(std::string_view text) {
    return static_cast<int>(text.size()) * 6;
}

Annotation annotation(uint32_t start, uint32_t end, std::vector<std::string> texts) {
    Annotation a;
    a.start = start;
    a.end = end;
    a.texts = std::move(texts);
    return a;
}

DecoderRow rowOf(const AnnotationStore& store) {
    DecoderRow row;
    for (uint32_t i = 0; i < store.size(); ++i) {
        row.annotations.push_back(i);
    }
    row.summary = summariseRow(row.annotations, store);
    return row;
}

struct Block {
    int x0, x1;
    uint32_t annotation;
    std::string text;
    bool operator==(const Block&) const = default;
};

std::vector<Block> blocks(const std::vector<Annotation>& annotations, const TraceGeometry& g,
                          int width) {
    const AnnotationStore store = storeOf(annotations);
    std::vector<Block> found;
    for (const AnnotationBlock& b : rowBlocks(rowOf(store), store, g, width, sixEach)) {
        found.push_back({b.x0, b.x1, b.annotation, b.text});
    }
    return found;
}

std::ostream& operator<<(std::ostream& out, const Block& b) {
    return out << "{" << b.x0 << "," << b.x1 << "," << b.annotation << ",'" << b.text << "'}";
}

TEST(AnnotationBlocks, EdgesSitInTheSlopeIntoTheirSampleOrAtItsColumn) {
    const struct {
        uint32_t first;
        int zoom;
        uint32_t perPixel;
        int64_t index;
        int64_t x;
    } cases[] = {
        {0, 1, 1, 0, 0},      {0, 1, 1, 37, 37},    {100, 1, 1, 90, -10}, {0, 4, 1, 10, 38},
        {20, 16, 1, 21, 8},   {0, 1, 10, 0, 0},     {0, 1, 10, 19, 1},    {0, 1, 10, 20, 2},
        {100, 1, 10, 99, -1}, {100, 1, 10, 90, -1}, {100, 1, 10, 89, -2},
    };
    for (const auto& c : cases) {
        TraceGeometry g;
        g.firstSample = c.first;
        g.scale = c.perPixel > 1 ? ViewScale::samplesPerColumn(c.perPixel)
                                 : ViewScale::pixelsPerSample(c.zoom);
        EXPECT_EQ(edgeX(g, c.index), c.x)
            << c.first << " " << c.zoom << " " << c.perPixel << " " << c.index;
    }
}

TEST(AnnotationBlocks, TheLongestTextThatFitsIsWrittenElseTheBlockStandsAlone) {
    const std::vector<Annotation> row = {
        annotation(0, 100, {"Start bit", "Start", "S"}),    // 100 px: all of it
        annotation(100, 130, {"Start bit", "Start", "S"}),  // 30 px: "Start" needs 34
        annotation(130, 135, {"Start bit", "Start", "S"}),  // 5 px: not even "S"
        annotation(135, 135, {"Frame error"}),              // no samples: one pixel
    };
    TraceGeometry g;
    g.sampleCount = 1000;
    EXPECT_EQ(
        blocks(row, g, 400),
        (std::vector<Block>{
            {0, 100, 0, "Start bit"}, {100, 130, 1, "S"}, {130, 135, 2, ""}, {135, 136, 3, ""}}));
}

TEST(AnnotationBlocks, ZoomAndScrollMoveTheBlocksAndTheViewCutsThem) {
    const std::vector<Annotation> row = {annotation(10, 20, {"A"}), annotation(20, 60, {"B"}),
                                         annotation(200, 300, {"C"})};
    TraceGeometry zoomed;
    zoomed.scale = ViewScale::pixelsPerSample(4);
    zoomed.firstSample = 15;
    // At 4 pixels a sample from sample 15: A from -22, B to 178, C from 738: off the view.
    EXPECT_EQ(blocks(row, zoomed, 100), (std::vector<Block>{{0, 18, 0, "A"}, {18, 100, 1, "B"}}));
    // Scrolled on to sample 25: A lies wholly left of the view, and B is still drawn.
    zoomed.firstSample = 25;
    EXPECT_EQ(blocks(row, zoomed, 100), (std::vector<Block>{{0, 100, 1, "B"}}));
    // A block that would begin at the view's right edge is not on it.
    TraceGeometry plain;
    plain.sampleCount = 1000;
    EXPECT_EQ(blocks({annotation(0, 10, {"A"}), annotation(100, 110, {"B"})}, plain, 100),
              (std::vector<Block>{{0, 10, 0, "A"}}));
}

TEST(AnnotationBlocks, ZoomedFarOutBlocksInOnePixelColumnAreOne) {
    std::vector<Annotation> row;
    for (uint32_t start = 0; start < 1000; start += 10) {
        row.push_back(annotation(start, start + 10, {"0"}));
    }
    row.push_back(annotation(1000, 5000, {"Long enough", "Long"}));
    TraceGeometry g;
    g.scale = ViewScale::samplesPerColumn(100);  // 10 annotations a column
    std::vector<Block> expected;
    for (int column = 0; column < 10; ++column) {
        expected.push_back({column, column + 1, static_cast<uint32_t>(column * 10), ""});
    }
    expected.push_back({10, 50, 100, "Long"});
    EXPECT_EQ(blocks(row, g, 300), expected);
}

// A long annotation that begins left of the view is still drawn from its left edge, however
// many shorter ones begin after it.
TEST(AnnotationBlocks, AnAnnotationFromLeftOfTheViewIsFoundAmongMany) {
    std::vector<Annotation> row = {annotation(0, 10000, {"Packet"})};
    for (uint32_t start = 10; start < 10000; start += 10) {
        row.push_back(annotation(start, start + 1, {}));
    }
    TraceGeometry g;
    g.firstSample = 5000;
    const std::vector<Block> drawn = blocks(row, g, 100);
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.front(), (Block{0, 100, 0, "Packet"}));
}

// Bursts of 512 annotations, 10 samples each, 2^17 samples apart; the view's pixels hold 1024
// samples (a power of two, so that the summary's blocks end where the pixels do).
struct Bursts {
    static constexpr uint32_t kApart = 1u << 17;
    static constexpr uint32_t kEach = 512;
    static constexpr uint32_t kPerPixel = 1024;
    static constexpr int kPixelsApart = static_cast<int>(kApart / kPerPixel);
    static constexpr int kPixelsLong = static_cast<int>(kEach * 10 / kPerPixel);

    static std::vector<Annotation> row(uint32_t bursts) {
        std::vector<Annotation> all;
        for (uint32_t b = 0; b < bursts; ++b) {
            for (uint32_t i = 0; i < kEach; ++i) {
                all.push_back(annotation(b * kApart + i * 10, b * kApart + i * 10 + 10, {"0"}));
            }
        }
        return all;
    }
};

// Zoomed out over more annotations than pixels, the row is drawn from its summary: a block for
// each burst, where the burst lies, named by its first annotation (its tooltip's).
TEST(AnnotationBlocks, ZoomedOutOverManyTheBurstsAreDrawnFromTheSummary) {
    const std::vector<Annotation> row = Bursts::row(8);
    TraceGeometry g;
    g.scale = ViewScale::samplesPerColumn(Bursts::kPerPixel);
    std::vector<Block> expected;
    for (uint32_t b = 0; b < 8; ++b) {
        const int x0 = static_cast<int>(b) * Bursts::kPixelsApart;
        expected.push_back({x0, x0 + Bursts::kPixelsLong, b * Bursts::kEach, ""});
    }
    EXPECT_EQ(blocks(row, g, 1000), expected);

    // Scrolled into the fourth burst, 2048 samples after it began: it is cut at the left edge.
    g.firstSample = 3 * Bursts::kApart + 2 * Bursts::kPerPixel;
    const std::vector<Block> scrolled = blocks(row, g, 1000);
    ASSERT_EQ(scrolled.size(), 5u);
    EXPECT_EQ(scrolled[0], (Block{0, Bursts::kPixelsLong - 2, 3 * Bursts::kEach, ""}));
    EXPECT_EQ(scrolled[1].x0, Bursts::kPixelsApart - 2);
    EXPECT_EQ(scrolled[1].annotation, 4 * Bursts::kEach);
}

// A block drawn from the summary names the annotation by its place in the result, where other
// rows' annotations lie between this row's.
TEST(AnnotationBlocks, ABlockFromTheSummaryNamesItsAnnotationInTheResult) {
    const std::vector<Annotation> own = Bursts::row(4);
    AnnotationStore store;
    DecoderRow row;
    for (const Annotation& a : own) {
        store.add(annotation(a.start, a.start + 1, {"other row"}));
        row.annotations.push_back(static_cast<uint32_t>(store.size()));
        store.add(a);
    }
    row.summary = summariseRow(row.annotations, store);
    TraceGeometry g;
    g.scale = ViewScale::samplesPerColumn(Bursts::kPerPixel);
    const std::vector<AnnotationBlock> drawn = rowBlocks(row, store, g, 1000, sixEach);
    ASSERT_EQ(drawn.size(), 4u);
    for (uint32_t b = 0; b < 4; ++b) {
        EXPECT_EQ(drawn[b].annotation, 2 * b * Bursts::kEach + 1) << b;
        EXPECT_EQ(store[drawn[b].annotation].start, b * Bursts::kApart) << b;
    }
}

// Where the view shows fewer annotations than pixels each is drawn as itself, text and all, as
// the same row at 1:1.
TEST(AnnotationBlocks, ZoomedInTheSameRowDrawsEachAnnotation) {
    const std::vector<Annotation> row = Bursts::row(8);
    TraceGeometry g;
    g.firstSample = 2 * Bursts::kApart;
    const std::vector<Block> drawn = blocks(row, g, 100);
    const std::vector<Block> expected = {{0, 10, 2 * Bursts::kEach, "0"},
                                         {10, 20, 2 * Bursts::kEach + 1, "0"},
                                         {20, 30, 2 * Bursts::kEach + 2, "0"},
                                         {30, 40, 2 * Bursts::kEach + 3, "0"}};
    ASSERT_GE(drawn.size(), expected.size());
    EXPECT_EQ(std::vector<Block>(drawn.begin(), drawn.begin() + 4), expected);
}

TEST(AnnotationBlocks, TheBlockUnderAPixelIsTheLastOneThere) {
    const std::vector<AnnotationBlock> drawn = {{0, 10, 0, ""}, {5, 20, 1, ""}, {30, 31, 2, ""}};
    EXPECT_EQ(blockAt(drawn, 0)->annotation, 0u);
    EXPECT_EQ(blockAt(drawn, 7)->annotation, 1u);
    EXPECT_EQ(blockAt(drawn, 30)->annotation, 2u);
    EXPECT_EQ(blockAt(drawn, 20), nullptr);
    EXPECT_EQ(blockAt(drawn, 31), nullptr);
}

}  // namespace
