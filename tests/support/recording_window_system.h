#pragma once

#include <array>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/window_system.h"

// A window system without a screen: keeps the scroll bar and menu state, answers questions and
// choosers from a script, and logs every visible effect in order. Posted messages wait in a queue
// until the test pumps them to `handler`, as the main thread's loop would.
class RecordingWindowSystem : public WindowSystem {
public:
    struct ChooserAnswer {
        std::string path;
        std::string title;
        int filter = 0;  // the filter chosen, told where the request asks
    };

    // Receives sent and pumped messages; usually the main window procedure.
    std::function<intptr_t(const WindowMessage&)> handler;
    // Called for each trace view refresh, e.g. to paint into a recording canvas.
    std::function<void()> onRefresh;
    // Called while a small dialog is open (the dialog id is logged first).
    std::function<void(int templateId)> onDialog;
    // Called while a message box is up (its text is logged first).
    std::function<void()> onMessageBox;

    // Scripted answers, taken in order. With none left a question answers Cancel (or Ok) and a
    // chooser is cancelled.
    std::deque<MessageAnswer> answers;
    std::deque<std::optional<ChooserAnswer>> chooserAnswers;
    // Answers to askText: a text entered, or none for Cancel. With none left it is cancelled.
    std::deque<std::optional<std::string>> textAnswers;

    // What was shown, in order: "range 0..4700", "position 0 redraw", "refresh", "check 40004 on",
    // "dialog 112", "message <text>", "chooser open", "beep", "band 0 off", "ask <question>",
    // "rows".
    std::vector<std::string> log;
    std::vector<std::string> messages;         // texts of message boxes
    std::vector<FileChooserRequest> choosers;  // requests of the file choosers shown
    std::vector<int> dialogs;                  // small dialogs run
    int refreshCount = 0;
    int beepCount = 0;
    int rowRefreshCount = 0;

    ScrollRange range{0, 100};
    int32_t position = 0;
    std::map<int, bool> menuChecks;
    std::array<bool, kViewBandCount> bands{true, true, true, true};

    ScrollRange scrollRange() const override;
    void setScrollRange(int32_t low, int32_t high, bool redraw) override;
    void setScrollPosition(int32_t position, bool redraw) override;
    void refreshTraceView() override;
    void checkMenuItem(int commandId, bool checked) override;
    void showBand(ViewBand band, bool shown) override;
    void runDialog(int templateId) override;
    MessageAnswer messageBox(std::string_view text, std::string_view caption,
                             MessageButtons buttons, MessageIcon icon) override;
    bool chooseFile(const FileChooserRequest& request, std::string& path,
                    std::string& title) override;
    bool askText(std::string_view question, std::string_view caption, std::string& text) override;
    void refreshDecoderRows() override;
    void beep() override;
    void postMessage(const WindowMessage& message) override;
    intptr_t sendMessage(const WindowMessage& message) override;

    // Delivers queued messages to `handler` until the queue is empty; returns how many.
    int pumpMessages();
    // Waits (up to `seconds`) until a message is queued, then pumps; false on time-out.
    bool waitAndPump(double seconds = 10.0);
    // Waits (up to `seconds`) until a message is queued and leaves it there; false on time-out.
    bool waitForMessage(double seconds);
    bool hasPendingMessages();
    std::vector<WindowMessage> takePendingMessages();
    void clearLog();

private:
    std::mutex queueMutex_;
    std::condition_variable queued_;
    std::deque<WindowMessage> queue_;
};
