#include "app/decoding/row_summary.h"

#include <algorithm>

namespace {

// Adds blocks [firstBlock, endBlock) to a level, joining the stretch they touch or overlap.
void cover(std::vector<SummarySpan>& level, uint32_t firstBlock, uint32_t endBlock,
           uint32_t first) {
    if (!level.empty() && firstBlock <= level.back().endBlock) {
        level.back().endBlock = std::max(level.back().endBlock, endBlock);
        return;
    }
    level.push_back(SummarySpan{firstBlock, endBlock, first});
}

// The finest level, from the annotations themselves; one of no length still takes its sample.
std::vector<SummarySpan> finestLevel(const std::vector<uint32_t>& order,
                                     const AnnotationStore& store, RowSummary& summary) {
    std::vector<SummarySpan> level;
    for (uint32_t at = 0; at < order.size(); ++at) {
        const uint32_t start = store.startOf(order[at]);
        const uint32_t last = std::max(store.endOf(order[at]), start + 1) - 1;
        summary.longest = std::max(summary.longest, last + 1 - start);
        summary.reach = std::max(summary.reach, last + 1);
        cover(level, start >> kFinestSummaryLevel, (last >> kFinestSummaryLevel) + 1, at);
    }
    return level;
}

// The next level up: each block twice as wide.
std::vector<SummarySpan> coarser(const std::vector<SummarySpan>& finer) {
    std::vector<SummarySpan> level;
    for (const SummarySpan& span : finer) {
        cover(level, span.firstBlock >> 1, ((span.endBlock - 1) >> 1) + 1, span.first);
    }
    level.shrink_to_fit();
    return level;
}

}  // namespace

RowSummary summariseRow(const std::vector<uint32_t>& order, const AnnotationStore& store) {
    RowSummary summary;
    if (order.empty()) {
        return summary;
    }
    summary.levels.push_back(finestLevel(order, store, summary));
    summary.levels.back().shrink_to_fit();
    // Up to one stretch: a coarser level would hold the same.
    while (summary.levels.back().size() > 1) {
        summary.levels.push_back(coarser(summary.levels.back()));
    }
    return summary;
}

std::optional<size_t> summaryLevel(const RowSummary& summary, double samplesPerPixel) {
    std::optional<size_t> level;
    for (size_t i = 0; i < summary.levels.size(); ++i) {
        if (static_cast<double>(uint64_t{1} << (kFinestSummaryLevel + i)) > samplesPerPixel) {
            break;
        }
        level = i;
    }
    return level;
}

size_t firstReaching(const std::vector<uint32_t>& order, const AnnotationStore& store,
                     const RowSummary& summary, uint32_t sample) {
    const uint32_t from = sample > summary.longest ? sample - summary.longest : 0;
    return static_cast<size_t>(
        std::partition_point(order.begin(), order.end(),
                             [&](uint32_t index) { return store.startOf(index) < from; }) -
        order.begin());
}

size_t firstAfter(const std::vector<uint32_t>& order, const AnnotationStore& store,
                  uint32_t sample) {
    return static_cast<size_t>(
        std::partition_point(order.begin(), order.end(),
                             [&](uint32_t index) { return store.startOf(index) <= sample; }) -
        order.begin());
}
