#pragma once

#include <string>
#include <string_view>

// The sample period of a recording that keeps no time (a scope file), as the desktop program
// asks for it: the default, and the longest a decoder's sample rate (at least 1 Hz) allows.
inline constexpr double kDefaultPeriodSeconds = 1e-6;
inline constexpr double kLongestPeriodSeconds = 1.0;
inline constexpr double kShortestPeriodSeconds = 1e-15;

// "1 us", "2.5 ms", "100 ns", "1e-6" (seconds without a unit); µs for us too, so that what
// formatSeconds writes reads back. Empty, or what is wrong with it, to show the user.
std::string parsePeriodText(std::string_view text, double& seconds);
