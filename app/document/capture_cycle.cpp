#include "app/document/capture_cycle.h"

#include <string>

#include "app/view/live_view.h"
#include "app/view/navigation.h"
#include "app/view/view_scroll.h"
#include "capture/sampler.h"
#include "capture/sampling_worker.h"
#include "capture/status_port.h"
#include "core/message_box.h"
#include "core/scope_session.h"
#include "core/window_system.h"
#include "display/trace_view.h"
#include "resources/command_ids.h"
#include "resources/string_table.h"

void endRunningCapture() {
    if (scopeSession.workerCapturing) {
        endWorkerCapture(workerLink);
    }
}

void resetDocument(WindowSystem& mainWindow) {
    ScopeSession& session = scopeSession;
    endRunningCapture();
    session.documentTitle = loadString(IDS_NEW_DOCUMENT_TITLE);
    session.documentPath.clear();
    releaseSampleData();
    resetRecordingDetails();
    session.view.viewStart = 0;
    session.sampleLength = 0;
    mainWindow.setScrollRange(0, 1, false);
    handleScroll(mainWindow, SCROLL_LEFT, 0);
}

namespace {

void showPortReports(WindowSystem& mainWindow) {
    for (const std::string& report : workerLink.ports->takeReports()) {
        showWarning(mainWindow, report);
    }
}

}  // namespace

// Opens the chosen port now, so that a port that cannot be used is reported before sampling.
PortReadiness openChosenPort(WindowSystem& mainWindow) {
    PortReadiness readiness = workerLink.ports->prepareForCapture(scopeSession.portNumber);
    showPortReports(mainWindow);
    return readiness;
}

CaptureStart startCapture(WindowSystem& mainWindow, CaptureLoop loop) {
    ScopeSession& session = scopeSession;
    uint8_t* buffer = obtainSampleBuffer(static_cast<size_t>(session.captureSize));
    if (buffer == nullptr) {
        session.sampleLength = 0;
        showMessage(mainWindow, IDS_OUT_OF_MEMORY);
        return CaptureStart::NoBuffer;
    }
    // The port report comes while the session holds no data: its box's own event loop paints the
    // view, and a save could run in it, neither of which may see a buffer not yet filled.
    openChosenPort(mainWindow);
    session.sampleLength = static_cast<uint32_t>(session.captureSize);
    session.sampleData = buffer;
    session.breakRequested = 0;
    if (session.delayUnits == 0 && loop == CaptureLoop::BySpeed) {
        const bool triggered = captureInline(*workerLink.ports);
        finishCapture(mainWindow);
        return triggered ? CaptureStart::Finished : CaptureStart::TriggerGaveUp;
    }
    workerLink.delayUnits = session.delayUnits;
    session.samplesStored = 0;
    session.workerCapturing = true;
    startLiveView(LiveClock::now());
    signalWake(workerLink);
    // From now on the view shows the samples stored so far.
    refreshTraceView(mainWindow);
    return CaptureStart::OnWorker;
}

namespace {

void completeCapture(WindowSystem& mainWindow) {
    refreshTraceView(mainWindow);
    // Reads that failed are told with the capture they spoiled, not with the next one.
    if (workerLink.ports != nullptr) {
        showPortReports(mainWindow);
    }
    checkSampleRate(mainWindow);
}

}  // namespace

void finishCapture(WindowSystem& mainWindow) {
    scopeSession.view.scale = ViewScale{};
    showTraceRange(mainWindow);
    completeCapture(mainWindow);
}

void finishWorkerCapture(WindowSystem& mainWindow) {
    if (!liveViewMoved()) {
        finishCapture(mainWindow);
        return;
    }
    // The user moved the view while it ran: it stays where they put it.
    setScrollRangeFor(mainWindow, scopeSession.sampleLength, false);
    scrollViewTo(mainWindow, scopeSession.view.viewStart);
    completeCapture(mainWindow);
}

bool samplingTooSlow(const uint8_t* samples, uint32_t length, const TimeBase* timeBase,
                     uint32_t origin) {
    if (samples == nullptr || length == 0) {
        return false;
    }
    uint8_t previous = samples[0];
    uint32_t run = 0;
    bool firstRun = true;
    for (uint32_t i = 0; i < length; ++i) {
        if (samples[i] == previous) {
            ++run;
            continue;
        }
        // A run that a stall cut short says nothing about the signal.
        if (!firstRun && run <= 2 &&
            !(timeBase != nullptr && timeBase->stoodStillNear(origin + i - run, origin + i - 1))) {
            return true;
        }
        firstRun = false;
        previous = samples[i];
        run = 1;
    }
    return false;
}

void checkSampleRate(WindowSystem& mainWindow) {
    if (hasSampleData(scopeSession) &&
        samplingTooSlow(scopeSession.sampleData, scopeSession.sampleLength, &scopeSession.timeBase,
                        scopeSession.sampleOrigin)) {
        mainWindow.runDialog(IDD_TOO_SLOW);
    }
}
