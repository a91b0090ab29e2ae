#include "app/window/control_names.h"

#include "app/readout/channel_text.h"
#include "core/channels.h"
#include "resources/command_ids.h"

namespace {

std::string triggerName(const char* kind, int channel) {
    return std::string(kind) + " trigger on channel " + std::to_string(channel + 1) + ", " +
           channelName(channel);
}

}  // namespace

std::string controlName(int controlId) {
    if (controlId >= CMD_PORT_TRIGGER_FIRST && controlId <= CMD_PORT_TRIGGER_LAST) {
        return triggerName("Port", controlId - CMD_PORT_TRIGGER_FIRST);
    }
    if (controlId >= CMD_MEMORY_TRIGGER_FIRST && controlId <= CMD_MEMORY_TRIGGER_LAST) {
        return triggerName("Memory", controlId - CMD_MEMORY_TRIGGER_FIRST);
    }
    switch (controlId) {
        case IDC_SCROLL_BAR:
            return "Position in the recording";
        case IDC_TRACE_VIEW:
            return "Traces";
        default:
            return {};
    }
}
