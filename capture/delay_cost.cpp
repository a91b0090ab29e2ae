#include "capture/delay_cost.h"

#include <chrono>

#include "capture/sampler.h"

namespace {

double measureDelayUnit() {
    constexpr int32_t kUnits = 100'000;
    const auto start = std::chrono::steady_clock::now();
    spendBusyDelay(kUnits * kMultiplicationsPerDelayUnit);
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / kUnits;
}

}  // namespace

double delayUnitSeconds() {
    static const double seconds = measureDelayUnit();
    return seconds;
}
