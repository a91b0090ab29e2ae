#pragma once

#include <chrono>
#include <cstdint>

struct ScrollRange;
class WindowSystem;

using LiveClock = std::chrono::steady_clock;

// A worker capture starts at `now`: the view follows the newest samples.
void startLiveView(LiveClock::time_point now);

// Every scroll action ends here with the position it chose in `range`. During a worker capture, a
// position short of the range's end means the user looks elsewhere: the view stops following; the
// end takes the following up again.
void noteScrolledTo(int64_t position, const ScrollRange& range);
bool liveViewFollows();

// A few times a second during a worker capture: the scroll range grows with the samples stored,
// the view keeps to its end while it follows, and the view is repainted. Nothing otherwise.
void followLiveCapture(WindowSystem& mainWindow);

// Seconds since the capture started, as of `now`.
double liveSeconds(LiveClock::time_point now);
