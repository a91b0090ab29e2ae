#pragma once

#include <cstdint>

#include "capture/status_port.h"

class TimeBase;
class WindowSystem;

// New Sample, first half: drops the document and puts the view at its start. A capture the
// worker is running is ended first, so that its buffer is never released under it.
void resetDocument(WindowSystem& mainWindow);

// Opens the port that portNumber chooses for the capture about to start, trying again one that
// could not be opened before, and shows what it reports.
PortReadiness openChosenPort(WindowSystem& mainWindow);

enum class CaptureStart {
    Finished,       // the fastest capture is done
    TriggerGaveUp,  // the fastest capture is done, but its trigger did not come in time
    OnWorker,       // the worker captures; CAPTURE_DONE follows
    NoBuffer,       // "Out of Memory." was shown and nothing was captured
};

enum class CaptureLoop {
    BySpeed,  // the fastest speed on the caller's thread, the others on the worker
    Worker,   // every speed on the worker, the fastest without a delay
};

// New Sample, second half: obtains the buffer and runs the capture the speed asks for; the
// fastest one finishes here, a worker capture when CAPTURE_DONE arrives.
CaptureStart startCapture(WindowSystem& mainWindow, CaptureLoop loop = CaptureLoop::BySpeed);

// The completion steps: zoom 1, the view at the first sample, drawn, what the port reported
// during the capture (reads that failed), and the too-slow test.
void finishCapture(WindowSystem& mainWindow);
// The same after a worker capture, but a view the user moved while it ran keeps its zoom and
// place.
void finishWorkerCapture(WindowSystem& mainWindow);

// Shows "Too Slow" when the data holds a level that lasted only one or two samples.
void checkSampleRate(WindowSystem& mainWindow);

// The too-slow rule on its own: a run of equal bytes, other than the first and the one still
// under way at the end, that is one or two samples long. With `timeBase` (whose sample numbers
// are `origin` more than the indexes here) a run where the sampling may have stood still (a gap,
// or a block that lost a sample's time) does not count: the signal may have changed unseen.
bool samplingTooSlow(const uint8_t* samples, uint32_t length, const TimeBase* timeBase = nullptr,
                     uint32_t origin = 0);

// Ends a capture the worker is running, if any, without handing it over; afterwards the main
// thread owns sampleData again.
void endRunningCapture();
