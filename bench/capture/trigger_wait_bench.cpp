#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

#include "bench/capture/memory_port.h"
#include "capture/pre_trigger_ring.h"
#include "capture/probe_clock.h"
#include "capture/sampler.h"
#include "capture/simulated_probe.h"
#include "core/scope_session.h"
#include "core/trigger_conditions.h"

// Read the figures as ratios within one run:
//   TriggerWaitRing / TriggerWaitBare at the same count: what the conditions and the pre-trigger
//   ring add to the plain wait (read, mask, compare with the reference), per read.
//   TriggerWaitNoRing / TriggerWaitBare: the conditions alone.
// TriggerLatency's latency_samples counter: samples between the recorded trigger point and the
// recorded rise nearest it, on the simulated probe (0 expected).

namespace {

constexpr uint8_t kError = 0x08;

// The ports never show Error high, so a wait for it reads every poll it is given: one at about
// a nanosecond a read, where the loop around the read is all that is measured, and one at about
// a real port's microsecond, where the loop's cost shows as a real capture would feel it.
StatusPort& neverHigh() {
    static MemoryPort port(kError);
    return port;
}
StatusPort& neverHighCostly() {
    constexpr uint32_t kSpinsForAMicrosecond = 2500;
    static CostlyMemoryPort port(kError, kSpinsForAMicrosecond);
    return port;
}

TriggerMatch waitForErrorHigh() {
    ChannelConditions conditions{};
    conditions[0] = TriggerCondition::High;
    return compileTrigger(conditions);
}

void countPerRead(benchmark::State& state, uint32_t reads) {
    state.counters["per_read"] = benchmark::Counter(
        static_cast<double>(reads),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The floor: the plain wait for a change of the masked channels, the same port and virtual read.
template <StatusPort& (*kPort)()>
void BM_TriggerWaitBare(benchmark::State& state) {
    const auto polls = static_cast<uint32_t>(state.range(0));
    StatusPort* port = &kPort();
    for (auto _ : state) {
        benchmark::DoNotOptimize(port);
        const uint8_t reference = port->read() & kError;
        uint32_t poll = 0;
        while (poll < polls && (port->read() & kError) == reference) {
            ++poll;
        }
        benchmark::DoNotOptimize(poll);
    }
    countPerRead(state, polls);
}
BENCHMARK_TEMPLATE(BM_TriggerWaitBare, neverHigh)->Arg(30000)->Arg(500000);
BENCHMARK_TEMPLATE(BM_TriggerWaitBare, neverHighCostly)->Arg(30000);

template <StatusPort& (*kPort)()>
void BM_TriggerWaitNoRing(benchmark::State& state) {
    const auto polls = static_cast<uint32_t>(state.range(0));
    const TriggerMatch match = waitForErrorHigh();
    for (auto _ : state) {
        benchmark::DoNotOptimize(waitForTrigger(kPort(), match, polls, nullptr));
    }
    countPerRead(state, polls);
}
BENCHMARK_TEMPLATE(BM_TriggerWaitNoRing, neverHigh)->Arg(30000)->Arg(500000);
BENCHMARK_TEMPLATE(BM_TriggerWaitNoRing, neverHighCostly)->Arg(30000);

// The ring holds half of a buffer of `polls` samples, as a 50 % share would.
template <StatusPort& (*kPort)()>
void BM_TriggerWaitRing(benchmark::State& state) {
    const auto polls = static_cast<uint32_t>(state.range(0));
    const TriggerMatch match = waitForErrorHigh();
    std::vector<uint8_t> buffer(polls);
    for (auto _ : state) {
        PreTriggerRing ring(buffer.data(), polls / 2, machineClock());
        benchmark::DoNotOptimize(waitForTrigger(kPort(), match, polls, nullptr, nullptr, &ring));
        benchmark::ClobberMemory();
    }
    countPerRead(state, polls);
}
BENCHMARK_TEMPLATE(BM_TriggerWaitRing, neverHigh)->Arg(30000)->Arg(500000);
BENCHMARK_TEMPLATE(BM_TriggerWaitRing, neverHighCostly)->Arg(30000);

// How far the sample nearest `trigger` where Out Of Paper has risen lies from it; `length` without
// one. Its rises are milliseconds apart, so a late or early trigger shows as that distance.
int64_t distanceToRise(const uint8_t* data, uint32_t length, uint32_t trigger) {
    constexpr uint8_t kOutOfPaper = 0x20;
    int64_t nearest = length;
    for (uint32_t i = 1; i < length; ++i) {
        if ((data[i - 1] & kOutOfPaper) == 0 && (data[i] & kOutOfPaper) != 0) {
            nearest = std::min(nearest, std::abs(int64_t{i} - trigger));
        }
    }
    return nearest;
}

// Fastest captures of 30000 samples on the simulated probe, waiting for Out Of Paper to rise with
// half of the buffer before it.
void BM_TriggerLatency(benchmark::State& state) {
    constexpr uint32_t kSamples = 30000;
    SimulatedProbe probe(machineClock());
    std::vector<uint8_t> buffer(kSamples);
    resetScopeSession();
    ChannelConditions conditions{};
    conditions[2] = TriggerCondition::Rising;
    scopeSession.triggerConditions = packConditions(conditions);
    scopeSession.preTriggerPercent = 50;
    scopeSession.sampleData = buffer.data();
    int64_t worst = 0;
    for (auto _ : state) {
        scopeSession.sampleLength = kSamples;
        captureInline(probe);
        const std::optional<uint32_t> trigger = triggerIndex(scopeSession);
        worst = std::max<int64_t>(
            worst, trigger ? distanceToRise(buffer.data(), kSamples, *trigger) : kSamples);
    }
    state.counters["latency_samples"] = static_cast<double>(worst);
    state.counters["trigger_at"] = static_cast<double>(triggerIndex(scopeSession).value_or(0));
    scopeSession.sampleData = nullptr;  // not the session's to give back
    resetScopeSession();
}
BENCHMARK(BM_TriggerLatency)->Unit(benchmark::kMillisecond);

}  // namespace
