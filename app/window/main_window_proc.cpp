#include "app/window/main_window_proc.h"

#include "app/decoding/desktop_decoding.h"
#include "app/document/capture_cycle.h"
#include "app/document/desktop_recording.h"
#include "app/document/file_commands.h"
#include "app/view/live_view.h"
#include "app/view/navigation.h"
#include "app/view/sample_jump.h"
#include "app/window/commands.h"
#include "capture/sampling_worker.h"
#include "core/scope_session.h"
#include "display/session_pyramid.h"
#include "resources/command_ids.h"

std::string startupFilePath;

namespace {

MessageResult handled(intptr_t answer = 0) {
    return MessageResult{true, answer};
}

// A worker capture ends here; the worker waits in its hand-over until the beep has sounded.
void onCaptureDone(WindowSystem& mainWindow) {
    if (recordingRuns()) {
        takeRecordedBlock(mainWindow);
        return;
    }
    if (!acceptCaptureDone(workerLink)) {
        return;  // a capture that New Sample, Open or shutdown has already ended
    }
    finishWorkerCapture(mainWindow);
    mainWindow.beep();
    completeCaptureDone(workerLink);
}

}  // namespace

MessageResult mainWindowProc(WindowSystem& mainWindow, const WindowMessage& message) {
    switch (message.id) {
        case MSG_INITDIALOG:
            initMainWindow(mainWindow);
            return handled(1);
        case MSG_COMMAND:
            dispatchCommand(mainWindow, static_cast<int>(message.code & 0xFFFF));
            keepDecodingCurrent(mainWindow);
            return handled();
        case MSG_HSCROLL:
            handleScroll(mainWindow, static_cast<int>(message.code), message.position);
            return handled();
        case MSG_TIMER:
            followLiveCapture(mainWindow);
            return handled();
        case CAPTURE_DONE:
            onCaptureDone(mainWindow);
            keepDecodingCurrent(mainWindow);
            return handled();
        case DECODE_DONE:
            takeDecodeResults(mainWindow);
            return handled();
        case DECODER_STACK:
            actOnDecoderStack(mainWindow, static_cast<StackAction>(message.code),
                              static_cast<size_t>(message.position));
            return handled();
        case SHOW_SAMPLE:
            markAndShowSample(mainWindow, static_cast<uint32_t>(message.position));
            return handled();
        case SUMMING_UP:
            mainWindow.refreshTraceView();
            return handled();
        case OPEN_STARTUP_FILE:
            openDocumentFile(mainWindow, startupFilePath);
            keepDecodingCurrent(mainWindow);
            return handled();
        case MSG_QUERYENDSESSION:
            return handled(confirmSessionEnd(mainWindow) ? 1 : 0);
        case MSG_DESTROY:
            shutdownMainWindow(mainWindow);
            return handled();
        default:
            return MessageResult{};
    }
}

void initMainWindow(WindowSystem& mainWindow) {
    workerLink.mainWindow = &mainWindow;
    workerLink.delayUnits = 0;
    startSamplingWorker(workerLink);
    // Runs on the summing up's thread: only the thread-safe post reaches the window.
    setSummingUpNotice([&mainWindow] { mainWindow.postMessage(WindowMessage{SUMMING_UP, 0, 0}); });
    mainWindow.postMessage(startupFilePath.empty() ? commandMessage(CMD_NEW_SAMPLE)
                                                   : WindowMessage{OPEN_STARTUP_FILE, 0, 0});
}

void shutdownMainWindow(WindowSystem&) {
    // Stopping the worker ends a capture or a trigger wait at once and joins the thread, so the
    // samples are released only when nothing writes into them any more. A recording keeps the
    // block under way.
    endRecordingNow();
    stopSamplingWorker(workerLink);
    stopDecoding();
    releaseSampleData();
    setSummingUpNotice({});
}
