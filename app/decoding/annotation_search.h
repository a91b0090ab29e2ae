#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/decoding/annotation_table.h"

// What the decoded-data table's search field asks for:
//   0x41 or 0x50 0x69  bytes, one annotation each, one after the other in a row and class
//   "Pinp"             those characters as bytes, or the text itself, case counting
//   start              any other text: inside an annotation's text, case not counting
struct AnnotationQuery {
    std::string text;  // empty: bytes only
    bool caseMatters = false;
    std::vector<uint8_t> bytes;  // empty: text only
};

// None for an empty field or a value that is not a byte ("0x1FF", "0x").
std::optional<AnnotationQuery> parseAnnotationQuery(std::string_view typed);

// The byte an annotation shows: a two-digit hex word ("41", "0x41", "41h", "[41]") in one of its
// texts, else the character of an annotation whose only text is one character ("A").
std::optional<uint8_t> annotationByte(const AnnotationRef& annotation);

// How many entries from `at` on the query matches (its bytes through the following annotations of
// the same class in the same row); 0 when it does not match there.
size_t matchLength(const AnnotationQuery& query, const std::vector<TableEntry>& entries,
                   const AnnotationStore& annotations, size_t at);

// The next match after `from` (or before it, going back), round the end of the table; `from`
// itself last. None without any match, or in an empty table.
std::optional<size_t> findMatch(const AnnotationQuery& query,
                                const std::vector<TableEntry>& entries,
                                const AnnotationStore& annotations, size_t from, bool forward);
