#include <benchmark/benchmark.h>

#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <mutex>
#include <string>
#include <vector>

#include "bench/capture/memory_port.h"
#include "capture/sampler.h"
#include "capture/sampling_worker.h"
#include "capture/status_port.h"
#include "core/scope_session.h"
#include "core/window_system.h"
#include "tests/support/silent_window_system.h"

// Read the figures as ratios within one run:
//   InlineCapture / BareReadLoop at the same size: what the capture loop adds to read-and-store,
//   the time base's clock readings included (the "marks" counter: how many it took).
//   WorkerCapture/50 / WorkerCapture/5: the Slow to Fast time per sample.
//   WorkerCapture/5 / WorkerCaptureUnpublished/5: what publishing the stored count costs at Fast.

namespace {

class MemoryPortAccess : public PortAccess {
public:
    StatusPort& port(uint8_t) override { return port_; }
    std::vector<std::string> takeReports() override { return {}; }
    bool wantsQuietSection() const override { return false; }

private:
    MemoryPort port_;
};

// A main window that only notes CAPTURE_DONE; the benchmark thread then answers it as the main
// thread would. The worker posts with its hand-over lock held, so the answer cannot come from
// inside postMessage.
class HandOverWindow : public SilentWindowSystem {
public:
    void postMessage(const WindowMessage&) override {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        posted_.notify_one();
    }
    void waitForCaptureDone() {
        std::unique_lock lock(mutex_);
        posted_.wait(lock, [this] { return done_; });
        done_ = false;
    }

private:
    std::mutex mutex_;
    std::condition_variable posted_;
    bool done_ = false;
};

// Points the session at `samples` bytes of `buffer` for as long as a benchmark runs.
class SessionSamples {
public:
    SessionSamples(std::vector<uint8_t>& buffer, uint32_t samples) {
        resetScopeSession();
        scopeSession.sampleData = buffer.data();
        scopeSession.sampleLength = samples;
    }
    ~SessionSamples() {
        scopeSession.sampleData = nullptr;  // not the session's to give back
        resetScopeSession();
    }
    SessionSamples(const SessionSamples&) = delete;
    SessionSamples& operator=(const SessionSamples&) = delete;
};

void countPerSample(benchmark::State& state, uint32_t samples) {
    state.counters["per_sample"] = benchmark::Counter(
        static_cast<double>(samples),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// One port and one buffer for both inline loops, at the same addresses, so that the two differ
// in nothing but the loop (where the buffer lies against the port's counter moves the timing).
struct InlineSource {
    MemoryPortAccess ports;
    std::vector<uint8_t> buffer = std::vector<uint8_t>(500000);
};

InlineSource& inlineSource() {
    static InlineSource source;
    return source;
}

void BM_InlineCapture(benchmark::State& state) {
    const auto samples = static_cast<uint32_t>(state.range(0));
    InlineSource& source = inlineSource();
    SessionSamples session(source.buffer, samples);
    for (auto _ : state) {
        scopeSession.sampleLength = samples;
        captureInline(source.ports);
        benchmark::ClobberMemory();
    }
    countPerSample(state, samples);
    state.counters["marks"] = static_cast<double>(scopeSession.timeBase.markCount());
}
BENCHMARK(BM_InlineCapture)->Arg(30000)->Arg(500000);

// The floor: the same port object, the same virtual read, a plain loop storing each byte.
void BM_BareReadLoop(benchmark::State& state) {
    const auto samples = static_cast<uint32_t>(state.range(0));
    InlineSource& source = inlineSource();
    StatusPort* port = &source.ports.port(1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(port);  // the call stays virtual, as in the capture
        uint8_t* data = source.buffer.data();
        for (uint32_t i = 0; i < samples; ++i) {
            data[i] = port->read();
        }
        benchmark::ClobberMemory();
    }
    countPerSample(state, samples);
}
BENCHMARK(BM_BareReadLoop)->Arg(30000)->Arg(500000);

double processCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Whole worker captures, hand-over included, at Fast (5) and Slow (50) delay units; 0 shows what
// the loop itself costs per sample. Timed by the process's processor time, which is the worker's
// (this thread sleeps meanwhile), so that other work on a shared machine does not count.
void runWorkerCaptures(benchmark::State& state, bool publishStored) {
    constexpr uint32_t kSamples = 30000;
    std::vector<uint8_t> buffer(kSamples);
    SessionSamples session(buffer, kSamples);
    MemoryPortAccess ports;
    HandOverWindow window;
    WorkerLink link;
    link.mainWindow = &window;
    link.ports = &ports;
    link.delayUnits = static_cast<int32_t>(state.range(0));
    link.publishStored = publishStored;
    startSamplingWorker(link);
    for (auto _ : state) {
        const double start = processCpuSeconds();
        scopeSession.sampleLength = kSamples;
        signalWake(link);
        window.waitForCaptureDone();
        acceptCaptureDone(link);
        completeCaptureDone(link);
        state.SetIterationTime(processCpuSeconds() - start);
    }
    stopSamplingWorker(link);
    countPerSample(state, kSamples);
}

void BM_WorkerCapture(benchmark::State& state) {
    runWorkerCaptures(state, true);
}
BENCHMARK(BM_WorkerCapture)
    ->Arg(0)
    ->Arg(5)
    ->Arg(50)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The same without publishing the stored count for the live view: the pair's ratio is what the
// publishing costs.
void BM_WorkerCaptureUnpublished(benchmark::State& state) {
    runWorkerCaptures(state, false);
}
BENCHMARK(BM_WorkerCaptureUnpublished)
    ->Arg(0)
    ->Arg(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
