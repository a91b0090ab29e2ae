#include "cli/interrupt_break.h"

#include <atomic>
#include <cstdint>

#include "core/scope_session.h"

namespace {

// Only lock-free atomics may be touched from a signal handler.
static_assert(std::atomic<int32_t>::is_always_lock_free);
static_assert(std::atomic<int>::is_always_lock_free);

std::atomic<int> interrupts{0};

void onInterrupt(int) {
    scopeSession.breakRequested.store(1);
    interrupts.fetch_add(1);
}

}  // namespace

BreakOnInterrupt::BreakOnInterrupt(bool secondEndsProgram) {
    interrupts = 0;
    struct sigaction action {};
    action.sa_handler = &onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | (secondEndsProgram ? SA_RESETHAND : 0);
    sigaction(SIGINT, &action, &previous_);
}

BreakOnInterrupt::~BreakOnInterrupt() {
    sigaction(SIGINT, &previous_, nullptr);
}

int BreakOnInterrupt::count() const {
    return interrupts.load();
}
