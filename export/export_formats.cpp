#include "export/export_formats.h"

#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <optional>
#include <utility>

#include "core/measure_text.h"
#include "core/scope_session.h"
#include "core/time_base.h"
#include "core/uniform_grid.h"
#include "export/csv_field.h"
#include "resources/program_version.h"

namespace {

constexpr int kMaxUnitExponent = 17;  // 100 s
constexpr int kSecondExponent = 15;
constexpr double kFemtosecondsPerSecond = 1e15;
constexpr double kMaxPeriodSeconds = 1000.0;
constexpr size_t kSpillSize = 64 * 1024;
constexpr uint8_t kChannelMask = 0xF8;
// VCD identifiers of the channels' wires.
constexpr std::array<char, kChannelCount> kWireIds{'!', '"', '#', '$', '%'};

uint64_t powerOfTen(int exponent) {
    uint64_t value = 1;
    for (int i = 0; i < exponent; ++i) {
        value *= 10;
    }
    return value;
}

// A unit of 10^exponent fs is 10^(exponent - 15) s.
int secondsExponent(int unitExponent) {
    return unitExponent - kSecondExponent;
}

// For units of a second and above the seconds column writes whole seconds: a time of n units is
// n times this factor, which must fit 64 bits too.
uint64_t secondsFactor(const SampleTiming& timing) {
    return timing.unitExponent > kSecondExponent ? powerOfTen(secondsExponent(timing.unitExponent))
                                                 : 1;
}

void putLevel(TextOutput& out, uint8_t sample, int channel) {
    out.put((sample & kChannelBits[channel]) != 0 ? '1' : '0');
}

constexpr uint64_t kMaxSampleUnits = 10;

void putVcdHeader(const SampleTiming& timing, const ChannelNames& names, TextOutput& out) {
    out.put("$version pinprobe-cli ");
    out.put(kProgramVersion);
    out.put(" $end\n$timescale ");
    out.put(timescaleText(SampleTiming{vcdUnitExponent(timing), 0}));
    out.put(" $end\n$scope module pinprobe $end\n");
    for (int channel = 0; channel < kChannelCount; ++channel) {
        out.put("$var wire 1 ");
        out.put(kWireIds[channel]);
        out.put(' ');
        out.put(exportChannelName(names[static_cast<size_t>(channel)]));
        out.put(" $end\n");
    }
    out.put("$upscope $end\n$enddefinitions $end\n");
}

double unitsPerSecond(const SampleTiming& timing) {
    return std::pow(10.0, kSecondExponent - timing.unitExponent);
}

// The time of sample `sampleIndex` (counted from the first exported) in units. Writers ask for
// samples in rising order: `walk` starts each lookup in the time base where the last one ended.
uint64_t unitsAt(const SampleTiming& timing, uint64_t sampleIndex, std::optional<TimeWalk>& walk) {
    const TimeBase* timeBase = timing.timeBase;
    if (timeBase == nullptr) {
        return sampleIndex * timing.unitsPerSample;
    }
    if (!walk) {
        walk.emplace(*timeBase);
    }
    const double seconds = walk->secondsAt(timing.firstSample + static_cast<double>(sampleIndex)) -
                           timing.firstSeconds;
    return seconds > 0 ? static_cast<uint64_t>(std::llround(seconds * unitsPerSecond(timing))) : 0;
}

uint64_t unitsAt(const SampleTiming& timing, uint64_t sampleIndex) {
    std::optional<TimeWalk> walk;
    return unitsAt(timing, sampleIndex, walk);
}

// A time of `units` as a VCD time stamp in units `divisor` times as long, rounded half up. Time
// stamps only ever rise, also where two samples of a time base round to one unit.
void putTimeStamp(TextOutput& out, uint64_t units, uint64_t divisor, uint64_t& lastStamp) {
    const uint64_t stamp = (units + divisor / 2) / divisor;
    lastStamp = stamp > lastStamp ? stamp : lastStamp + 1;
    out.put('#');
    out.putNumber(lastStamp);
    out.put('\n');
}

void putChange(TextOutput& out, uint8_t sample, int channel) {
    putLevel(out, sample, channel);
    out.put(kWireIds[channel]);
    out.put('\n');
}

}  // namespace

bool timingForPeriod(double periodSeconds, uint32_t sampleCount, SampleTiming& timing) {
    if (!(periodSeconds > 0 && periodSeconds <= kMaxPeriodSeconds)) {
        return false;
    }
    const auto femtoseconds =
        static_cast<uint64_t>(std::llround(periodSeconds * kFemtosecondsPerSecond));
    if (femtoseconds == 0) {
        return false;
    }
    int exponent = 0;
    while (exponent < kMaxUnitExponent && femtoseconds % powerOfTen(exponent + 1) == 0) {
        ++exponent;
    }
    const SampleTiming found{exponent, femtoseconds / powerOfTen(exponent)};
    uint64_t lastTime = 0;
    if (__builtin_mul_overflow(uint64_t{sampleCount}, found.unitsPerSample * secondsFactor(found),
                               &lastTime)) {
        return false;
    }
    timing = found;
    return true;
}

