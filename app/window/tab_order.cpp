#include "app/window/tab_order.h"

#include "resources/command_ids.h"

std::span<const int> mainWindowTabOrder() {
    static constexpr int kOrder[] = {
        CMD_PORT_TRIGGER_FIRST,
        CMD_PORT_TRIGGER_FIRST + 1,
        CMD_PORT_TRIGGER_FIRST + 2,
        CMD_PORT_TRIGGER_FIRST + 3,
        CMD_PORT_TRIGGER_LAST,
        CMD_MEMORY_TRIGGER_FIRST,
        CMD_MEMORY_TRIGGER_FIRST + 1,
        CMD_MEMORY_TRIGGER_FIRST + 2,
        CMD_MEMORY_TRIGGER_FIRST + 3,
        CMD_MEMORY_TRIGGER_LAST,
        IDC_TRACE_VIEW,
        IDC_SCROLL_BAR,
        CMD_NEW_SAMPLE,
        CMD_MEMORY_TRIGGER,
        CMD_BREAK,
        CMD_ZOOM_OUT,
        CMD_ZOOM_IN,
    };
    return kOrder;
}
