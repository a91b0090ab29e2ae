#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/channel_looks.h"

class TimeBase;

// The times of an export: a VCD time unit of 10^exponent femtoseconds (1, 10 or 100 of s, ms, us,
// ns, ps or fs), and either the sample period as a whole number of those units or, for a capture,
// its time base, from which each sample's time is rounded to the unit.
struct SampleTiming {
    int unitExponent = 0;  // 0 (1 fs) .. 17 (100 s)
    uint64_t unitsPerSample = 0;
    const TimeBase* timeBase = nullptr;
    uint32_t firstSample = 0;  // the time base's number of the first sample exported
    double firstSeconds = 0;   // and its time there
    // The exported sample the trigger fired on: the CSV counts time from it (negative before
    // it), the VCD names it in a comment.
    std::optional<uint32_t> trigger{};
};

// The coarsest unit in which `periodSeconds`, rounded to whole femtoseconds, is a whole number.
// False for a period under 1 fs or over 1000 s, and when the time of sample `sampleCount` would
// not fit the 64-bit time stamps.
bool timingForPeriod(double periodSeconds, uint32_t sampleCount, SampleTiming& timing);

// The times of `sampleCount` samples from `firstSample` on as `timeBase` knows them, in the unit
// timingForPeriod gives its steady period (gaps left out, to the picosecond). False when the
// time base knows nothing or its times would not fit.
bool timingForTimeBase(const TimeBase& timeBase, uint32_t firstSample, uint32_t sampleCount,
                       SampleTiming& timing);

// A channel's name as the exports write it: "Out_Of_Paper". Blanks, control characters and the
// characters that end a name in a VCD, a CSV or a sigrok session's metadata become '_'.
std::string exportChannelName(std::string_view name);

// The unit as a VCD $timescale gives it: "1 us", "100 ns".
std::string timescaleText(const SampleTiming& timing);

// A VCD's unit for `timing`: its own while a sample is at most 10 of them long, else the finest
// unit of which a sample is at most 10, the time stamps rounded to it. Readers such as sigrok's
// sample a VCD once per unit: a period counted in picoseconds would turn one recorded sample
// into a million.
int vcdUnitExponent(const SampleTiming& timing);

// Text handed on in large pieces. After a piece fails to get there nothing more is handed on:
// writers stop once ok() turns false, and finish() tells whether all of it got there.
class TextOutput {
public:
    // Takes one piece; false when not all of it got there, with errno saying why (0: unknown).
    using Sink = std::function<bool(std::string_view piece)>;

    explicit TextOutput(Sink sink);
    void put(std::string_view text);
    void put(char c);
    void putNumber(uint64_t value);
    bool ok() const { return !failed_; }
    bool finish();
    // errno of the piece that failed; 0 when the system gave no reason.
    int error() const { return error_; }

private:
    void spill();

    Sink sink_;
    std::string buffer_;
    bool failed_ = false;
    int error_ = 0;
};

// A value change dump: a wire per channel, the initial values, then each change, one per line,
// under the time stamp of its sample, and a last time stamp where the data ends; in the unit
// vcdUnitExponent chooses.
void writeVcd(const uint8_t* samples, uint32_t count, const SampleTiming& timing, TextOutput& out,
              const ChannelNames& names = defaultChannelNames());

// A header line (the channels by `names`), then one line per sample: its number, its time in
// seconds (from the trigger where there is one), the five levels.
void writeCsv(const uint8_t* samples, uint32_t count, const SampleTiming& timing, TextOutput& out,
              const ChannelNames& names = defaultChannelNames());
