#pragma once

#include <cstdint>
#include <string>

#include "core/window_system.h"

struct MessageResult {
    bool handled = false;  // false: the window system's default handling applies
    intptr_t answer = 0;
};

// The main window's one entry for the program's messages. For MSG_CLOSE it answers "not
// handled", and the default handling destroys the window (which then sends MSG_DESTROY).
MessageResult mainWindowProc(WindowSystem& mainWindow, const WindowMessage& message);

// A scope file named on the command line, set before the window is created: start-up opens it
// instead of taking the first capture. Empty for none.
extern std::string startupFilePath;

// Start-up of the window: starts the sampling worker (workerLink.ports must be set) and queues
// the first New Sample, or the opening of the start-up file. Shutdown: stops the worker without
// hanging, then releases the samples.
void initMainWindow(WindowSystem& mainWindow);
void shutdownMainWindow(WindowSystem& mainWindow);
