#include "app/decoding/annotation_blocks.h"

#include <algorithm>

namespace {

// The first of the texts (the full one first, then shorter forms) that fits `room` pixels.
std::string fittingText(const AnnotationRef& annotation, int room, const TextWidth& textWidth) {
    if (room <= 2 * kBlockTextMargin) {
        return {};  // zoomed far out: no text is measured in vain
    }
    for (const std::string& text : annotation.texts) {
        if (textWidth(text) + 2 * kBlockTextMargin <= room) {
            return text;
        }
    }
    return {};
}

// Samples [start, end) on the view, cut to it: at least a pixel wide, none when it lies beside it.
std::optional<std::pair<int, int>> placed(const TraceGeometry& g, int64_t start, int64_t end,
                                          int width) {
    const int64_t x0 = edgeX(g, start);
    const int64_t x1 = std::max(edgeX(g, end), x0 + 1);
    if (x0 >= width || x1 <= 0) {
        return std::nullopt;
    }
    return std::pair{static_cast<int>(std::max<int64_t>(x0, 0)),
                     static_cast<int>(std::min<int64_t>(x1, width))};
}

// Adds `block`, into the last one where neither has text and they share a pixel column.
void addBlock(std::vector<AnnotationBlock>& blocks, AnnotationBlock block) {
    if (!blocks.empty() && block.text.empty() && blocks.back().text.empty() &&
        block.x0 < blocks.back().x1) {
        blocks.back().x1 = std::max(blocks.back().x1, block.x1);
        return;
    }
    blocks.push_back(std::move(block));
}

// The annotations themselves, from the row's position `from` on.
std::vector<AnnotationBlock> eachAnnotation(const DecoderRow& row, const AnnotationStore& store,
                                            size_t from, const TraceGeometry& g, int width,
                                            const TextWidth& textWidth) {
    std::vector<AnnotationBlock> blocks;
    for (size_t at = from; at < row.annotations.size(); ++at) {
        const uint32_t index = row.annotations[at];
        const AnnotationRef annotation = store[index];
        if (edgeX(g, annotation.start) >= width) {
            break;  // the row is by start: the rest begin further right
        }
        if (const auto x = placed(g, annotation.start, annotation.end, width)) {
            const std::string text = fittingText(annotation, x->second - x->first, textWidth);
            addBlock(blocks, AnnotationBlock{x->first, x->second, index, text});
        }
    }
    return blocks;
}

// The stretches of the summary's `level` that the view shows, each named by its first annotation.
std::vector<AnnotationBlock> eachStretch(const DecoderRow& row, size_t level,
                                         const TraceGeometry& g, int width) {
    const std::vector<SummarySpan>& spans = row.summary.levels[level];
    const int shift = kFinestSummaryLevel + static_cast<int>(level);
    const int64_t reach = row.summary.reach;
    auto span = std::partition_point(spans.begin(), spans.end(), [&](const SummarySpan& s) {
        return std::min(int64_t{s.endBlock} << shift, reach) <= int64_t{g.firstSample};
    });
    std::vector<AnnotationBlock> blocks;
    for (; span != spans.end() && edgeX(g, int64_t{span->firstBlock} << shift) < width; ++span) {
        const int64_t end = std::min(int64_t{span->endBlock} << shift, reach);
        if (const auto x = placed(g, int64_t{span->firstBlock} << shift, end, width)) {
            addBlock(blocks,
                     AnnotationBlock{x->first, x->second, row.annotations[span->first], {}});
        }
    }
    return blocks;
}

// The sample after the last the view shows, or one further.
uint32_t pastLastShown(const TraceGeometry& g, int width) {
    if (g.time) {
        return g.time->firstIndexFrom(g.time->secondsAtX(width));
    }
    const double past = g.firstSample + width * g.scale.samplesPerPixel() + 1;
    return static_cast<uint32_t>(std::min<double>(past, UINT32_MAX));
}

}  // namespace

std::vector<AnnotationBlock> rowBlocks(const DecoderRow& row, const AnnotationStore& store,
                                       const TraceGeometry& g, int width,
                                       const TextWidth& textWidth) {
    const size_t from = firstReaching(row.annotations, store, row.summary, g.firstSample);
    const size_t shown = firstAfter(row.annotations, store, pastLastShown(g, width)) - from;
    const std::optional<size_t> level = summaryLevel(row.summary, g.scale.samplesPerPixel());
    // More annotations than pixels: their stretches look the same and cost only the width.
    if (level && shown > static_cast<size_t>(width)) {
        return eachStretch(row, *level, g, width);
    }
    return eachAnnotation(row, store, from, g, width, textWidth);
}

const AnnotationBlock* blockAt(const std::vector<AnnotationBlock>& blocks, int x) {
    const AnnotationBlock* found = nullptr;
    for (const AnnotationBlock& block : blocks) {
        if (block.x0 <= x && x < block.x1) {
            found = &block;
        }
    }
    return found;
}
