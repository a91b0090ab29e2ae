#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/decoding/annotation_blocks.h"

namespace {

constexpr int kWidth = 1920;
constexpr uint32_t kSamples = 500000;

// A busy decode of a whole capture: an annotation every `every` samples, as a UART's bits at
// 10 samples a bit give.
std::vector<Annotation> annotations(uint32_t every) {
    std::vector<Annotation> all;
    for (uint32_t start = 0; start + every <= kSamples; start += every) {
        Annotation a;
        a.start = start;
        a.end = start + every;
        a.texts = {"Data bit", "Bit", "1"};
        all.push_back(std::move(a));
    }
    return all;
}

DecoderRow rowOf(const std::vector<Annotation>& all) {
    DecoderRow row;
    for (uint32_t i = 0; i < all.size(); ++i) {
        row.annotations.push_back(i);
    }
    return row;
}

int sevenEach(std::string_view text) {
    return static_cast<int>(text.size()) * 7;
}

// The rows' blocks at 1:1 (one screen of the capture) and at the fit (all of it): read as the
// ratio, what walking every annotation of the row costs when the view holds them all.
void BM_RowBlocks(benchmark::State& state) {
    const std::vector<Annotation> all = annotations(10);
    const DecoderRow row = rowOf(all);
    TraceGeometry g;
    g.scale = ViewScale::samplesPerColumn(static_cast<uint32_t>(state.range(0)));
    g.firstSample = g.scale.belowOneToOne() ? 0 : kSamples / 2;
    size_t blocks = 0;
    for (auto _ : state) {
        blocks = rowBlocks(row, all, g, kWidth, sevenEach).size();
        benchmark::DoNotOptimize(blocks);
    }
    state.counters["annotations"] = static_cast<double>(all.size());
    state.counters["blocks"] = static_cast<double>(blocks);
}
BENCHMARK(BM_RowBlocks)->Arg(1)->Arg(kSamples / kWidth + 1)->Unit(benchmark::kMicrosecond);

}  // namespace
