#pragma once

#include <string>

// A time or a frequency in the unit that keeps it between 1 and 1000 where one can, with four
// significant digits: "1.234 ms", "250.0 µs", "4.274 kHz", "0 s". Negative values keep their sign;
// the value must be finite.
std::string formatSeconds(double seconds);
std::string formatHertz(double hertz);
