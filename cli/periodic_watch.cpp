#include "cli/periodic_watch.h"

PeriodicWatch::PeriodicWatch(std::chrono::milliseconds first, std::chrono::milliseconds period,
                             std::function<bool()> look)
    : look_(std::move(look)), thread_([this, first, period] { run(first, period); }) {}

PeriodicWatch::~PeriodicWatch() {
    stop();
}

void PeriodicWatch::stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stopped_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void PeriodicWatch::run(std::chrono::milliseconds first, std::chrono::milliseconds period) {
    std::unique_lock lock(mutex_);
    auto next = std::chrono::steady_clock::now() + first;
    while (!stopped_.wait_until(lock, next, [this] { return stopping_; })) {
        if (!look_()) {
            return;
        }
        next += period;
    }
}
