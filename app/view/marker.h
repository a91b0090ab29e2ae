#pragma once

#include "app/view/trace_pointer.h"

class WindowSystem;

// A left click on the trace view: the marker goes to the sample under the pointer and the view is
// repainted; where no sample is drawn nothing changes.
void placeMarker(WindowSystem& mainWindow, const TracePointer& pointer);

// Shift+click or a middle click: the second marker goes to the sample under the pointer, and the
// span from the marker to it is measured; where no sample is drawn nothing changes.
void placeSecondMarker(WindowSystem& mainWindow, const TracePointer& pointer);

// The keyboard's way to a span: the second marker drops where the marker stands, so that the
// edge keys, moving the marker on, open the span. Without a marker, does nothing.
void dropSecondMarker(WindowSystem& mainWindow);

// Esc, a right click and the cuts: removes both markers and repaints; without one, does nothing.
void clearMarker(WindowSystem& mainWindow);
