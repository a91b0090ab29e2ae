#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/window_system.h"

class ConsoleOutput;

// The window system of pinprobe-cli, which has no screen: message boxes and small dialogs become
// lines on standard error, questions answer OK, and posted messages queue up until the main
// thread takes them.
class HeadlessWindowSystem final : public WindowSystem {
public:
    explicit HeadlessWindowSystem(ConsoleOutput& console) : console_(console) {}

    // Main thread: waits up to `timeout` for posted messages and takes all that are queued.
    std::vector<WindowMessage> takeMessages(std::chrono::milliseconds timeout);

    ScrollRange scrollRange() const override { return range_; }
    void setScrollRange(int32_t low, int32_t high, bool redraw) override;
    void setScrollPosition(int32_t, bool) override {}
    void refreshTraceView() override {}
    void checkMenuItem(int, bool) override {}
    void showBand(ViewBand, bool) override {}
    void runDialog(int templateId) override;
    MessageAnswer messageBox(std::string_view text, std::string_view caption,
                             MessageButtons buttons, MessageIcon icon) override;
    bool chooseFile(const FileChooserRequest&, std::string&, std::string&) override {
        return false;
    }
    bool askText(std::string_view, std::string_view, std::string&) override { return false; }
    void refreshDecoderRows() override {}
    void beep() override {}
    void postMessage(const WindowMessage& message) override;
    intptr_t sendMessage(const WindowMessage&) override { return 0; }

private:
    ConsoleOutput& console_;
    ScrollRange range_{0, 1};

    std::mutex queueMutex_;
    std::condition_variable queued_;
    std::deque<WindowMessage> queue_;
};
