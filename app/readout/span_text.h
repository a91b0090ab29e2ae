#pragma once

#include <string>
#include <vector>

// The span between the marker and the second marker as its panel shows it, a line each: how long
// it lasts and the rate that makes, then every channel that has an edge in it with its count
// and, where it toggles, its mean frequency (its period, counted in samples, where the
// recording has no times) and duty. Empty unless both markers are in the data.
std::vector<std::string> spanLines();
