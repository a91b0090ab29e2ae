#include "scopefile/unfinished_outputs.h"

#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstring>

namespace {

constexpr int kFree = -1;
constexpr int kBeingFilled = -2;
// The signals whose default is to end the program and that come from outside it (kill, the
// terminal, a timer, a limit), beside the real-time ones; the program's own faults (SIGSEGV,
// SIGABRT, ...) keep their default.
constexpr std::array kEndingSignals{SIGHUP,  SIGINT,  SIGQUIT, SIGTERM,   SIGUSR1,
                                    SIGUSR2, SIGALRM, SIGPIPE, SIGVTALRM, SIGPROF,
                                    SIGXCPU, SIGXFSZ, SIGIO,   SIGPWR,    SIGSTKFLT};

// An entry is published by storing its folder last, so that the handler never sees half a name.
struct Unfinished {
    std::atomic<int> folder{kFree};
    char name[NAME_MAX + 1] = {};
};
static_assert(std::atomic<int>::is_always_lock_free);

std::array<Unfinished, 16> unfinished;

void onEndingSignal(int signal) {
    endBySignal(signal);
}

sigset_t endingSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kEndingSignals) {
        sigaddset(&set, signal);
    }
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) {
        sigaddset(&set, signal);
    }
    return set;
}

}  // namespace

int rememberUnfinished(int folder, const std::string& name) {
    if (name.size() > NAME_MAX) {
        return -1;
    }
    for (size_t entry = 0; entry < unfinished.size(); ++entry) {
        int expected = kFree;
        if (unfinished[entry].folder.compare_exchange_strong(expected, kBeingFilled)) {
            std::memcpy(unfinished[entry].name, name.c_str(), name.size() + 1);
            unfinished[entry].folder.store(folder);
            return static_cast<int>(entry);
        }
    }
    return -1;
}

void forgetUnfinished(int entry) {
    if (entry >= 0 && static_cast<size_t>(entry) < unfinished.size()) {
        unfinished[static_cast<size_t>(entry)].folder.store(kFree);
    }
}

void removeUnfinishedOutputs() {
    for (Unfinished& entry : unfinished) {
        const int folder = entry.folder.load();
        if (folder >= 0) {
            unlinkat(folder, entry.name, 0);
        }
    }
}

void endBySignal(int signal) {
    removeUnfinishedOutputs();
    struct sigaction fallBack {};
    fallBack.sa_handler = SIG_DFL;
    sigemptyset(&fallBack.sa_mask);
    sigaction(signal, &fallBack, nullptr);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    // In its own handler the signal is blocked; let it through now that it ends the program.
    sigprocmask(SIG_UNBLOCK, &only, nullptr);
    raise(signal);
    _exit(128 + signal);  // only if the default action did not end the program
}

void endCleanlyOnSignals() {
    struct sigaction action {};
    action.sa_handler = &onEndingSignal;
    // One ending signal at a time: a second one waits while the first one's handler cleans up.
    action.sa_mask = endingSignals();
    action.sa_flags = SA_RESTART;
    for (int signal = 1; signal < NSIG; ++signal) {
        struct sigaction current {};
        // A signal the caller ignores (nohup, a background job) stays ignored.
        if (sigismember(&action.sa_mask, signal) == 1 &&
            sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) {
            sigaction(signal, &action, nullptr);
        }
    }
}

EndingSignalsHeld::EndingSignalsHeld() {
    const sigset_t held = endingSignals();
    pthread_sigmask(SIG_BLOCK, &held, &previous_);
}

EndingSignalsHeld::~EndingSignalsHeld() {
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}
