#include "display/sample_spans.h"

namespace {

// The longest stretch read sample by sample: a screen of such columns is read in well under a
// millisecond.
constexpr uint32_t kDirectStretch = 256;

}  // namespace

LevelSpan SampleSpans::span(uint32_t first, uint32_t end) const {
    if (pyramid != nullptr && end <= pyramid->length()) {
        return pyramid->span(samples, first, end);
    }
    LevelSpan total;
    if (end > first && end - first <= kDirectStretch) {
        for (uint32_t i = first; i < end; ++i) {
            total.add(LevelSpan{samples[i], samples[i]});
        }
    }
    return total;
}
