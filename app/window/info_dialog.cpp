#include "app/window/info_dialog.h"

#include "core/window_system.h"

DialogReply infoDialogProc(uint32_t messageId, uint32_t) {
    switch (messageId) {
        case MSG_INITDIALOG:
            return DialogReply{true, false, 0};
        case MSG_COMMAND:
            return DialogReply{true, true, 0};
        default:
            return DialogReply{};
    }
}
