#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "cli/periodic_watch.h"

class ConsoleOutput;

// Once a capture has run for a second, shows "LABEL... 2.4 s" on standard error and keeps it
// current until stopped; then wipes it. Runs on a thread of its own, because the fastest capture
// keeps the main thread busy. Does nothing when not enabled (standard error is no terminal).
class ProgressTicker {
public:
    ProgressTicker(ConsoleOutput& console, bool enabled, std::string label);
    ~ProgressTicker();
    ProgressTicker(const ProgressTicker&) = delete;
    ProgressTicker& operator=(const ProgressTicker&) = delete;

    void stop();

private:
    void show();

    ConsoleOutput& console_;
    const std::string label_;
    const std::chrono::steady_clock::time_point start_;
    std::unique_ptr<PeriodicWatch> watch_;
};
