#include "cli/headless_window_system.h"

#include "cli/console_output.h"
#include "resources/dialog_templates.h"

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
    console_.message(text);
    return MessageAnswer::Ok;
}

void HeadlessWindowSystem::postMessage(const WindowMessage& message) {
    {
        std::lock_guard lock(queueMutex_);
        queue_.push_back(message);
    }
    queued_.notify_all();
}
