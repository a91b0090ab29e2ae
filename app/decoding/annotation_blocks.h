#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/decoding/decoding_state.h"
#include "display/trace_geometry.h"

// One block of a row as the view draws it: pixels x0 <= x < x1 of the traces' width, the
// annotation it shows and the text written inside, if one fits.
struct AnnotationBlock {
    int x0 = 0;
    int x1 = 0;
    uint32_t annotation =
        0;             // index into the result's annotations; the first one of a merged block
    std::string text;  // empty: the block alone
};

// Width in pixels of a text as the view writes it.
using TextWidth = std::function<int(std::string_view text)>;

// Room left and right of a text inside its block.
inline constexpr int kBlockTextMargin = 2;

// The blocks of `row`'s annotations (in `store`) on a view `width` pixels wide drawn with `g`:
// each from the edge at its first sample to the edge after its last, at least a pixel wide, cut
// to the view, with the longest of its texts that fits inside. Blocks without text that share a
// pixel column are one block. Where the view shows more of the row's annotations than it has
// pixels, the blocks are the stretches of the row's summary instead, each named by its first
// annotation: the cost follows the width, not the annotations.
std::vector<AnnotationBlock> rowBlocks(const DecoderRow& row, const AnnotationStore& store,
                                       const TraceGeometry& g, int width,
                                       const TextWidth& textWidth);

// The block under x, if any: the last one drawn there.
const AnnotationBlock* blockAt(const std::vector<AnnotationBlock>& blocks, int x);
