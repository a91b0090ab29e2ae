#include <benchmark/benchmark.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "display/level_pyramid.h"
#include "display/pyramid_build.h"

namespace {

constexpr uint32_t kSamples = 50'000'000;

const std::vector<uint8_t>& recording() {
    static const std::vector<uint8_t> samples = [] {
        std::vector<uint8_t> made(kSamples);
        for (uint32_t i = 0; i < kSamples; ++i) {
            made[i] = static_cast<uint8_t>(i / 7 ^ i / 311);
        }
        return made;
    }();
    return samples;
}

// The whole recording summed up at once, as a paint did it before the summing up had its thread.
void BM_PyramidAtOnce(benchmark::State& state) {
    const std::vector<uint8_t>& samples = recording();
    for (auto _ : state) {
        LevelPyramid pyramid;
        pyramid.extend(samples.data(), kSamples);
        benchmark::DoNotOptimize(pyramid.length());
    }
}
BENCHMARK(BM_PyramidAtOnce)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same on the build's thread, in steps, from start to taken.
void BM_PyramidOnItsThread(benchmark::State& state) {
    const std::vector<uint8_t>& samples = recording();
    std::mutex mutex;
    std::condition_variable told;
    for (auto _ : state) {
        bool done = false;
        PyramidBuild build;
        build.start(samples.data(), kSamples, 1, [&] {
            const std::lock_guard lock(mutex);
            done = build.summed() == kSamples;
            told.notify_all();
        });
        {
            std::unique_lock lock(mutex);
            told.wait(lock, [&] { return done; });
        }
        const std::optional<LevelPyramid> pyramid = build.take(1);
        benchmark::DoNotOptimize(pyramid->length());
    }
}
BENCHMARK(BM_PyramidOnItsThread)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
