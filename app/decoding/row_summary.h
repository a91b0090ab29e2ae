#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "decode/annotation_store.h"

// A stretch of a row at one level of detail: blocks firstBlock <= b < endBlock, each of
// 2^level samples, every one touched by some annotation of the row; `first` is the position in
// the row of the first annotation in it.
struct SummarySpan {
    uint32_t firstBlock = 0;
    uint32_t endBlock = 0;
    uint32_t first = 0;
};

// The finest level summarised: blocks of 2^kFinestSummaryLevel samples. A view showing fewer
// samples a pixel draws the annotations themselves.
inline constexpr int kFinestSummaryLevel = 4;

// Where a row has annotations, at every level from the finest up, each level's stretches halving
// (or fewer): a row zoomed out is drawn from the level whose blocks are just under a pixel, so
// the cost follows the view's width, not the row's annotations.
struct RowSummary {
    // levels[i] holds blocks of 2^(kFinestSummaryLevel + i) samples, in order, apart.
    std::vector<std::vector<SummarySpan>> levels;
    uint32_t longest = 0;  // samples of the row's longest annotation
    uint32_t reach = 0;    // the sample after the last any annotation takes
};

// The summary of a row whose annotations are `order` (positions in `store`, by start).
RowSummary summariseRow(const std::vector<uint32_t>& order, const AnnotationStore& store);

// The level of `summary` to draw a view of `samplesPerPixel` from: the coarsest whose blocks are
// no wider than a pixel. None when a pixel holds fewer samples than the finest level's block.
std::optional<size_t> summaryLevel(const RowSummary& summary, double samplesPerPixel);

// The first position in `order` whose annotation may reach `sample` or beyond: those before it
// end before it.
size_t firstReaching(const std::vector<uint32_t>& order, const AnnotationStore& store,
                     const RowSummary& summary, uint32_t sample);

// The first position in `order` whose annotation starts after `sample`.
size_t firstAfter(const std::vector<uint32_t>& order, const AnnotationStore& store,
                  uint32_t sample);
