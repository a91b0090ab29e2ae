#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/decoding/annotation_blocks.h"
#include "app/decoding/row_summary.h"
#include "bench/app/fixed_text_width.h"

namespace {

constexpr int kWidth = 1920;
constexpr uint32_t kSamples = 500000;

struct Row {
    AnnotationStore store;
    DecoderRow row;
};

// `count` annotations of `length` samples, `every` samples apart, in bursts of `burst` from every
// `burstEvery`-th sample on; the row of them with its summary.
Row busyRow(uint32_t count, uint32_t length, uint32_t every, uint32_t burst, uint32_t burstEvery) {
    Row made;
    for (uint32_t i = 0; i < count; ++i) {
        Annotation a;
        a.start = i / burst * burstEvery + i % burst * every;
        a.end = a.start + length;
        a.texts = {"Data bit", "Bit", "1"};
        made.row.annotations.push_back(i);
        made.store.add(std::move(a));
    }
    made.row.summary = summariseRow(made.row.annotations, made.store);
    return made;
}

// Times the blocks of `busy`'s row on a screen drawn with `g`.
void timeBlocks(benchmark::State& state, const Row& busy, const TraceGeometry& g) {
    size_t blocks = 0;
    for (auto _ : state) {
        blocks = rowBlocks(busy.row, busy.store, g, kWidth, sevenEach).size();
        benchmark::DoNotOptimize(blocks);
    }
    state.counters["annotations"] = static_cast<double>(busy.store.size());
    state.counters["blocks"] = static_cast<double>(blocks);
}

// The rows' blocks at 1:1 (one screen of the capture) and at the fit (all of it): an annotation
// every 10 samples, as a UART's bits at 10 samples a bit give.
void BM_RowBlocks(benchmark::State& state) {
    const Row busy = busyRow(kSamples / 10, 10, 10, kSamples / 10, 0);
    TraceGeometry g;
    g.scale = ViewScale::samplesPerColumn(static_cast<uint32_t>(state.range(0)));
    g.firstSample = g.scale.belowOneToOne() ? 0 : kSamples / 2;
    timeBlocks(state, busy, g);
}
BENCHMARK(BM_RowBlocks)->Arg(1)->Arg(kSamples / kWidth + 1)->Unit(benchmark::kMicrosecond);

// A row of 10000 or 1000000 annotations over the same 100 million samples, in 200 bursts with
// nothing between, zoomed out to fit: read the 1000000 time against the 10000 one, at most 1.2
// times it, as the trace paint is flat in the capture's length.
void BM_RowZoomedOut(benchmark::State& state) {
    constexpr uint32_t kLong = 100'000'000;
    constexpr uint32_t kBursts = 200;
    const auto count = static_cast<uint32_t>(state.range(0));
    const uint32_t burst = count / kBursts;
    const Row busy = busyRow(count, 2, 3, burst, kLong / kBursts);
    TraceGeometry g;
    g.scale = ViewScale::samplesPerColumn(kLong / kWidth + 1);
    timeBlocks(state, busy, g);
    state.counters["store_bytes_per_annotation"] =
        static_cast<double>(busy.store.bytesHeld()) / count;
}
BENCHMARK(BM_RowZoomedOut)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);

}  // namespace
