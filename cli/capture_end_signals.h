#pragma once

#include <csignal>

// While one lives, Ctrl+C (SIGINT), SIGTERM and SIGHUP end the capture rather than the program:
// the handler sets scopeSession.breakRequested and notes the signal, and the capture keeps what
// it wrote so far.
class CaptureEndSignals {
public:
    CaptureEndSignals();
    ~CaptureEndSignals();
    CaptureEndSignals(const CaptureEndSignals&) = delete;
    CaptureEndSignals& operator=(const CaptureEndSignals&) = delete;

    // The first signal that came, 0 while none has.
    int received() const;

private:
    struct sigaction previous_[3]{};
};
