#pragma once

#include "app/view/trace_pointer.h"

class WindowSystem;

// A left click on the trace view: the marker goes to the sample under the pointer and the view is
// repainted; where no sample is drawn nothing changes.
void placeMarker(WindowSystem& mainWindow, const TracePointer& pointer);

// Esc, a right click and the cuts: removes the marker and repaints; without one, does nothing.
void clearMarker(WindowSystem& mainWindow);
