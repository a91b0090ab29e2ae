#include "cli/interrupt_break.h"

#include <atomic>
#include <cstdint>

#include "core/scope_session.h"
#include "scopefile/unfinished_outputs.h"

namespace {

// Only lock-free atomics may be touched from a signal handler.
static_assert(std::atomic<int32_t>::is_always_lock_free);
static_assert(std::atomic<int>::is_always_lock_free);

std::atomic<int> interrupts{0};
std::atomic<bool> secondEnds{false};

void onInterrupt(int signal) {
    scopeSession.breakRequested.store(1);
    if (interrupts.fetch_add(1) >= 1 && secondEnds.load()) {
        endBySignal(signal);
    }
}

}  // namespace

BreakOnInterrupt::BreakOnInterrupt(bool secondEndsProgram) {
    interrupts = 0;
    secondEnds = secondEndsProgram;
    struct sigaction action {};
    action.sa_handler = &onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &previous_);
}

BreakOnInterrupt::~BreakOnInterrupt() {
    sigaction(SIGINT, &previous_, nullptr);
}

int BreakOnInterrupt::count() const {
    return interrupts.load();
}
