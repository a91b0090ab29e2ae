#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/view/live_view.h"

// A recording to a file under way, as the status line tells it; set by the recording as each
// block is written.
struct RecordingProgress {
    std::string fileName;      // without its folder; empty: no recording runs
    uint64_t keptSamples = 0;  // in the file so far
    double hertz = 0;          // their typical rate; 0 before any was timed
    size_t gaps = 0;
    uint64_t bytes = 0;  // the file's size
    LiveClock::time_point start{};
};

RecordingProgress& recordingProgress();

// "Recording to run.sr: 1203456 samples at 1.000 MHz, 0 gaps, 1.2 MB, 1.20 s":
// the samples in the file and `underWay` more of the block being captured, as of `now`.
std::string recordingStatusText(const RecordingProgress& progress, uint32_t underWay,
                                LiveClock::time_point now);
