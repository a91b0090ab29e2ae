#pragma once

#include <chrono>

class WindowSystem;

using LiveClock = std::chrono::steady_clock;

// A worker capture starts at `now`: the view follows the newest samples.
void startLiveView(LiveClock::time_point now);

// A few times a second during a worker capture: the scroll range grows with the samples stored,
// the view keeps to its end while it follows, and the view is repainted. Nothing otherwise.
void followLiveCapture(WindowSystem& mainWindow);

// Whether the user moved the view during the capture: scrolled away from the newest samples, or
// zoomed.
bool liveViewMoved();

// Seconds since the capture started, as of `now`.
double liveSeconds(LiveClock::time_point now);
