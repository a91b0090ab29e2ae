#pragma once

#include "app/window/main_window_proc.h"
#include "capture/sampling_worker.h"
#include "core/scope_session.h"
#include "tests/support/recording_window_system.h"

// The main window on the recording window system, started as the program starts it (its first
// New Sample taken from `ports`) and closed as the program closes it; the test pumps the queue
// as the main thread's loop would.
class RunningMainWindow {
public:
    explicit RunningMainWindow(PortAccess& ports) {
        resetScopeSession();
        ws.handler = [this](const WindowMessage& m) { return mainWindowProc(ws, m).answer; };
        workerLink.ports = &ports;
        mainWindowProc(ws, WindowMessage{MSG_INITDIALOG, 0, 0});
        ws.pumpMessages();
    }
    ~RunningMainWindow() {
        mainWindowProc(ws, WindowMessage{MSG_DESTROY, 0, 0});
        workerLink.ports = nullptr;
        resetScopeSession();
    }
    RunningMainWindow(const RunningMainWindow&) = delete;
    RunningMainWindow& operator=(const RunningMainWindow&) = delete;

    RecordingWindowSystem ws;
};
