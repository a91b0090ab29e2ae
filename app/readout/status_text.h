#pragma once

#include <string>

#include "app/view/live_view.h"

// The status line under the buttons. During a worker capture: how many samples are stored of the
// buffer's size and how long the capture has run, as of `now`. Otherwise the recording: its file
// (or "Untitled"), its samples and, from its time base, the sample rate, how long it lasted and
// its gaps (how many, the time they lost, the longest; planned pauses counted apart); for a
// capture, the priority its loop ran at. While a large recording is summed up for the drawing,
// how far that is.
std::string statusText(LiveClock::time_point now);
