#include "tests/support/protocol_signals.h"

#include <algorithm>

#include "core/scope_session.h"

namespace {

constexpr uint32_t kIdleSamples = 200;

}  // namespace

PinRecording::PinRecording() {
    for (int channel = 1; channel <= 5; ++channel) {
        set(channel, true);
    }
}

void PinRecording::set(int channel, bool high) {
    const auto bit = static_cast<uint8_t>(1u << (channel - 1));
    pins_ = high ? static_cast<uint8_t>(pins_ | bit) : static_cast<uint8_t>(pins_ & ~bit);
}

void PinRecording::hold(uint32_t samples) {
    // The port inverts Busy (channel 5, bit 7).
    const auto reg = static_cast<char>(((pins_ << 3) ^ 0x80) | 0x07);
    samples_.append(samples, reg);
}

std::string uartRecording(const std::string& text, uint32_t samplesPerBit, int channel) {
    PinRecording recording;
    recording.hold(kIdleSamples);
    for (const char c : text) {
        recording.set(channel, false);
        recording.hold(samplesPerBit);
        for (int bit = 0; bit < 8; ++bit) {
            recording.set(channel, ((static_cast<uint8_t>(c) >> bit) & 1) != 0);
            recording.hold(samplesPerBit);
        }
        recording.set(channel, true);
        recording.hold(2 * samplesPerBit);
    }
    recording.hold(kIdleSamples);
    return recording.samples();
}

namespace {

constexpr int kScl = 1;
constexpr int kSda = 2;

// SDA set while SCL is low, then one clock pulse.
void i2cBit(PinRecording& bus, bool level, uint32_t halfBit) {
    bus.set(kSda, level);
    bus.hold(halfBit);
    bus.set(kScl, true);
    bus.hold(halfBit);
    bus.set(kScl, false);
}

void i2cByte(PinRecording& bus, uint8_t byte, bool ack, uint32_t halfBit) {
    for (int bit = 7; bit >= 0; --bit) {
        i2cBit(bus, ((byte >> bit) & 1) != 0, halfBit);
    }
    i2cBit(bus, !ack, halfBit);
}

void i2cStart(PinRecording& bus, uint32_t halfBit) {
    bus.set(kSda, true);
    bus.set(kScl, true);
    bus.hold(halfBit);
    bus.set(kSda, false);
    bus.hold(halfBit);
    bus.set(kScl, false);
}

void i2cStop(PinRecording& bus, uint32_t halfBit) {
    bus.set(kSda, false);
    bus.hold(halfBit);
    bus.set(kScl, true);
    bus.hold(halfBit);
    bus.set(kSda, true);
    bus.hold(halfBit);
}

}  // namespace

std::string i2cRecording(uint8_t address, const std::vector<uint8_t>& data,
                         const std::vector<uint8_t>& answer, uint32_t halfBit) {
    PinRecording bus;
    bus.hold(kIdleSamples);
    i2cStart(bus, halfBit);
    i2cByte(bus, static_cast<uint8_t>(address << 1), true, halfBit);
    for (const uint8_t byte : data) {
        i2cByte(bus, byte, true, halfBit);
    }
    i2cStop(bus, halfBit);
    i2cStart(bus, halfBit);
    i2cByte(bus, static_cast<uint8_t>(address << 1 | 1), true, halfBit);
    for (size_t i = 0; i < answer.size(); ++i) {
        i2cByte(bus, answer[i], i + 1 < answer.size(), halfBit);
    }
    i2cStop(bus, halfBit);
    bus.hold(kIdleSamples);
    return bus.samples();
}

namespace {

constexpr int kClk = 1;
constexpr int kMosi = 2;
constexpr int kMiso = 3;
constexpr int kCs = 4;

}  // namespace

// Mode bit 1 is the clock's idle level (CPOL), bit 0 whether data is taken on the clock's
// second edge (CPHA): then it changes on the first.
std::string spiRecording(int mode, const std::vector<uint8_t>& mosi,
                         const std::vector<uint8_t>& miso, uint32_t halfBit) {
    const bool idle = (mode & 2) != 0;
    const bool secondEdge = (mode & 1) != 0;
    PinRecording bus;
    bus.set(kClk, idle);
    bus.hold(kIdleSamples);
    bus.set(kCs, false);
    bus.hold(halfBit);
    for (size_t i = 0; i < mosi.size(); ++i) {
        for (int bit = 7; bit >= 0; --bit) {
            if (secondEdge) {
                bus.set(kClk, !idle);
            }
            bus.set(kMosi, ((mosi[i] >> bit) & 1) != 0);
            bus.set(kMiso, ((miso[i] >> bit) & 1) != 0);
            bus.hold(halfBit);
            bus.set(kClk, secondEdge ? idle : !idle);
            bus.hold(halfBit);
            if (!secondEdge) {
                bus.set(kClk, idle);
            }
        }
    }
    bus.hold(halfBit);
    bus.set(kCs, true);
    bus.hold(kIdleSamples);
    return bus.samples();
}

void setStalledCapture(const std::string& samples, uint32_t stallBefore,
                       uint64_t stallNanoseconds) {
    const auto count = static_cast<uint32_t>(samples.size());
    resetScopeSession();
    scopeSession.sampleData = obtainSampleBuffer(count);
    std::copy(samples.begin(), samples.end(), scopeSession.sampleData);
    scopeSession.sampleLength = count;
    TimeBase& timeBase = scopeSession.timeBase;
    timeBase.prepare(count, 50);
    for (uint32_t s = 0; s <= count; s += 50) {
        timeBase.mark(s, uint64_t{s} * 1000 + (s >= stallBefore ? stallNanoseconds : 0));
    }
    timeBase.finish();
}
