#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/decoding/annotation_search.h"

namespace {

TEST(AnnotationQuery, WhatTheSearchFieldAsksFor) {
    const struct {
        const char* typed;
        bool parsed;
        std::string text;
        bool caseMatters;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"0x41", true, "", false, {0x41}},
        {"0X4a", true, "", false, {0x4A}},
        {"0x50 0x69", true, "", false, {0x50, 0x69}},
        {" 0x7  ", true, "", false, {0x07}},
        {"\"Pinp\"", true, "Pinp", true, {'P', 'i', 'n', 'p'}},
        {"\"a b\"", true, "a b", true, {'a', ' ', 'b'}},
        {"start", true, "start", false, {}},
        {"41", true, "41", false, {}},
        {"\"", true, "\"", false, {}},  // a lone quote is text
        {"", false, "", false, {}},
        {"\"\"", false, "", false, {}},
        {"0x", false, "", false, {}},
        {"0x1FF", false, "", false, {}},
        {"0x41 zz", false, "", false, {}},
        {"0xg1", false, "", false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const std::optional<AnnotationQuery> query = parseAnnotationQuery(c.typed);
        ASSERT_EQ(query.has_value(), c.parsed);
        if (query) {
            EXPECT_EQ(query->text, c.text);
            EXPECT_EQ(query->caseMatters, c.caseMatters);
            EXPECT_EQ(query->bytes, c.bytes);
        }
    }
}

Annotation withTexts(std::vector<std::string> texts) {
    Annotation a;
    a.texts = std::move(texts);
    return a;
}

TEST(AnnotationQuery, TheByteAnAnnotationShows) {
    const struct {
        std::vector<std::string> texts;
        std::optional<uint8_t> byte;
    } cases[] = {
        {{"41"}, 0x41},
        {{"0x4F"}, 0x4F},
        {{"7fh"}, 0x7F},
        {{"[0A]"}, 0x0A},
        {{"Data write: 41", "DW: 41", "41"}, 0x41},
        {{"A"}, 0x41},                                // a character alone
        {{"1"}, 0x31},                                // a digit alone is a character, not a value
        {{"Start bit", "Start", "S"}, std::nullopt},  // a short form is no character
        {{"410"}, std::nullopt},
        {{"4"}, 0x34},
        {{"Parity error"}, std::nullopt},
        {{"0x"}, std::nullopt},
        {{}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.texts.empty() ? std::string("(none)") : c.texts.front());
        EXPECT_EQ(annotationByte(withTexts(c.texts)), c.byte);
    }
}

// Row 0 spells "Pinp" in hex with a bit of another class among its bytes; row 1 (a second
// decoder's) is interleaved between them.
class AnnotationSearch : public ::testing::Test {
protected:
    void SetUp() override {
        const struct {
            uint32_t row;
            int annotationClass;
            const char* text;
        } lines[] = {
            {0, 0, "50"}, {1, 0, "Start"}, {0, 0, "69"}, {1, 0, "50"},
            {0, 1, "1"},  {0, 0, "6E"},    {0, 0, "70"}, {1, 0, "Stop"},
        };
        for (const auto& line : lines) {
            entries.push_back({line.row, static_cast<uint32_t>(annotations.size())});
            Annotation a = withTexts({line.text});
            a.annotationClass = line.annotationClass;
            annotations.add(a);
        }
    }
    std::optional<size_t> find(const char* typed, size_t from, bool forward = true) const {
        const std::optional<AnnotationQuery> query = parseAnnotationQuery(typed);
        EXPECT_TRUE(query.has_value()) << typed;
        return query ? findMatch(*query, entries, annotations, from, forward) : std::nullopt;
    }
    size_t length(const char* typed, size_t at) const {
        return matchLength(*parseAnnotationQuery(typed), entries, annotations, at);
    }

    std::vector<TableEntry> entries;
    AnnotationStore annotations;
};

TEST_F(AnnotationSearch, MatchesFromOneLineOnThroughItsOwnRow) {
    const struct {
        const char* typed;
        size_t at;
        size_t length;
    } cases[] = {
        {"\"Pinp\"", 0, 4},                       // past the other row's lines between
        {"0x50 0x69", 0, 2}, {"0x50", 3, 1},      // the other row's 50
        {"0x50 0x69", 3, 0},                      // its row goes on with "Stop"
        {"\"pinp\"", 0, 0},                       // quoted: case counts
        {"\"Pinpo\"", 0, 0},                      // the row ends first
        {"sta", 1, 1},                            // plain text: case does not count
        {"STOP", 7, 1},      {"\"Stop\"", 7, 1},  // the text itself
        {"0x70", 6, 1},      {"0x31", 4, 1},      // the bit itself
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(length(c.typed, c.at), c.length);
    }
}

TEST_F(AnnotationSearch, NextAndPreviousGoRoundTheEnds) {
    const struct {
        const char* typed;
        size_t from;
        bool forward;
        std::optional<size_t> found;
    } cases[] = {
        {"0x50", 0, true, 3},
        {"0x50", 3, true, 0},  // round the end
        {"0x50", 0, false, 3},
        {"0x50", 3, false, 0},
        {"0x50", 6, true, 0},
        {"\"Pinp\"", 6, true, 0},
        {"\"Pinp\"", 0, true, 0},  // the line itself, last
        {"0x41", 0, true, std::nullopt},
        {"nothing", 2, false, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + " from " + std::to_string(c.from));
        EXPECT_EQ(find(c.typed, c.from, c.forward), c.found);
    }
}

TEST_F(AnnotationSearch, AnEmptyTableHasNoMatch) {
    entries.clear();
    EXPECT_EQ(find("0x50", 0), std::nullopt);
    EXPECT_EQ(find("0x50", 0, false), std::nullopt);
}

}  // namespace
