#pragma once

#include <algorithm>
#include <functional>
#include <vector>

#include "shell/qt_window_system.h"

// Stands in for the window procedure: keeps every message it gets and answers like the real one
// (everything handled but MSG_CLOSE) unless `reply` says otherwise.
struct MessageLog {
    std::vector<WindowMessage> messages;
    std::function<MessageResult(WindowSystem&, const WindowMessage&)> reply;

    QtWindowSystem::MessageHandler handler() {
        return [this](WindowSystem& window, const WindowMessage& message) {
            messages.push_back(message);
            return reply ? reply(window, message) : MessageResult{message.id != MSG_CLOSE, 0};
        };
    }

    int count(uint32_t id) const {
        return static_cast<int>(std::count_if(messages.begin(), messages.end(),
                                              [id](const WindowMessage& m) { return m.id == id; }));
    }

    std::vector<int> commands() const {
        std::vector<int> ids;
        for (const WindowMessage& m : messages) {
            if (m.id == MSG_COMMAND) {
                ids.push_back(static_cast<int>(m.code));
            }
        }
        return ids;
    }
};
