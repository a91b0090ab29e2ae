#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One option a command knows: "--size" or "-o"; with a value ("--size N", "--size=N") or a flag.
// Only a repeatable option may be given more than once ("-P uart -P i2c").
struct OptionSpec {
    std::string_view name;
    bool takesValue;
    bool repeatable = false;
};

struct ParsedArguments {
    std::vector<std::string> operands;
    // Options with their values; a flag has the empty value; a repeated option its last value.
    std::map<std::string, std::string, std::less<>> values;
    // Every value of each repeatable option, in the order given.
    std::map<std::string, std::vector<std::string>, std::less<>> repeated;
    bool help = false;

    bool has(std::string_view option) const { return values.find(option) != values.end(); }
    // The values of a repeatable option; none when it was not given.
    const std::vector<std::string>& all(std::string_view option) const;
};

// Splits a command's arguments into options and operands. False with `error` set for an unknown
// option, a missing value or a repeated option.
bool parseArguments(std::span<const std::string> arguments, std::span<const OptionSpec> options,
                    ParsedArguments& parsed, std::string& error);

// The value parsers; each is false for text it does not take.
// A sample count from 1 to 2147483647.
bool parseSampleCount(std::string_view text, int32_t& count);
// Channels "1,3,5": channel n is status bit 0x08 << (n - 1).
bool parseChannelMask(std::string_view text, uint8_t& mask);
// fastest, fast or slow: 0, 5 or 50 delay units.
bool parseDelayUnits(std::string_view text, int8_t& delayUnits);
// A finite number above 0.
bool parseSeconds(std::string_view text, double& seconds);
// --period, when given: true when it is seconds from `shortest` to `longest` (then in `seconds`)
// or absent (`seconds` as it was).
bool readPeriodOption(const ParsedArguments& arguments, double shortest, double longest,
                      double& seconds);
