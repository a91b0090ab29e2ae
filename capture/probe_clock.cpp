#include "capture/probe_clock.h"

#include <time.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <limits>

namespace {

// The cheapest of a few rounds, so that a preemption during one does not count.
uint64_t measureReadCost(ProbeClock& clock) {
    constexpr int kRounds = 5;
    constexpr uint64_t kReadsPerRound = 200;
    uint64_t cheapest = std::numeric_limits<uint64_t>::max();
    for (int round = 0; round < kRounds; ++round) {
        const uint64_t start = clock.nowNanoseconds();
        uint64_t last = start;
        for (uint64_t i = 0; i < kReadsPerRound; ++i) {
            last = clock.nowNanoseconds();
        }
        cheapest = std::min(cheapest, (last - start) / kReadsPerRound);
    }
    return std::max<uint64_t>(cheapest, 1);
}

}  // namespace

uint64_t SteadyProbeClock::nowNanoseconds() {
    const auto sinceEpoch = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count());
}

void SteadyProbeClock::waitUntil(uint64_t nanoseconds) {
    while (nowNanoseconds() < nanoseconds) {
    }
}

void SteadyProbeClock::pauseFor(uint64_t nanoseconds) {
    constexpr uint64_t kPerSecond = 1'000'000'000;
    timespec left{static_cast<time_t>(nanoseconds / kPerSecond),
                  static_cast<long>(nanoseconds % kPerSecond)};
    while (clock_nanosleep(CLOCK_MONOTONIC, 0, &left, &left) == EINTR) {
    }
}

uint64_t SteadyProbeClock::readCostNanoseconds() {
    static const uint64_t cost = measureReadCost(*this);
    return cost;
}

void VirtualProbeClock::waitUntil(uint64_t nanoseconds) {
    uint64_t now = now_.load();
    while (now < nanoseconds && !now_.compare_exchange_weak(now, nanoseconds)) {
    }
}

ProbeClock& machineClock() {
    static SteadyProbeClock clock;
    return clock;
}
