#include "cli/progress_ticker.h"

#include <cstdio>

#include "cli/console_output.h"

namespace {

constexpr std::chrono::seconds kQuietTime{1};
constexpr std::chrono::milliseconds kTick{100};

}  // namespace

ProgressTicker::ProgressTicker(ConsoleOutput& console, bool enabled, std::string label)
    : console_(console), label_(std::move(label)), start_(std::chrono::steady_clock::now()) {
    if (enabled) {
        thread_ = std::thread([this] { run(); });
    }
}

ProgressTicker::~ProgressTicker() {
    stop();
}

void ProgressTicker::stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stopped_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void ProgressTicker::run() {
    std::unique_lock lock(mutex_);
    auto next = start_ + kQuietTime;
    while (!stopped_.wait_until(lock, next, [this] { return stopping_; })) {
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start_;
        char text[160];
        std::snprintf(text, sizeof text, "%s... %.1f s", label_.c_str(), elapsed.count());
        console_.progress(text);
        next += kTick;
    }
    console_.clearProgress();
}
