#pragma once

#include <cstdint>

#include "core/window_system.h"

struct MessageResult {
    bool handled = false;  // false: the window system's default handling applies
    intptr_t answer = 0;
};

// The main window's one entry for the program's messages. For MSG_CLOSE it answers "not
// handled", and the default handling destroys the window (which then sends MSG_DESTROY).
MessageResult mainWindowProc(WindowSystem& mainWindow, const WindowMessage& message);

// Start-up of the window: starts the sampling worker (workerLink.ports must be set) and queues
// the first New Sample. Shutdown: stops the worker without hanging, then releases the samples.
void initMainWindow(WindowSystem& mainWindow);
void shutdownMainWindow(WindowSystem& mainWindow);
