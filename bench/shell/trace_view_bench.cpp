#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <cstdint>
#include <vector>

#include "app/view/navigation.h"
#include "core/scope_session.h"
#include "display/trace_geometry.h"
#include "display/trace_view.h"
#include "shell/qt_trace_canvas.h"
#include "tests/support/recording_canvas.h"
#include "tests/support/recording_window_system.h"
#include "tests/support/time_base_maker.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 600;

// A busy capture: every channel changes often, so every segment is a real one.
void loadCapture(uint32_t length) {
    resetScopeSession();
    scopeSession.sampleData = obtainSampleBuffer(length);
    uint32_t x = 12345;
    for (uint32_t i = 0; i < length; ++i) {
        x = x * 1103515245u + 12345u;
        scopeSession.sampleData[i] = static_cast<uint8_t>(x >> 16);
    }
    scopeSession.sampleLength = length;
    scopeSession.view.viewStart = length / 2;
}

// Only the visible part is touched: the time must not grow with the capture.
void BM_PaintRecording(benchmark::State& state) {
    loadCapture(static_cast<uint32_t>(state.range(0)));
    RecordingCanvas canvas;
    for (auto _ : state) {
        canvas.clear();
        paintTrace(canvas, kWidth, kHeight);
        benchmark::DoNotOptimize(canvas.lines.data());
    }
    state.counters["lines"] = static_cast<double>(canvas.lines.size());
    resetScopeSession();
}
BENCHMARK(BM_PaintRecording)->Arg(5000)->Arg(500000)->Unit(benchmark::kMicrosecond);

// What the widget does on a paint: erase to black, then the trace through a painter.
void paintOnImage(QImage& image) {
    QPainter painter(&image);
    painter.fillRect(image.rect(), Qt::black);
    QtTraceCanvas canvas(painter);
    paintTrace(canvas, kWidth, kHeight);
}

// One screen at 1:1, from the middle of the capture.
void BM_PaintOneScreen(benchmark::State& state) {
    loadCapture(static_cast<uint32_t>(state.range(0)));
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        paintOnImage(image);
    }
    resetScopeSession();
}
BENCHMARK(BM_PaintOneScreen)->Arg(5000)->Arg(500000)->Unit(benchmark::kMicrosecond);

// The whole capture zoomed out to fit the same screen, in min/max columns from the pyramid
// (built by the first paint, before the timing starts). Read against BM_PaintOneScreen: at most
// 1.5 times its time.
void BM_PaintZoomedOut(benchmark::State& state) {
    const auto length = static_cast<uint32_t>(state.range(0));
    loadCapture(length);
    const ViewScale fit = fitScale(length, kWidth);
    scopeSession.view.scale = fit;
    scopeSession.view.viewStart = 0;
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    paintOnImage(image);
    for (auto _ : state) {
        paintOnImage(image);
    }
    state.counters["samples_per_pixel"] = fit.samplesPerPixel();
    resetScopeSession();
}
BENCHMARK(BM_PaintZoomedOut)->Arg(5000)->Arg(500000)->Unit(benchmark::kMicrosecond);

// A gappy capture on the time axis: a stall every 200 samples (about 2500 in 500000, as a busy
// machine leaves them), of 20 µs to 2 ms at 1 µs a sample, so that some are hatched and most are
// marks. At 1:1 from the middle (range 1 = 0) and zoomed out to fit (range 1 = 1); read the
// 500000-sample time against the 5000-sample one: at most 1.2 times it.
void BM_PaintTimeAxis(benchmark::State& state) {
    const auto length = static_cast<uint32_t>(state.range(0));
    loadCapture(length);
    std::vector<Stall> stalls;
    for (uint32_t sample = 100; sample < length; sample += 200) {
        stalls.push_back(Stall{sample, 20'000 + uint64_t{sample % 7} * 300'000});
    }
    makeTimeBase(scopeSession.timeBase, length, 1000, stalls, 100);
    scopeSession.view.timeAxis = true;
    if (state.range(1) != 0) {
        scopeSession.view.scale = fitScale(viewExtent(scopeSession), kWidth);
        scopeSession.view.viewStart = 0;
    }
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    paintOnImage(image);
    for (auto _ : state) {
        paintOnImage(image);
    }
    state.counters["samples_per_pixel"] = scopeSession.view.scale.samplesPerPixel();
    resetScopeSession();
}
BENCHMARK(BM_PaintTimeAxis)
    ->Args({5000, 0})
    ->Args({500000, 0})
    ->Args({5000, 1})
    ->Args({500000, 1})
    ->Unit(benchmark::kMicrosecond);

// The worst search: one change on the last sample.
void BM_MemoryTriggerSearch(benchmark::State& state) {
    constexpr uint32_t kLength = 500000;
    resetScopeSession();
    scopeSession.sampleData = obtainSampleBuffer(kLength);
    std::fill_n(scopeSession.sampleData, kLength, uint8_t{0x5F});
    scopeSession.sampleData[kLength - 1] = 0x4F;
    scopeSession.sampleLength = kLength;
    scopeSession.memoryTriggerMask = 0x10;
    RecordingWindowSystem window;
    for (auto _ : state) {
        scopeSession.view.viewStart = 0;
        window.log.clear();
        findMemoryTrigger(window);
    }
    if (scopeSession.view.viewStart != kLength - 11) {
        state.SkipWithError("the change was not found");
    }
    state.counters["s_per_sample"] = benchmark::Counter(
        kLength, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    resetScopeSession();
}
BENCHMARK(BM_MemoryTriggerSearch)->Unit(benchmark::kMicrosecond);

}  // namespace
