#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "capture/sampler.h"
#include "capture/simulated_probe.h"
#include "core/scope_session.h"

// What the quiet section (real-time priority, the thread pinned, the buffer locked) does for the
// gaps of the fastest capture, beside two threads that keep every processor busy: the same
// capture of 200000 reads of about a microsecond each, without (/0) and with (/1) it. Read the
// counters, not the times: gaps per capture, the longest gap in milliseconds, and whether the
// priority could be raised at all (it needs root or CAP_SYS_NICE).

namespace {

constexpr uint32_t kSamples = 200'000;
constexpr int kBusyThreads = 2;

// The simulated probe's reads (a microsecond each, on the steady clock), in a quiet section or
// not, as a hardware port would have it.
class SpinningPorts final : public PortAccess {
public:
    explicit SpinningPorts(bool quiet) : quiet_(quiet) {}
    StatusPort& port(uint8_t portNumber) override { return probe_.port(portNumber); }
    std::vector<std::string> takeReports() override { return {}; }
    bool wantsQuietSection() const override { return quiet_; }
    ProbeClock& clock() override { return clock_; }

private:
    const bool quiet_;
    SteadyProbeClock clock_;
    SimulatedProbe probe_{clock_};
};

// Threads that spin until they are told to stop.
class BusyThreads {
public:
    explicit BusyThreads(int count) {
        for (int i = 0; i < count; ++i) {
            threads_.emplace_back([this] {
                while (!stop_.load(std::memory_order_relaxed)) {
                }
            });
        }
    }
    ~BusyThreads() {
        stop_ = true;
        for (std::thread& thread : threads_) {
            thread.join();
        }
    }
    BusyThreads(const BusyThreads&) = delete;
    BusyThreads& operator=(const BusyThreads&) = delete;

private:
    std::atomic<bool> stop_{false};
    std::vector<std::thread> threads_;
};

void BM_CaptureBesideBusyThreads(benchmark::State& state) {
    SpinningPorts ports(state.range(0) != 0);
    std::vector<uint8_t> buffer(kSamples);
    resetScopeSession();
    scopeSession.sampleData = buffer.data();
    BusyThreads busy(kBusyThreads);
    double gaps = 0;
    double longestMs = 0;
    bool realTime = false;
    for (auto _ : state) {
        // A real-time period apart, so that one capture's run time does not count against the
        // next one's (the kernel's real-time throttling would pause it).
        state.PauseTiming();
        std::this_thread::sleep_for(std::chrono::milliseconds(1100));
        state.ResumeTiming();
        scopeSession.sampleLength = kSamples;
        captureInline(ports);
        gaps += static_cast<double>(scopeSession.timeBase.gaps().size());
        for (const TimeGap& gap : scopeSession.timeBase.gaps()) {
            longestMs = std::max(longestMs, static_cast<double>(gap.nanoseconds) * 1e-6);
        }
        realTime = scopeSession.samplingPriority.rfind("real-time", 0) == 0;
    }
    state.counters["gaps"] = gaps / static_cast<double>(state.iterations());
    state.counters["longest_ms"] = longestMs;
    state.counters["real_time"] = realTime ? 1 : 0;
    scopeSession.sampleData = nullptr;  // not the session's to give back
    resetScopeSession();
}
BENCHMARK(BM_CaptureBesideBusyThreads)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
