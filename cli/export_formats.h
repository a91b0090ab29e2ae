#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

// The time base of an export: a VCD time unit of 10^exponent femtoseconds (1, 10 or 100 of s, ms,
// us, ns, ps or fs) and the sample period as a whole number of those units.
struct SampleTiming {
    int unitExponent = 0;  // 0 (1 fs) .. 17 (100 s)
    uint64_t unitsPerSample = 0;
};

// The coarsest unit in which `periodSeconds`, rounded to whole femtoseconds, is a whole number.
// False for a period under 1 fs or over 1000 s, and when the time of sample `sampleCount` would
// not fit the 64-bit time stamps.
bool timingForPeriod(double periodSeconds, uint32_t sampleCount, SampleTiming& timing);

// The unit as a VCD $timescale gives it: "1 us", "100 ns".
std::string timescaleText(const SampleTiming& timing);

// Text written onto a stream in large pieces; finish() tells whether all of it got there.
class TextOutput {
public:
    explicit TextOutput(std::ostream& stream);
    void put(std::string_view text);
    void put(char c);
    void putNumber(uint64_t value);
    bool finish();

private:
    void spill();

    std::ostream& stream_;
    std::string buffer_;
};

// A value change dump: a wire per channel, the initial values, then each change, one per line,
// under the time stamp of its sample, and a last time stamp where the data ends.
void writeVcd(const uint8_t* samples, uint32_t count, const SampleTiming& timing, TextOutput& out);

// A header line, then one line per sample: its number, its time in seconds, the five levels.
void writeCsv(const uint8_t* samples, uint32_t count, const SampleTiming& timing, TextOutput& out);
