#pragma once

#include <string_view>

#include "resources/string_table.h"
#include "shell/window_system.h"

// A warning box with one OK button and the program's name as caption.
inline void showWarning(WindowSystem& owner, std::string_view text) {
    owner.messageBox(text, loadString(IDS_PROGRAM_NAME), MessageButtons::Ok,
                     MessageIcon::Exclamation);
}

// The same for a string-table text.
inline void showMessage(WindowSystem& owner, int stringId) {
    showWarning(owner, loadString(stringId));
}
