#include "capture/simulated_probe.h"

#include <string_view>

#include "core/scope_session.h"

namespace {

constexpr uint64_t kMicrosecond = 1000;

constexpr uint64_t kClockPeriod = 100 * kMicrosecond;

// Text, framing and PWM change together on one grid of 100 µs slots that sits 25 µs after the
// clock's edges, so that they never come near a clock edge.
constexpr uint64_t kSlot = 100 * kMicrosecond;
constexpr uint64_t kSlotOffset = 25 * kMicrosecond;

constexpr std::string_view kMessage = "Pinprobe";
constexpr uint64_t kBitsPerFrame = 10;  // start, eight data bits from the lowest, stop
constexpr uint64_t kMessageBits = kMessage.size() * kBitsPerFrame;
constexpr uint64_t kMessageRepeatSlots = 100;  // a message every 10 ms
// The framing line leads and lags the text by one slot.
constexpr uint64_t kFramedSlots = kMessageBits + 2;

constexpr uint64_t kPwmPeriodSlots = 10;
constexpr uint64_t kPwmPeriodsPerDutyStep = 2;
constexpr uint64_t kDutySteps = 16;  // 1..9 tenths high, up and back down

// The bursts sit between the clock's falling edge at 50 µs and its rising edge at 100 µs.
constexpr uint64_t kBurstPeriod = 1000 * kMicrosecond;
constexpr uint64_t kBurstStart = 60 * kMicrosecond;
constexpr uint64_t kBurstPulse = 5 * kMicrosecond;
constexpr uint64_t kBurstPulses = 3;

constexpr uint8_t kUnusedBits = 0x07;

uint64_t slotAt(uint64_t timeNs) {
    return (timeNs + kSlot - kSlotOffset) / kSlot;
}

bool serialLevel(uint64_t timeNs) {
    const uint64_t slot = slotAt(timeNs) % kMessageRepeatSlots;
    if (slot < 1 || slot > kMessageBits) {
        return true;
    }
    const uint64_t bit = slot - 1;
    const uint64_t bitInFrame = bit % kBitsPerFrame;
    if (bitInFrame == 0 || bitInFrame == kBitsPerFrame - 1) {
        return bitInFrame != 0;
    }
    const auto character = static_cast<uint8_t>(kMessage[bit / kBitsPerFrame]);
    return ((character >> (bitInFrame - 1)) & 1) != 0;
}

bool pwmLevel(uint64_t timeNs) {
    const uint64_t slot = slotAt(timeNs);
    const uint64_t step = (slot / kPwmPeriodSlots / kPwmPeriodsPerDutyStep) % kDutySteps;
    const uint64_t dutySlots = 1 + (step <= kDutySteps / 2 ? step : kDutySteps - step);
    return slot % kPwmPeriodSlots < dutySlots;
}

bool burstLevel(uint64_t timeNs) {
    const uint64_t inPeriod = timeNs % kBurstPeriod;
    if (inPeriod < kBurstStart || inPeriod >= kBurstStart + (2 * kBurstPulses - 1) * kBurstPulse) {
        return false;
    }
    return (inPeriod - kBurstStart) / kBurstPulse % 2 == 0;
}

}  // namespace

bool signalLevel(ProbeSignal signal, uint64_t timeNs) {
    switch (signal) {
        case ProbeSignal::Clock:
            return timeNs % kClockPeriod < kClockPeriod / 2;
        case ProbeSignal::SerialText:
            return serialLevel(timeNs);
        case ProbeSignal::Framing:
            return slotAt(timeNs) % kMessageRepeatSlots >= kFramedSlots;
        case ProbeSignal::Pwm:
            return pwmLevel(timeNs);
        case ProbeSignal::Bursts:
            return burstLevel(timeNs);
    }
    return false;
}

uint8_t levelsAt(uint64_t timeNs) {
    constexpr ProbeSignal kByChannel[kChannelCount] = {ProbeSignal::Clock, ProbeSignal::SerialText,
                                                       ProbeSignal::Framing, ProbeSignal::Pwm,
                                                       ProbeSignal::Bursts};
    uint8_t levels = kUnusedBits;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        if (signalLevel(kByChannel[channel], timeNs)) {
            levels |= kChannelBits[channel];
        }
    }
    return levels;
}

SimulatedProbe::ProbePort::ProbePort(ProbeClock& clock)
    : clock_(clock), epoch_(clock.nowNanoseconds()) {}

uint8_t SimulatedProbe::ProbePort::read() {
    const uint64_t start = clock_.nowNanoseconds();
    clock_.waitUntil(start + kProbeReadNanoseconds);
    return levelsAt(start - epoch_);
}

SimulatedProbe::SimulatedProbe(ProbeClock& clock) : clock_(clock), port_(clock) {}

StatusPort& SimulatedProbe::port(uint8_t) {
    return port_;
}
