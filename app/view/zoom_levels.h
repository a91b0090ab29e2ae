#pragma once

#include <cstdint>

#include "core/view_state.h"

class WindowSystem;

// Zooms to `scale` with the view's left edge on sample `firstSample` as far as the scroll range
// allows; the range follows when the samples per column change. Repaints.
void showZoomLevel(WindowSystem& mainWindow, ViewScale scale, int64_t firstSample);

// View > Zoom to Fit: the whole recording (during a worker capture, what is stored so far) on the
// view's width, from its first sample.
void zoomToFit(WindowSystem& mainWindow);

// View > Time Axis: the traces against time and back, the same sample at the left edge. A
// recording without a time base has only the sample axis: a beep, and nothing changes.
void toggleTimeAxis(WindowSystem& mainWindow);

// View > Measure From Trigger: the ruler, the readout and the marker count from the recording's
// trigger point, or from the capture's first sample. Repaints; the choice stays for the
// recordings to come.
void toggleMeasureFromTrigger(WindowSystem& mainWindow);
