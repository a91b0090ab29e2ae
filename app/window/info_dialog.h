#pragma once

#include <cstdint>

struct DialogReply {
    bool answer = false;     // TRUE/FALSE of the dialog procedure
    bool endDialog = false;  // the dialog ends
    int result = 0;          // its result when it ends
};

// The one procedure of the small dialogs. MSG_INITDIALOG answers TRUE (focus to the first control
// that takes it); any MSG_COMMAND, whatever its id, ends the dialog with 0; the rest is left to
// the default handling. The Qt dialogs turn clicks, Enter (1), Esc and the close box (2) into
// MSG_COMMAND; moving a slider gives no command.
DialogReply infoDialogProc(uint32_t messageId, uint32_t commandId);
