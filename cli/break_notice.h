#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class BreakOnInterrupt;
class ConsoleOutput;

// While the fastest capture holds the main thread, says at once when Ctrl+C came that the
// capture cannot be broken, and how long it still takes: from the marks its time base has
// published so far, or that it still waits for its trigger.
class BreakNotice {
public:
    BreakNotice(ConsoleOutput& console, const BreakOnInterrupt& interrupts);
    ~BreakNotice();
    BreakNotice(const BreakNotice&) = delete;
    BreakNotice& operator=(const BreakNotice&) = delete;

    // Ends the watch; true when the notice was given.
    bool stop();

private:
    void watch();

    ConsoleOutput& console_;
    const BreakOnInterrupt& interrupts_;
    std::mutex mutex_;
    std::condition_variable stopped_;
    bool stopping_ = false;
    bool given_ = false;
    std::thread thread_;
};

// What the notice says of the session's fastest capture as it stands.
std::string fastestBreakText();
