#include "cli/capture_end_signals.h"

#include <atomic>

#include "core/scope_session.h"

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

static_assert(std::atomic<int>::is_always_lock_free);
std::atomic<int> firstSignal{0};

void onEndingSignal(int signal) {
    int none = 0;
    firstSignal.compare_exchange_strong(none, signal);
    scopeSession.breakRequested.store(1);
}

}  // namespace

CaptureEndSignals::CaptureEndSignals() {
    firstSignal = 0;
    struct sigaction action {};
    action.sa_handler = &onEndingSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(kSignals); ++i) {
        sigaction(kSignals[i], nullptr, &previous_[i]);
        // One the caller ignores (nohup) stays ignored.
        if (previous_[i].sa_handler != SIG_IGN) {
            sigaction(kSignals[i], &action, nullptr);
        }
    }
}

CaptureEndSignals::~CaptureEndSignals() {
    for (size_t i = 0; i < std::size(kSignals); ++i) {
        sigaction(kSignals[i], &previous_[i], nullptr);
    }
}

int CaptureEndSignals::received() const {
    return firstSignal.load();
}
