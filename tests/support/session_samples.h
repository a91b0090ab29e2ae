#pragma once

#include <cstdint>
#include <vector>

// Makes `samples` the session's data in a block of exactly their size (so that a read past the
// end is caught by the sanitizer), after giving back any block the session held.
void loadSessionSamples(const std::vector<uint8_t>& samples);
