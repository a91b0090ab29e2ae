#include "core/level_changes.h"

#include <algorithm>

namespace {

bool changesAt(const uint8_t* samples, uint32_t index, uint8_t mask) {
    return (samples[index] & mask) != (samples[index - 1] & mask);
}

}  // namespace

std::optional<uint32_t> nextChange(const uint8_t* samples, uint32_t length, uint32_t from,
                                   uint8_t mask) {
    if (from >= length) {
        return std::nullopt;  // and from + 1 cannot wrap
    }
    for (uint32_t i = from + 1; i < length; ++i) {
        if (changesAt(samples, i, mask)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<uint32_t> previousChange(const uint8_t* samples, uint32_t length, uint32_t from,
                                       uint8_t mask) {
    for (uint32_t i = std::min(from, length); i-- > 1;) {
        if (changesAt(samples, i, mask)) {
            return i;
        }
    }
    return std::nullopt;
}
