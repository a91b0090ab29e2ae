#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>

#include "display/level_pyramid.h"

// A pyramid summed up on a thread of its own, into a fresh object that the main thread takes over
// whole once it is done, so that nothing the drawing reads is ever written beside it. Every
// member function is for the main thread, which also keeps the samples unchanged until the build
// is taken or cancelled.
class PyramidBuild {
public:
    // Called on the build's thread whenever a further percent is summed up, and once when done.
    using Notice = std::function<void()>;

    // Cancels any build under way, then sums up `samples` [0, length) for `ticket`.
    void start(const uint8_t* samples, uint32_t length, uint64_t ticket, Notice notice);
    // Stops the build under way and waits for its thread; what it had done is dropped.
    void cancel();

    // Whether a build for `ticket` was started and not yet taken or cancelled.
    bool underWay(uint64_t ticket) const { return thread_.joinable() && ticket_ == ticket; }
    uint32_t length() const { return length_; }
    // Samples summed up so far, never falling during one build.
    uint32_t summed() const { return summed_.load(std::memory_order_relaxed); }

    // The finished pyramid when the build for `ticket` is done; nothing while it runs, or for
    // another ticket.
    std::optional<LevelPyramid> take(uint64_t ticket);

private:
    void run(const std::stop_token& stop, const uint8_t* samples, const Notice& notice);

    uint64_t ticket_ = 0;
    uint32_t length_ = 0;
    std::atomic<uint32_t> summed_{0};
    std::mutex mutex_;
    std::optional<LevelPyramid> done_;  // under mutex_
    std::jthread thread_;               // last, so that it ends before the rest goes
};
