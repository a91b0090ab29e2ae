#include "app/decoding/annotation_blocks.h"

#include <algorithm>

namespace {

// The first of the texts (the full one first, then shorter forms) that fits `room` pixels.
std::string fittingText(const Annotation& annotation, int room, const TextWidth& textWidth) {
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

// Where the samples of `annotation` lie on the view, before cutting: x0 < x1.
std::pair<int64_t, int64_t> blockSpan(const TraceGeometry& g, const Annotation& annotation) {
    const int64_t x0 = edgeX(g, annotation.start);
    const int64_t x1 = std::max(edgeX(g, annotation.end), x0 + 1);
    return {x0, x1};
}

}  // namespace

std::vector<AnnotationBlock> rowBlocks(const DecoderRow& row,
                                       const std::vector<Annotation>& annotations,
                                       const TraceGeometry& g, int width,
                                       const TextWidth& textWidth) {
    std::vector<AnnotationBlock> blocks;
    for (const uint32_t index : row.annotations) {
        const Annotation& annotation = annotations[index];
        const auto [from, to] = blockSpan(g, annotation);
        if (from >= width) {
            break;  // the row is by start: the rest begin further right
        }
        if (to <= 0) {
            continue;
        }
        AnnotationBlock block{static_cast<int>(std::max<int64_t>(from, 0)),
                              static_cast<int>(std::min<int64_t>(to, width)),
                              index,
                              {}};
        block.text = fittingText(annotation, block.x1 - block.x0, textWidth);
        if (!blocks.empty() && block.text.empty() && blocks.back().text.empty() &&
            block.x0 < blocks.back().x1) {
            blocks.back().x1 = std::max(blocks.back().x1, block.x1);
            continue;
        }
        blocks.push_back(std::move(block));
    }
    return blocks;
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
