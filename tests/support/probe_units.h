#pragma once

#include <cstdint>

#include "core/channels.h"

// Nanoseconds in a millisecond, for the probe's clock.
inline constexpr uint64_t kMs = 1'000'000;
// One read of the port, where a test paces the simulated probe.
inline constexpr uint64_t kReadNs = 1000;
// The first channel's bit in a sample.
inline constexpr uint8_t kChannel1 = kChannelBits[0];
