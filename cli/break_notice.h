#pragma once

#include <atomic>
#include <string>

#include "cli/periodic_watch.h"

class BreakOnInterrupt;
class ConsoleOutput;

// While the fastest capture holds the main thread, says at once when Ctrl+C came that the
// capture cannot be broken, and how long it still takes: from the marks its time base has
// published so far, or that it still waits for its trigger.
class BreakNotice {
public:
    BreakNotice(ConsoleOutput& console, const BreakOnInterrupt& interrupts);

    // Ends the watch; true when the notice was given.
    bool stop();

private:
    bool look();

    ConsoleOutput& console_;
    const BreakOnInterrupt& interrupts_;
    std::atomic<bool> given_{false};
    PeriodicWatch watch_;  // last: it starts looking as it is made
};

// What the notice says of the session's fastest capture as it stands.
std::string fastestBreakText();
