#pragma once

#include <cstdint>
#include <string_view>

#include "app/document/recording_goal.h"
#include "cli/command_line.h"

// The readers of option values; each is false for text it does not take.

// A sample count from 1 to 2147483647.
bool parseSampleCount(std::string_view text, int32_t& count);
// Channels "1,3,5": channel n is status bit 0x08 << (n - 1).
bool parseChannelMask(std::string_view text, uint8_t& mask);
// fastest, fast or slow: 0, 5 or 50 delay units.
// "25%" or "25": one of the pre-trigger shares 0, 10, 25, 50, 75 and 90 percent.
bool parsePreTriggerShare(std::string_view text, uint8_t& percent);
bool parseDelayUnits(std::string_view text, int32_t& delayUnits);
// --period, when given: true when it is seconds from `shortest` to `longest` (then in `seconds`)
// or absent (`seconds` as it was).
bool readPeriodOption(const ParsedArguments& arguments, double shortest, double longest,
                      double& seconds);
