// Decoding in process: the UART decoder over 500000 samples of serial text, and what preparing
// the decoders' input (the levels at the pins, a resampling onto a uniform grid) adds to it.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/time_base.h"
#include "core/uniform_grid.h"
#include "decode/decoder_run.h"
#include "tests/support/protocol_signals.h"

namespace {

constexpr uint32_t kSamples = 500000;

std::string serialText() {
    std::string samples;
    while (samples.size() < kSamples) {
        samples += uartRecording("Pinprobe", 100, 2);
    }
    samples.resize(kSamples);
    return samples;
}

const uint8_t* bytes(const std::string& samples) {
    return reinterpret_cast<const uint8_t*>(samples.data());
}

void BM_DecodeUart(benchmark::State& state) {
    const std::string samples = serialText();
    std::vector<DecoderStack> stacks(1);
    std::string error;
    parseDecoderStack("uart:rx=select:baudrate=10000", stacks[0], error);
    const DecodeInput input = makeDecodeInput(bytes(samples), kSamples, UniformGrid{1e-6, {}});
    for (auto _ : state) {
        const DecodeResult result = runDecoders(stacks, input);
        benchmark::DoNotOptimize(result.annotations.size());
    }
    state.SetItemsProcessed(state.iterations() * kSamples);
}
// The decoders run on threads of their own: the time that counts is the wall clock's.
BENCHMARK(BM_DecodeUart)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PrepareInput(benchmark::State& state) {
    const std::string samples = serialText();
    for (auto _ : state) {
        const DecodeInput input = makeDecodeInput(bytes(samples), kSamples, UniformGrid{1e-6, {}});
        benchmark::DoNotOptimize(input.levels.data());
    }
}
BENCHMARK(BM_PrepareInput)->Unit(benchmark::kMillisecond);

void BM_ResampleOntoGrid(benchmark::State& state) {
    TimeBase timeBase;
    timeBase.prepare(kSamples, 64);
    for (uint32_t s = 0; s <= kSamples; s += 64) {
        timeBase.mark(s, uint64_t{s} * 1000 + (s % 6400 == 0 ? 50 : 0));
    }
    timeBase.finish();
    for (auto _ : state) {
        UniformGrid grid;
        resampleOntoGrid(timeBase, 0, kSamples, grid);
        benchmark::DoNotOptimize(grid.source.data());
    }
}
BENCHMARK(BM_ResampleOntoGrid)->Unit(benchmark::kMillisecond);

}  // namespace
