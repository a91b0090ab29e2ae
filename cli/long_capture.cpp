#include "cli/long_capture.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "app/document/capture_cycle.h"
#include "app/document/recording_blocks.h"
#include "app/document/recording_stream.h"
#include "app/window/trigger_settings.h"
#include "capture/probe_clock.h"
#include "capture/sampling_worker.h"
#include "capture/status_port.h"
#include "cli/capture_end_signals.h"
#include "cli/capture_summary.h"
#include "cli/console_output.h"
#include "cli/file_error_report.h"
#include "cli/headless_window_system.h"
#include "core/measure_text.h"
#include "core/printable_text.h"
#include "core/scope_session.h"
#include "scopefile/file_calls.h"
#include "scopefile/joined_times.h"

namespace {

constexpr std::chrono::milliseconds kHandOverPoll{50};

struct LongRun : RecordingBlocks {
    LongRun(const CaptureGoal& goal, RecordingStream& stream, CliContext& context,
            const CaptureEndSignals& signals)
        : RecordingBlocks(goal, stream), context(context), signals(signals) {}

    CliContext& context;
    const CaptureEndSignals& signals;
    bool noBuffer = false;
};

// Waits for the worker's block. A signal breaks it off; a trigger wait, which Break does not
// end, is abandoned with nothing kept.
void awaitBlock(LongRun& run) {
    while (true) {
        for (const WindowMessage& message : run.context.windows.takeMessages(kHandOverPoll)) {
            if (message.id == CAPTURE_DONE && acceptCaptureDone(workerLink)) {
                completeCaptureDone(workerLink);
                return;
            }
        }
        if (run.signals.received() != 0) {
            scopeSession.breakRequested = 1;  // the worker clears it as its block begins
            if (triggerSet(scopeSession)) {
                endWorkerCapture(workerLink);
                scopeSession.sampleLength = 0;
                return;
            }
        }
    }
}

// One block into the session's buffer, on the loop the speed asks for; its length.
uint32_t captureBlock(LongRun& run, uint32_t size) {
    resetDocument(run.context.windows);
    // The worker's loops keep one sample fewer than they read: the one Break came on.
    const uint32_t reads = size + (scopeSession.delayUnits != 0 ? 1 : 0);
    scopeSession.captureSize = static_cast<int32_t>(std::min<uint32_t>(reads, INT32_MAX));
    const CaptureStart start = startCapture(run.context.windows);
    if (start == CaptureStart::NoBuffer) {
        run.noBuffer = true;
        return 0;
    }
    if (start == CaptureStart::OnWorker) {
        awaitBlock(run);
    }
    return scopeSession.sampleLength;
}

void showProgress(const LongRun& run) {
    if (!run.context.environment.progressOnStderr) {
        return;
    }
    run.context.console.progress("capturing (Ctrl+C ends it): " + recordingProgressWords(run));
}

// Blocks until the goal, a signal, a failed write or no memory; the trigger only for the first.
void captureBlocks(LongRun& run) {
    while (!goalReached(run) && run.signals.received() == 0) {
        const uint32_t length = captureBlock(run, nextBlockSize(run));
        if (length == 0 || !keepBlock(run, length)) {
            return;
        }
        applyTriggerSettings(TriggerSettings{});
        showProgress(run);
    }
}

struct WorkerRunning {
    WorkerRunning() { startSamplingWorker(workerLink); }
    ~WorkerRunning() { stopSamplingWorker(workerLink); }
};

}  // namespace

namespace {

// "Ctrl+C", "SIGTERM", "SIGHUP": what ended the capture.
std::string signalName(int signal) {
    return signal == SIGINT ? "Ctrl+C" : signal == SIGTERM ? "SIGTERM" : "SIGHUP";
}

// Why the capture ended before its goal, if it did.
void reportEnd(const LongRun& run, const OutputFile& output, const std::string& path) {
    ConsoleOutput& console = run.context.console;
    const std::string kept = samplesText(run.times.samples());
    if (run.writeFailed && output.error == EFBIG) {
        console.message(printable(path) + ": the file is full: it keeps the " + kept +
                        " before (scope files and sigrok sessions stay below 4 GiB)");
    } else if (run.writeFailed) {
        console.message(printable(path) + ": cannot write: " + systemErrorText(output.error) +
                        "; the capture ended there, and the file keeps the " + kept +
                        " written before");
    } else if (run.signals.received() != 0) {
        console.message(signalName(run.signals.received()) + " ended the capture after " + kept);
    }
}

void printSummary(const LongRun& run, const std::string& path, const std::string& port) {
    releaseSampleData();
    scopeSession.sampleLength = 0;
    scopeSession.timeBase.restore(run.times.times().timeBase);
    std::ostringstream summary;
    printCaptureSummary(summary, port,
                        static_cast<uint32_t>(std::min<uint64_t>(run.times.samples(), UINT32_MAX)),
                        run.elapsed());
    summary << "file: " << printable(path) << ", " << run.stream.bytes() << " bytes\n";
    run.context.out << summary.str();
}

}  // namespace

int runLongCapture(const CaptureGoal& goal, OutputFile& output, const std::string& path,
                   const std::string& port, CliContext& context) {
    if (!writableAnywhere(output)) {
        return usageError(context, "capture",
                          "-o " + printable(path) +
                              ": a capture to disk is written into a file as it runs, not a "
                              "pipe or a terminal");
    }
    RecordingStream stream(output, path, namesOf(scopeSession.channels));
    if (!stream.sigrok() && goal.samples > kMostStreamedScopeSamples) {
        return usageError(context, "capture",
                          "a scope file holds at most " + samplesText(kMostStreamedScopeSamples) +
                              " (its RIFF sizes are 32 bits); ask for fewer");
    }
    if (!stream.start()) {
        printWriteFailure(context.console, path, output.error);
        return kExitFailure;
    }
    CaptureEndSignals signals;
    LongRun run(goal, stream, context, signals);
    {
        std::optional<WorkerRunning> worker;
        if (scopeSession.delayUnits != 0) {
            worker.emplace();
        }
        captureBlocks(run);
    }
    context.console.clearProgress();
    reportEnd(run, output, path);
    if (!commitOutputFile(output)) {
        printWriteFailure(context.console, path, output.error);
        return kExitFailure;
    }
    printSummary(run, path, port);
    return run.writeFailed || run.noBuffer || !resultsDelivered(context) ? kExitFailure
                                                                         : kExitSuccess;
}
