#pragma once

#include <string_view>

// A text width that costs nothing to measure: seven pixels a character.
inline int sevenEach(std::string_view text) {
    return static_cast<int>(text.size()) * 7;
}
