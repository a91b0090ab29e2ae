#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

class TimeBase;

// What `capture` prints when its files are written: the samples kept, the time the command took
// to capture them, the rate and the period with its spread from the time base, its gaps, the
// pauses a real-time loop took on purpose, the priority the loop ran at and why, and the port.
void printCaptureSummary(std::ostream& out, const std::string& port, uint32_t kept, double seconds);

// The rate and period with their spread, the gaps and the planned pauses of `timeBase`, as the
// summary gives them; also what `info` tells of a file that keeps its time base.
void printTiming(std::ostream& out, const TimeBase& timeBase);
