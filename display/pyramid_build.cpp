#include "display/pyramid_build.h"

#include <algorithm>
#include <utility>

namespace {

// Samples taken in at a time between looks at the stop token: a few milliseconds' work.
constexpr uint32_t kStride = 1U << 20;

uint32_t percentOf(uint32_t part, uint32_t whole) {
    return whole == 0 ? 100 : static_cast<uint32_t>(uint64_t{part} * 100 / whole);
}

}  // namespace

void PyramidBuild::start(const uint8_t* samples, uint32_t length, uint64_t ticket, Notice notice) {
    cancel();
    ticket_ = ticket;
    length_ = length;
    summed_.store(0, std::memory_order_relaxed);
    thread_ = std::jthread([this, samples, notice = std::move(notice)](std::stop_token stop) {
        run(stop, samples, notice);
    });
}

void PyramidBuild::cancel() {
    if (thread_.joinable()) {
        thread_.request_stop();
        thread_.join();
    }
    const std::lock_guard lock(mutex_);
    done_.reset();
}

std::optional<LevelPyramid> PyramidBuild::take(uint64_t ticket) {
    if (!underWay(ticket)) {
        return std::nullopt;
    }
    std::optional<LevelPyramid> taken;
    {
        const std::lock_guard lock(mutex_);
        taken.swap(done_);
    }
    if (taken) {
        thread_.join();  // it has only the notice left to give
    }
    return taken;
}

void PyramidBuild::run(const std::stop_token& stop, const uint8_t* samples, const Notice& notice) {
    LevelPyramid pyramid;
    pyramid.reserveFor(length_);
    uint32_t percent = 0;
    while (pyramid.length() < length_) {
        if (stop.stop_requested()) {
            return;
        }
        pyramid.extend(samples, pyramid.length() + std::min(kStride, length_ - pyramid.length()));
        summed_.store(pyramid.length(), std::memory_order_relaxed);
        const uint32_t now = percentOf(pyramid.length(), length_);
        if (now != percent && now < 100 && notice) {
            notice();
        }
        percent = now;
    }
    {
        const std::lock_guard lock(mutex_);
        done_ = std::move(pyramid);
    }
    if (notice) {
        notice();
    }
}
