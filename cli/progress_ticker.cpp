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
        watch_ = std::make_unique<PeriodicWatch>(kQuietTime, kTick, [this] {
            show();
            return true;
        });
    }
}

ProgressTicker::~ProgressTicker() {
    stop();
}

void ProgressTicker::stop() {
    if (watch_ != nullptr) {
        watch_->stop();
        watch_.reset();
        console_.clearProgress();
    }
}

void ProgressTicker::show() {
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start_;
    char text[160];
    std::snprintf(text, sizeof text, "%s... %.1f s", label_.c_str(), elapsed.count());
    console_.progress(text);
}
