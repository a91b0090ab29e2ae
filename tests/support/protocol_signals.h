#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Recordings of serial buses made in the tests: levels set at the connector pins, stored as the
// status register shows them (Busy inverted, bits 0 to 2 high).
class PinRecording {
public:
    PinRecording();
    // Channel 1 to 5 at the pin.
    void set(int channel, bool high);
    // Appends `samples` samples of the levels as they are now.
    void hold(uint32_t samples);
    const std::string& samples() const { return samples_; }

private:
    uint8_t pins_ = 0;
    std::string samples_;
};

// `text` as 8N1 frames at `samplesPerBit` on `channel`, idle high before, between and after.
std::string uartRecording(const std::string& text, uint32_t samplesPerBit, int channel);

// An I2C write of `data` to 7-bit `address`, then a read of `readBytes` bytes (the target
// answering `answer`), SCL on channel 1 and SDA on channel 2, `halfBit` samples per half clock.
std::string i2cRecording(uint8_t address, const std::vector<uint8_t>& data,
                         const std::vector<uint8_t>& answer, uint32_t halfBit);

// A SPI transfer in `mode` (0 to 3), most significant bit first: CLK channel 1, MOSI channel 2,
// MISO channel 3, CS# channel 4 (low while it lasts), `halfBit` samples per half clock.
std::string spiRecording(int mode, const std::vector<uint8_t>& mosi,
                         const std::vector<uint8_t>& miso, uint32_t halfBit);

// Puts `samples` in the session as a capture sampled every microsecond, with marks every 50
// samples, that stood still for `stallNanoseconds` before sample `stallBefore` (a multiple of 50).
void setStalledCapture(const std::string& samples, uint32_t stallBefore, uint64_t stallNanoseconds);
