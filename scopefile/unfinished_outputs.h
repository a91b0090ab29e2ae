#pragma once

#include <signal.h>

#include <string>

// Files being written that are not in place yet (the temporaries of the outputs), so that a
// signal that ends the program removes them rather than leave them behind. The signal handler
// reads this list, so it is a fixed table of names relative to open folders.

// Adds `name` in `folder`; the entry to forget it by, or -1 when the table is full.
int rememberUnfinished(int folder, const std::string& name);
void forgetUnfinished(int entry);

// Removes every file in the list. Safe in a signal handler.
void removeUnfinishedOutputs();

// Removes the unfinished outputs, then ends the program as `signal` ends it by default, so that
// the shell sees 128 + signal. Safe in a signal handler.
[[noreturn]] void endBySignal(int signal);

// From now on every signal that would end the program from outside (SIGINT, SIGTERM, SIGHUP,
// SIGQUIT, SIGUSR1, SIGALRM, SIGPIPE, the real-time ones, ...) ends it through endBySignal; one
// the caller ignores (nohup) stays ignored.
void endCleanlyOnSignals();

// While one lives, those signals wait for the calling thread: a file being rewritten in place is
// finished before a signal ends the program.
class EndingSignalsHeld {
public:
    EndingSignalsHeld();
    ~EndingSignalsHeld();
    EndingSignalsHeld(const EndingSignalsHeld&) = delete;
    EndingSignalsHeld& operator=(const EndingSignalsHeld&) = delete;

private:
    sigset_t previous_{};
};
