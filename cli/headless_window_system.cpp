#include "cli/headless_window_system.h"

#include <array>

#include "cli/console_output.h"
#include "resources/dialog_templates.h"
#include "resources/string_table.h"

namespace {

constexpr std::array kFileErrorIds{IDS_CANNOT_OPEN_FILE,  IDS_NOT_A_SCOPE_FILE, IDS_NO_DATA_CHUNK,
                                   IDS_EMPTY_DATA,        IDS_OUT_OF_MEMORY,    IDS_TRUNCATED_DATA,
                                   IDS_CANNOT_WRITE_FORM, IDS_CANNOT_WRITE_DATA};
// A message box holds 79 characters of a string; the scope-file code cuts longer ones.
constexpr size_t kMaxTextLength = 79;

}  // namespace

int fileErrorIdOfText(std::string_view text) {
    for (const int id : kFileErrorIds) {
        if (loadString(id).substr(0, kMaxTextLength) == text) {
            return id;
        }
    }
    return 0;
}

std::vector<WindowMessage> HeadlessWindowSystem::takeMessages(std::chrono::milliseconds timeout) {
    std::unique_lock lock(queueMutex_);
    queued_.wait_for(lock, timeout, [&] { return !queue_.empty(); });
    std::vector<WindowMessage> messages(queue_.begin(), queue_.end());
    queue_.clear();
    return messages;
}

void HeadlessWindowSystem::setScrollRange(int32_t low, int32_t high, bool) {
    range_ = ScrollRange{low, high};
}

// Prints the dialog as "Caption: its texts", e.g. the too-slow warning.
void HeadlessWindowSystem::runDialog(int templateId) {
    const DialogTemplate* dialog = findDialogTemplate(templateId);
    if (dialog == nullptr) {
        return;
    }
    std::string line(dialog->caption);
    const char* separator = ": ";
    for (const ControlTemplate& control : dialog->controls) {
        if (control.kind == ControlKind::TextCentred || control.kind == ControlKind::TextLeft) {
            line.append(separator).append(control.text);
            separator = " ";
        }
    }
    console_.message(line);
}

MessageAnswer HeadlessWindowSystem::messageBox(std::string_view text, std::string_view,
                                               MessageButtons, MessageIcon) {
    std::string line = subject_.empty() ? std::string() : subject_ + ": ";
    line.append(text);
    if (const int id = fileErrorIdOfText(text); id != 0) {
        line.append(" (").append(std::to_string(id)).append(")");
    }
    console_.message(line);
    return MessageAnswer::Ok;
}

void HeadlessWindowSystem::postMessage(const WindowMessage& message) {
    {
        std::lock_guard lock(queueMutex_);
        queue_.push_back(message);
    }
    queued_.notify_all();
}
