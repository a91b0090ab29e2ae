#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "decode/annotation_store.h"
#include "tests/support/annotation_stores.h"

namespace {

Annotation made(uint32_t start, uint32_t end, size_t stack, const std::string& instance,
                int annotationClass, int row, std::vector<std::string> texts, bool gap) {
    Annotation a;
    a.start = start;
    a.end = end;
    a.stack = stack;
    a.instance = instance;
    a.decoder = instance.substr(0, instance.find('-'));
    a.annotationClass = annotationClass;
    a.row = row;
    a.texts = std::move(texts);
    a.spansGap = gap;
    return a;
}

bool same(const AnnotationRef& kept, const Annotation& given) {
    return kept.start == given.start && kept.end == given.end && kept.stack == given.stack &&
           kept.instance == given.instance && kept.decoder == given.decoder &&
           kept.annotationClass == given.annotationClass && kept.row == given.row &&
           kept.texts == given.texts && kept.spansGap == given.spansGap;
}

TEST(AnnotationStore, ReadsBackEveryAnnotationAsGiven) {
    const std::vector<Annotation> given = {
        made(0, 10, 0, "uart-1", 0, 0, {"Data", "D"}, false),
        made(10, 10, 0, "uart-1", 9, -1, {}, true),  // no length, no row, no text
        made(4, 4000000, 1, "uart-2", 2, 1, {"Start bit", "Start", "S"}, false),
        made(7, 9, 1, "i2c-1", 0, 0, {"Data", "D"}, false),  // another decoder, same texts
        made(4294967000u, 4294967295u, 2, "spi-1", 5, 3, {""}, true),
        made(12, 14, 0, "uart-1", 0, 0, {"Data", "D"}, false),
        made(12, 14, 0, "uart-3", 0, 0, {"Data", "D"}, false),  // the same decoder twice in a stack
    };
    const AnnotationStore store = storeOf(given);
    ASSERT_EQ(store.size(), given.size());
    for (size_t i = 0; i < given.size(); ++i) {
        EXPECT_TRUE(same(store[i], given[i])) << i;
        EXPECT_EQ(store.startOf(i), given[i].start) << i;
        EXPECT_EQ(store.endOf(i), given[i].end) << i;
        EXPECT_EQ(store.classOf(i), given[i].annotationClass) << i;
    }
    size_t walked = 0;
    for (const AnnotationRef a : store) {
        EXPECT_TRUE(same(a, given[walked])) << walked;
        ++walked;
    }
    EXPECT_EQ(walked, given.size());
}

TEST(AnnotationStore, KeepsEachListOfTextsOnce) {
    using Texts = std::vector<std::string>;
    const struct {
        std::vector<Texts> given;
        size_t lists;
    } cases[] = {
        {{{"41"}, {"41"}, {"42"}, {"41"}}, 2},
        {{{"Start bit", "Start", "S"}, {"Start bit", "Start", "S"}, {"Start bit", "S"}}, 2},
        {{{"ab", "c"}, {"a", "bc"}, {"abc"}}, 3},  // the same letters, not the same texts
        {{{}, {""}, {"", ""}, {}}, 3},
        {{{"x"}, {"X"}}, 2},
    };
    for (const auto& c : cases) {
        AnnotationStore store;
        for (const auto& texts : c.given) {
            Annotation a;
            a.texts = texts;
            store.add(a);
        }
        EXPECT_EQ(store.textLists(), c.lists) << c.given.size();
        for (size_t i = 0; i < c.given.size(); ++i) {
            EXPECT_EQ(store[i].texts, c.given[i]) << i;
        }
    }
}

// The index of the kept texts must still find them once the store has moved, as a decode's
// result moves from the worker to the rows.
TEST(AnnotationStore, FindsItsTextsAfterAMove) {
    AnnotationStore first = storeOf({made(0, 1, 0, "uart-1", 0, 0, {"41", "A"}, false)});
    AnnotationStore moved = std::move(first);
    moved.add(made(1, 2, 0, "uart-1", 0, 0, {"41", "A"}, false));
    AnnotationStore again;
    again = std::move(moved);
    again.add(made(2, 3, 0, "uart-1", 0, 0, {"41", "A"}, false));
    EXPECT_EQ(again.size(), 3u);
    EXPECT_EQ(again.textLists(), 1u);
    EXPECT_EQ(again[2].texts.front(), "41");
    again.clear();
    EXPECT_TRUE(again.empty());
    again.add(made(2, 3, 0, "uart-1", 0, 0, {"42"}, false));
    EXPECT_EQ(again.textLists(), 1u);
    EXPECT_EQ(again[0].texts.front(), "42");
}

// A busy UART decode says a few hundred things: what each annotation costs stays a small record,
// however many there are, where a copy of its texts each would cost several times that.
TEST(AnnotationStore, RepeatedTextsCostNothingPerAnnotation) {
    AnnotationStore store;
    const size_t count = 20000;
    for (uint32_t i = 0; i < count; ++i) {
        const std::string byte = std::to_string(i % 256);
        store.add(made(i * 10, i * 10 + 10, 0, "uart-1", i % 3, 0,
                       {"Data byte " + byte + " received", byte}, false));
    }
    EXPECT_EQ(store.textLists(), 256u);
    const std::vector<std::string> oneCopy = {"Data byte 255 received", "255"};
    const size_t copiedTexts = sizeof oneCopy + 2 * sizeof(std::string) + oneCopy[0].capacity();
    EXPECT_LT(store.bytesHeld() / count, copiedTexts);
}

}  // namespace
