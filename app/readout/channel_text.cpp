#include "app/readout/channel_text.h"

#include "core/scope_session.h"
#include "resources/command_ids.h"

const std::string& channelName(int channel) {
    return scopeSession.channels[static_cast<size_t>(channel)].name;
}

std::string channelText(int channel) {
    return channelName(channel) + " (channel " + std::to_string(channel + 1) + ", pin " +
           std::to_string(kChannelPins[channel]) + ")";
}

std::string triggerBoxTooltip(int controlId) {
    if (controlId >= CMD_PORT_TRIGGER_FIRST && controlId <= CMD_PORT_TRIGGER_LAST) {
        return "Port trigger: a change of " + channelText(controlId - CMD_PORT_TRIGGER_FIRST) +
               " starts the next capture";
    }
    if (controlId >= CMD_MEMORY_TRIGGER_FIRST && controlId <= CMD_MEMORY_TRIGGER_LAST) {
        return "Memory trigger: MemTrig jumps to the next change of " +
               channelText(controlId - CMD_MEMORY_TRIGGER_FIRST);
    }
    return {};
}

std::string channelLabel(int channel) {
    return std::to_string(channel + 1) + " " + channelName(channel);
}

std::string channelPinLabel(int channel) {
    return "pin " + std::to_string(kChannelPins[channel]);
}
