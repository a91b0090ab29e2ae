#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "app/decoding/decoding_state.h"

// One line of the decoded-data table: which row and which of the result's annotations. The table
// keeps these two numbers, never the annotations themselves.
struct TableEntry {
    uint32_t row = 0;         // index into the decoder rows
    uint32_t annotation = 0;  // index into the result's annotations
};

// The rows the user left out of the table, by title, so that the choice outlives a new decode.
struct TableChoice {
    std::set<std::string> leftOut;
};

extern TableChoice tableChoice;

// The rows of `rows` that hold annotations and are not left out, in their order.
std::vector<size_t> chosenRows(const std::vector<DecoderRow>& rows, const TableChoice& choice);

// The annotations of rows `chosen` merged in order of their first sample; annotations starting
// together keep their rows' order.
std::vector<TableEntry> tableEntries(const std::vector<DecoderRow>& rows,
                                     const std::vector<size_t>& chosen,
                                     const AnnotationStore& annotations);
