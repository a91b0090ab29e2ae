#include "app/document/desktop_recording.h"

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <memory>

#include "app/document/capture_cycle.h"
#include "app/document/file_commands.h"
#include "app/document/recording_blocks.h"
#include "app/readout/recording_progress.h"
#include "capture/sampling_worker.h"
#include "core/measure_text.h"
#include "core/message_box.h"
#include "core/printable_text.h"
#include "core/scope_session.h"
#include "core/window_system.h"
#include "scopefile/file_calls.h"
#include "scopefile/output_file.h"

namespace {

// How long a closing window waits for the block under way; a trigger wait is not waited for.
constexpr std::chrono::milliseconds kCloseWait{2000};
constexpr std::chrono::milliseconds kBreakRepeat{50};

// The trigger as the user set it: the first block waits for it, the later ones follow at once.
struct TriggerFields {
    uint8_t boxes = scopeSession.portTriggerMask;
    uint16_t conditions = scopeSession.triggerConditions;
    uint8_t preTrigger = scopeSession.preTriggerPercent;

    static void apply(const TriggerFields& fields) {
        scopeSession.portTriggerMask = fields.boxes;
        scopeSession.triggerConditions = fields.conditions;
        scopeSession.preTriggerPercent = fields.preTrigger;
    }
};

struct DesktopRecording {
    DesktopRecording(const std::string& path, const CaptureGoal& goal)
        : path(path), stream(output, path, namesOf(scopeSession.channels)), blocks(goal, stream) {}

    OutputFile output;
    std::string path;
    RecordingStream stream;
    RecordingBlocks blocks;
    TriggerFields trigger;
    bool breakAsked = false;
};

std::unique_ptr<DesktopRecording> running;

void showProgress(const DesktopRecording& recording) {
    RecordingProgress& progress = recordingProgress();
    const double period = recording.blocks.times.periodSeconds();
    progress.keptSamples = recording.blocks.times.samples();
    progress.hertz = period > 0 ? 1.0 / period : 0;
    progress.gaps = recording.blocks.times.stalls();
    progress.bytes = recording.stream.bytes();
}

// The block under way, taken as CAPTURE_DONE takes it; the trigger is spent on the first.
void keepHandedOverBlock(DesktopRecording& recording) {
    keepBlock(recording.blocks, scopeSession.sampleLength);
    TriggerFields::apply(TriggerFields{0, 0, 0});
    completeCaptureDone(workerLink);
    showProgress(recording);
}

// Ends the recording and puts the file in place; what to tell the user, empty when the file
// could not be put in place (told here).
std::string closeRecording(WindowSystem* mainWindow) {
    DesktopRecording& recording = *running;
    TriggerFields::apply(recording.trigger);
    recordingProgress() = RecordingProgress{};
    const std::string where = printable(recording.path);
    const std::string kept = samplesText(recording.blocks.times.samples());
    std::string told;
    if (recording.blocks.writeFailed) {
        const std::string why = recording.output.error == EFBIG
                                    ? "the file is full (it stays below 4 GiB)"
                                    : systemErrorText(recording.output.error);
        told = "The recording stopped: " + where + " cannot be written: " + why +
               ". The file keeps the " + kept + " written before.";
    } else {
        told = "Recorded " + kept + " to " + where + ".";
    }
    if (!commitOutputFile(recording.output)) {
        told = "The recording could not be put in place as " + where + ": " +
               systemErrorText(recording.output.error);
        if (mainWindow != nullptr) {
            showWarning(*mainWindow, told);
        }
        told.clear();
    }
    running.reset();
    return told;
}

// Says where the file is, and opens it when the user wants to.
void finishRecording(WindowSystem& mainWindow) {
    const bool anything = running->blocks.times.samples() > 0;
    const std::string path = running->path;
    const std::string told = closeRecording(&mainWindow);
    if (told.empty()) {
        return;
    }
    if (!anything) {
        showWarning(mainWindow, told);
        return;
    }
    if (mainWindow.messageBox(told + "\n\nOpen the recording now?", kRecordToFileCaption,
                              MessageButtons::YesNo, MessageIcon::Question) == MessageAnswer::Yes) {
        openDocumentFile(mainWindow, path);
        return;
    }
    finishWorkerCapture(mainWindow);
}

void startNextBlock(WindowSystem& mainWindow) {
    const uint32_t size = nextBlockSize(running->blocks);
    resetDocument(mainWindow);
    // The worker keeps one sample fewer than it reads: the one Break came on.
    scopeSession.captureSize = static_cast<int32_t>(std::min<uint32_t>(size, INT32_MAX - 1) + 1);
    if (startCapture(mainWindow, CaptureLoop::Worker) == CaptureStart::NoBuffer) {
        finishRecording(mainWindow);
    }
}

}  // namespace

bool recordingRuns() {
    return running != nullptr;
}

bool startRecording(WindowSystem& mainWindow, const std::string& path, const CaptureGoal& goal) {
    endRunningCapture();
    running = std::make_unique<DesktopRecording>(path, goal);
    if (!openOutputFile(running->output, path) || !running->stream.start()) {
        showWarning(mainWindow, "Cannot record to " + printable(path) + ": " +
                                    systemErrorText(running->output.error));
        running.reset();
        return false;
    }
    const std::string name = std::filesystem::path(path).filename();
    recordingProgress() =
        RecordingProgress{printable(name), 0, 0, 0, running->stream.bytes(), LiveClock::now()};
    startNextBlock(mainWindow);
    return true;
}

void takeRecordedBlock(WindowSystem& mainWindow) {
    if (!acceptCaptureDone(workerLink)) {
        return;  // a block already taken at Break or at close
    }
    keepHandedOverBlock(*running);
    if (running->breakAsked || running->blocks.writeFailed || goalReached(running->blocks)) {
        finishRecording(mainWindow);
        return;
    }
    startNextBlock(mainWindow);
}

void breakRecording(WindowSystem& mainWindow) {
    running->breakAsked = true;
    scopeSession.breakRequested = 1;
    // Break does not end a trigger wait; a recording that has nothing yet ends without it.
    if (running->blocks.times.samples() == 0 && triggerSet(scopeSession) &&
        scopeSession.samplesStored == 0) {
        endWorkerCapture(workerLink);
        scopeSession.sampleLength = 0;
        finishRecording(mainWindow);
    }
}

void endRecordingNow() {
    if (!running) {
        return;
    }
    // A block just starting clears Break: it is given again until the block ends.
    bool handedOver = false;
    for (auto waited = std::chrono::milliseconds{0}; !handedOver && waited < kCloseWait;
         waited += kBreakRepeat) {
        scopeSession.breakRequested = 1;
        handedOver = awaitHandover(workerLink, kBreakRepeat);
    }
    if (handedOver && acceptCaptureDone(workerLink)) {
        keepHandedOverBlock(*running);
    } else {
        endWorkerCapture(workerLink);
    }
    closeRecording(nullptr);
}