bool timingForTimeBase(const TimeBase& timeBase, uint32_t firstSample, uint32_t sampleCount,
                       SampleTiming& timing) {
    // The pace while sampling ran, to the picosecond: a gap's length is no sample's.
    constexpr double kPicosecondsPerSecond = 1e12;
    const double period =
        std::round(steadyPeriod(timeBase) * kPicosecondsPerSecond) / kPicosecondsPerSecond;
    SampleTiming found;
    if (!timeBase.known() || !timingForPeriod(period, sampleCount, found)) {
        return false;
    }
    // Gaps stretch the last time stamp beyond sampleCount periods.
    const double firstSeconds = timeBase.secondsAt(firstSample);
    const double lastSeconds =
        timeBase.secondsAt(static_cast<double>(firstSample) + sampleCount) - firstSeconds;
    if (!(lastSeconds * unitsPerSecond(found) < 0x1p63)) {
        return false;
    }
    found.timeBase = &timeBase;
    found.firstSample = firstSample;
    found.firstSeconds = firstSeconds;
    timing = found;
    return true;
}

// Names may not hold blanks in a VCD, nor in a channel a sigrok option names.
std::string exportChannelName(std::string_view name) {
    std::string exported(name);
    for (char& c : exported) {
        const bool ends = std::iscntrl(static_cast<unsigned char>(c)) != 0 || c == ' ' ||
                          std::string_view(",\"=[]$").find(c) != std::string_view::npos;
        c = ends ? '_' : c;
    }
    return exported.empty() ? "_" : exported;
}

int vcdUnitExponent(const SampleTiming& timing) {
    int exponent = timing.unitExponent;
    uint64_t unitsPerSample = timing.unitsPerSample;
    while (unitsPerSample > kMaxSampleUnits && exponent < kMaxUnitExponent) {
        unitsPerSample = (unitsPerSample + 9) / 10;
        ++exponent;
    }
    return exponent;
}

std::string timescaleText(const SampleTiming& timing) {
    return powerOfTenSecondsText(secondsExponent(timing.unitExponent));
}

TextOutput::TextOutput(Sink sink) : sink_(std::move(sink)) {
    buffer_.reserve(kSpillSize + 256);
}

void TextOutput::put(std::string_view text) {
    buffer_.append(text);
    if (buffer_.size() >= kSpillSize) {
        spill();
    }
}

void TextOutput::put(char c) {
    buffer_.push_back(c);
    if (buffer_.size() >= kSpillSize) {
        spill();
    }
}

void TextOutput::putNumber(uint64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    put(std::string_view(digits, static_cast<size_t>(end - digits)));
}

void TextOutput::spill() {
    if (!failed_ && !buffer_.empty()) {
        errno = 0;
        failed_ = !sink_(buffer_);
        error_ = failed_ ? errno : 0;
    }
    buffer_.clear();
}

bool TextOutput::finish() {
    spill();
    return !failed_;
}

namespace {

// The time of sample `index`, `units`, from the trigger at `zero` units (0 without one);
// negative before it.
void putSecondsFromTrigger(TextOutput& out, const SampleTiming& timing, uint64_t units,
                           uint64_t zero) {
    const int exponent = secondsExponent(timing.unitExponent);
    if (units < zero) {
        out.put('-');
        out.put(exactSecondsText(zero - units, exponent));
    } else {
        out.put(exactSecondsText(units - zero, exponent));
    }
}

// "$comment trigger at sample 15000, 0.015 s $end", in the header where there is a trigger.
void putTriggerComment(TextOutput& out, const SampleTiming& timing) {
    if (!timing.trigger) {
        return;
    }
    out.put("$comment trigger at sample ");
    out.putNumber(*timing.trigger);
    out.put(", ");
    out.put(
        exactSecondsText(unitsAt(timing, *timing.trigger), secondsExponent(timing.unitExponent)));
    out.put(" s $end\n");
}

}  // namespace

void writeVcd(const uint8_t* samples, uint32_t count, const SampleTiming& timing, TextOutput& out,
              const ChannelNames& names) {
    const uint64_t divisor = powerOfTen(vcdUnitExponent(timing) - timing.unitExponent);
    putVcdHeader(timing, names, out);
    putTriggerComment(out, timing);
    out.put("#0\n$dumpvars\n");
    for (int channel = 0; channel < kChannelCount; ++channel) {
        putChange(out, samples[0], channel);
    }
    out.put("$end\n");
    uint8_t previous = samples[0] & kChannelMask;
    uint64_t lastStamp = 0;
    std::optional<TimeWalk> walk;
    for (uint32_t i = 1; i < count && out.ok(); ++i) {
        const uint8_t changed = (samples[i] & kChannelMask) ^ previous;
        if (changed == 0) {
            continue;
        }
        putTimeStamp(out, unitsAt(timing, i, walk), divisor, lastStamp);
        for (int channel = 0; channel < kChannelCount; ++channel) {
            if ((changed & kChannelBits[channel]) != 0) {
                putChange(out, samples[i], channel);
            }
        }
        previous = samples[i] & kChannelMask;
    }
    putTimeStamp(out, unitsAt(timing, count, walk), divisor, lastStamp);
}

void writeCsv(const uint8_t* samples, uint32_t count, const SampleTiming& timing, TextOutput& out,
              const ChannelNames& names) {
    out.put("sample,seconds");
    for (const std::string& name : names) {
        out.put(',');
        out.put(csvField(name));
    }
    out.put('\n');
    const uint64_t zero = timing.trigger ? unitsAt(timing, *timing.trigger) : 0;
    std::optional<TimeWalk> walk;
    for (uint32_t i = 0; i < count && out.ok(); ++i) {
        out.putNumber(i);
        out.put(',');
        putSecondsFromTrigger(out, timing, unitsAt(timing, i, walk), zero);
        for (int channel = 0; channel < kChannelCount; ++channel) {
            out.put(',');
            putLevel(out, samples[i], channel);
        }
        out.put('\n');
    }
}
