#include "tests/support/recording_window_system.h"

#include <chrono>

ScrollRange RecordingWindowSystem::scrollRange() const {
    return range;
}

void RecordingWindowSystem::setScrollRange(int32_t low, int32_t high, bool redraw) {
    range = {low, high};
    log.push_back("range " + std::to_string(low) + ".." + std::to_string(high) +
                  (redraw ? " redraw" : ""));
}

void RecordingWindowSystem::setScrollPosition(int32_t newPosition, bool redraw) {
    position = newPosition;
    log.push_back("position " + std::to_string(newPosition) + (redraw ? " redraw" : ""));
}

void RecordingWindowSystem::refreshTraceView() {
    ++refreshCount;
    log.push_back("refresh");
    if (onRefresh) {
        onRefresh();
    }
}

void RecordingWindowSystem::checkMenuItem(int commandId, bool checked) {
    menuChecks[commandId] = checked;
    log.push_back("check " + std::to_string(commandId) + (checked ? " on" : " off"));
}

void RecordingWindowSystem::showBand(ViewBand band, bool shown) {
    bands[static_cast<size_t>(band)] = shown;
    log.push_back("band " + std::to_string(static_cast<int>(band)) + (shown ? " on" : " off"));
}

void RecordingWindowSystem::runDialog(int templateId) {
    dialogs.push_back(templateId);
    log.push_back("dialog " + std::to_string(templateId));
    if (onDialog) {
        onDialog(templateId);
    }
}

MessageAnswer RecordingWindowSystem::messageBox(std::string_view text, std::string_view,
                                                MessageButtons buttons, MessageIcon) {
    messages.emplace_back(text);
    log.push_back("message " + std::string(text));
    if (onMessageBox) {
        onMessageBox();
    }
    if (!answers.empty()) {
        MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

bool RecordingWindowSystem::chooseFile(const FileChooserRequest& request, std::string& path,
                                       std::string& title) {
    choosers.push_back(request);
    log.push_back(request.forOpen ? "chooser open" : "chooser save");
    if (chooserAnswers.empty() || !chooserAnswers.front()) {
        if (!chooserAnswers.empty()) {
            chooserAnswers.pop_front();
        }
        return false;
    }
    path = chooserAnswers.front()->path;
    title = chooserAnswers.front()->title;
    if (request.chosenFilter != nullptr) {
        *request.chosenFilter = chooserAnswers.front()->filter;
    }
    chooserAnswers.pop_front();
    return true;
}

bool RecordingWindowSystem::askText(std::string_view question, std::string_view,
                                    std::string& text) {
    log.push_back("ask " + std::string(question));
    std::optional<std::string> answer;
    if (!textAnswers.empty()) {
        answer = textAnswers.front();
        textAnswers.pop_front();
    }
    if (answer) {
        text = *answer;
    }
    return answer.has_value();
}

void RecordingWindowSystem::refreshDecoderRows() {
    ++rowRefreshCount;
    log.push_back("rows");
}

void RecordingWindowSystem::beep() {
    ++beepCount;
    log.push_back("beep");
}

void RecordingWindowSystem::postMessage(const WindowMessage& message) {
    {
        std::lock_guard lock(queueMutex_);
        queue_.push_back(message);
    }
    queued_.notify_all();
}

intptr_t RecordingWindowSystem::sendMessage(const WindowMessage& message) {
    return handler ? handler(message) : 0;
}

int RecordingWindowSystem::pumpMessages() {
    int count = 0;
    for (;;) {
        WindowMessage message;
        {
            std::lock_guard lock(queueMutex_);
            if (queue_.empty()) {
                return count;
            }
            message = queue_.front();
            queue_.pop_front();
        }
        ++count;
        if (handler) {
            handler(message);
        }
    }
}

bool RecordingWindowSystem::waitAndPump(double seconds) {
    if (!waitForMessage(seconds)) {
        return false;
    }
    pumpMessages();
    return true;
}

bool RecordingWindowSystem::waitForMessage(double seconds) {
    std::unique_lock lock(queueMutex_);
    return queued_.wait_for(lock, std::chrono::duration<double>(seconds),
                            [this] { return !queue_.empty(); });
}

bool RecordingWindowSystem::hasPendingMessages() {
    std::lock_guard lock(queueMutex_);
    return !queue_.empty();
}

std::vector<WindowMessage> RecordingWindowSystem::takePendingMessages() {
    std::lock_guard lock(queueMutex_);
    std::vector<WindowMessage> taken(queue_.begin(), queue_.end());
    queue_.clear();
    return taken;
}

void RecordingWindowSystem::clearLog() {
    log.clear();
    messages.clear();
    choosers.clear();
    dialogs.clear();
    refreshCount = 0;
    beepCount = 0;
    rowRefreshCount = 0;
}
