// The desktop program's decoding of a busy recording, from the decode asked for to the rows'
// blocks of the whole recording zoomed out to a screen: its time, the peak memory of the process
// and what it holds per annotation. Random levels decoded as UART at half the sample rate give
// an annotation every few samples.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <random>
#include <vector>

#include "app/decoding/annotation_blocks.h"
#include "app/decoding/desktop_decoding.h"
#include "app/view/navigation.h"
#include "app/window/main_window_proc.h"
#include "bench/app/fixed_text_width.h"
#include "core/scope_session.h"
#include "tests/support/recording_window_system.h"
#include "tests/support/session_samples.h"

namespace {

constexpr int kScreenWidth = 1920;
constexpr int kHeight = 600;

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void loadBusyRecording(uint32_t samples) {
    std::mt19937 random(27);
    std::vector<uint8_t> levels(samples);
    for (uint8_t& level : levels) {
        level = static_cast<uint8_t>(random() & 0xF8);
    }
    loadSessionSamples(levels);
}

// Decodes with UART at 500000 baud on Error (the default period is 1 µs) and waits for the rows.
bool decodeBusyRecording(RecordingWindowSystem& ws) {
    DesktopDecoding& d = desktopDecoding;
    d.stacks.resize(1);
    std::string error;
    if (parseDecoderStack("uart:rx=error:baudrate=500000", d.stacks[0], error) != SetupStatus::Ok) {
        return false;
    }
    ++d.decodersChanged;
    keepDecodingCurrent(ws);
    const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(10);
    while (d.state == DecodeState::Running && std::chrono::steady_clock::now() < end) {
        ws.waitAndPump(1.0);
    }
    return d.state == DecodeState::Done;
}

void BM_DecodeToFirstRow(benchmark::State& state) {
    const auto samples = static_cast<uint32_t>(state.range(0));
    size_t blocks = 0;
    for (auto _ : state) {
        state.PauseTiming();
        resetScopeSession();
        resetDesktopDecoding();
        loadBusyRecording(samples);
        scopeSession.view.scale = fitScale(samples, kScreenWidth);
        scopeSession.view.viewStart = 0;
        RecordingWindowSystem ws;
        ws.handler = [&ws](const WindowMessage& m) { return mainWindowProc(ws, m).answer; };
        state.ResumeTiming();
        if (!decodeBusyRecording(ws)) {
            state.SkipWithError("the decode failed");
            break;
        }
        const TraceGeometry g = viewGeometry(scopeSession, kScreenWidth, kHeight);
        for (const DecoderRow& row : desktopDecoding.rows) {
            blocks += rowBlocks(row, desktopDecoding.result.annotations, g, kScreenWidth, sevenEach)
                          .size();
        }
    }
    benchmark::DoNotOptimize(blocks);
    const double annotations = static_cast<double>(desktopDecoding.result.annotations.size());
    state.counters["annotations"] = annotations;
    state.counters["peak_MB"] = peakMegabytes();
    state.counters["peak_bytes_per_annotation"] = peakMegabytes() * 1024 * 1024 / annotations;
    resetDesktopDecoding();
    resetScopeSession();
}
BENCHMARK(BM_DecodeToFirstRow)->Arg(3'000'000)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
