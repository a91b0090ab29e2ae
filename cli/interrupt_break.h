#pragma once

#include <csignal>

// While one of these lives, Ctrl+C (SIGINT) acts as Break: the handler sets
// scopeSession.breakRequested and counts the interrupt; the main thread looks at the count.
class BreakOnInterrupt {
public:
    // With `secondEndsProgram` a second Ctrl+C ends the program at once, its unfinished files
    // removed, as SIGINT ends it: for a capture that blocks the main thread.
    explicit BreakOnInterrupt(bool secondEndsProgram);
    ~BreakOnInterrupt();
    BreakOnInterrupt(const BreakOnInterrupt&) = delete;
    BreakOnInterrupt& operator=(const BreakOnInterrupt&) = delete;

    // Ctrl+C presses since this began.
    int count() const;

private:
    struct sigaction previous_ {};
};
