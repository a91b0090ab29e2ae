#pragma once

#include <array>
#include <cstdint>

#include "core/trigger_conditions.h"

// Settings > Trigger…: each channel's condition and the share of the buffer kept from before
// the trigger.
struct TriggerSettings {
    ChannelConditions conditions{};
    uint8_t preTriggerPercent = 0;
};

// The pre-trigger shares offered, in percent.
inline constexpr std::array<uint8_t, 6> kPreTriggerShares{0, 10, 25, 50, 75, 90};

TriggerSettings currentTriggerSettings();
// Either edge goes to the channel's Port box, any other condition is kept beside it.
void applyTriggerSettings(const TriggerSettings& settings);

// What a channel's Port box shows.
enum class PortBoxState { Unticked, Ticked, OtherCondition };
PortBoxState portBoxState(int channel);

// A click on a Port box: a channel with a condition of its own goes back to a plain tick (either
// edge); else the tick is turned over.
void togglePortTriggerBox(int channel);
