#pragma once

#include <string>

// The name the user gave a channel (0 for channel 1), by default its status line: "Select".
const std::string& channelName(int channel);

// A channel (0 for channel 1) by its name, number and connector pin: "Select (channel 2, pin 13)".
std::string channelText(int channel);

// The tooltip of a port- or memory-trigger check box, naming its channel; empty for any other
// control id.
std::string triggerBoxTooltip(int controlId);

// The label left of a channel's trace: its number and name, "2 Select", and its pin, "pin 13".
std::string channelLabel(int channel);
std::string channelPinLabel(int channel);
