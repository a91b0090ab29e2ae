#pragma once

#include <functional>
#include <string_view>

#include "core/window_system.h"
#include "resources/string_table.h"

// A warning box with one OK button and the program's name as caption.
inline void showWarning(WindowSystem& owner, std::string_view text) {
    owner.messageBox(text, loadString(IDS_PROGRAM_NAME), MessageButtons::Ok,
                     MessageIcon::Exclamation);
}

// The same for a string-table text.
inline void showMessage(WindowSystem& owner, int stringId) {
    showWarning(owner, loadString(stringId));
}

// Shows every string id it is handed as a warning on `owner`: how the desktop program reports
// the scope-file errors.
inline std::function<void(int)> showMessagesOn(WindowSystem& owner) {
    return [&owner](int stringId) { showMessage(owner, stringId); };
}
