#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Times and frequencies as the program writes them, on screen and in files: one table of units,
// one rule for choosing among them (the largest unit the value reaches), and the digits each
// reader needs. The value must be finite.

// Whether a value above 0 is written with a "+": a distance from the marker is, so that it reads
// as a direction. A negative value always keeps its "-".
enum class Sign { IfNegative, Always };

// Four significant digits in the unit that keeps the value between 1 and 1000 where one can (s
// down to ns, GHz down to Hz): "1.234 ms", "250.0 µs", "4.274 kHz", "0 s".
std::string formatSeconds(double seconds, Sign sign = Sign::IfNegative);
std::string formatHertz(double hertz);

// A number of samples: "1 sample", "250 samples".
std::string samplesText(uint64_t count);

// A ruler's label: in the unit of the largest value the ruler shows (`largest` seconds: s down to
// ns), with as many decimals as its step between labels needs: "2.05 ms" for 2.05e-3 with a step
// of 5e-5.
std::string formatSecondsToStep(double seconds, double step, double largest);

// How many seconds one `unit` is: "s", "ms", "µs" or "us", "ns", "ps", "fs"; 0 for any other.
double secondsPerUnit(std::string_view unit);

// 10^exponent seconds (exponent -15 to 2) as a value change dump's timescale writes it, in ASCII:
// "1 fs", "100 ns", "10 s".
std::string powerOfTenSecondsText(int exponent);

// `count` times 10^exponent seconds as a decimal number of seconds, exactly, with the decimals of
// the unit (none from the second up): "0.000123" for 123 µs, "20" for 2 times 10 s.
std::string exactSecondsText(uint64_t count, int exponent);

// A whole number of hertz in the largest unit it reaches, with the decimals it needs and no more:
// "1 Hz", "12.5 kHz", "333.333333 MHz", "5000 GHz".
std::string exactHertzText(uint64_t hertz);
