#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The program's own window messages. The numbers follow the classic desktop ones so that logs
// and tests read the same as the window procedure's switch.
enum MessageId : uint32_t {
    MSG_DESTROY = 0x0002,
    MSG_CLOSE = 0x0010,
    MSG_QUERYENDSESSION = 0x0011,
    MSG_INITDIALOG = 0x0110,
    MSG_COMMAND = 0x0111,
    MSG_TIMER = 0x0113,  // the live view's tick while the worker captures
    MSG_HSCROLL = 0x0114,
    CAPTURE_DONE = 1025,       // the first private message number plus one
    OPEN_STARTUP_FILE = 1026,  // opens the scope file named on the command line
    DECODE_DONE = 1027,        // the decoders' thread has something to take
    DECODER_STACK = 1028,      // a decoder row's menu: code a StackAction, position the stack
    SHOW_SAMPLE = 1029,        // marks and shows the sample whose data index is the position
    SUMMING_UP = 1030,         // the drawing's summing up of the samples got further or is done
};

struct WindowMessage {
    uint32_t id = 0;
    // MSG_COMMAND: the command id. MSG_HSCROLL: the scroll code.
    uint32_t code = 0;
    // MSG_HSCROLL: the full thumb position (not cut to 16 bits).
    int32_t position = 0;
};

enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageIcon { Exclamation, Question, Information };
enum class MessageAnswer { Ok, Yes, No, Cancel };

struct FileTypeFilter {
    std::string description;
    std::string pattern;
    std::string extension;  // while it is chosen, the default extension; empty: the request's
};

struct FileChooserRequest {
    bool forOpen = true;
    std::vector<FileTypeFilter> filters;  // the first one is preselected
    std::string defaultExtension;         // appended, with a dot, to a name typed without one
    int* chosenFilter = nullptr;          // when given, receives the index of the filter chosen
    std::string caption;                  // the chooser's title; empty: the platform's own
};

// The bands around the template's client area, each shown or hidden from the View menu.
enum class ViewBand { Overview, Ruler, Labels, Status };
inline constexpr int kViewBandCount = 4;

struct ScrollRange {
    int32_t low = 0;
    int32_t high = 0;
};

// What the program needs of the window system, and nothing more. Everything above this layer is
// plain C++ over the session; the Qt program and the tests' recording fake each implement it.
// All of it runs on the main thread, except postMessage, which any thread may call.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // The horizontal scroll bar under the trace view (control 240).
    virtual ScrollRange scrollRange() const = 0;
    virtual void setScrollRange(int32_t low, int32_t high, bool redraw) = 0;
    virtual void setScrollPosition(int32_t position, bool redraw) = 0;

    // Repaints the whole trace view (control 220) before returning.
    virtual void refreshTraceView() = 0;

    // Check mark of a menu entry, found by its command id.
    virtual void checkMenuItem(int commandId, bool checked) = 0;

    // Shows or hides a band around the client area; the window grows or shrinks by it.
    virtual void showBand(ViewBand band, bool shown) = 0;

    // Runs small dialog `templateId` modally, owned by the main window, until it is closed.
    virtual void runDialog(int templateId) = 0;

    // A modal message box owned by the main window; gives back the button pressed.
    virtual MessageAnswer messageBox(std::string_view text, std::string_view caption,
                                     MessageButtons buttons, MessageIcon icon) = 0;

    // A modal file chooser. On confirmation fills `path` (full path) and `title` (the file name
    // without directory) and returns true; on cancel leaves both untouched and returns false.
    virtual bool chooseFile(const FileChooserRequest& request, std::string& path,
                            std::string& title) = 0;

    // A modal question for one line of text, offered with `text`: true with what the user
    // entered in `text`, false (and `text` as it was) when cancelled.
    virtual bool askText(std::string_view question, std::string_view caption,
                         std::string& text) = 0;

    // The rows under the trace view changed (how many there are, or what they show): they are
    // laid out, the window grows or shrinks by them, and they are drawn again.
    virtual void refreshDecoderRows() = 0;

    // The default system sound.
    virtual void beep() = 0;

    // Queues a message for the main window; handled later on the main thread. Thread-safe.
    virtual void postMessage(const WindowMessage& message) = 0;
    // Has the main window handle a message before returning; main thread only.
    virtual intptr_t sendMessage(const WindowMessage& message) = 0;
};

inline WindowMessage commandMessage(int commandId) {
    return WindowMessage{MSG_COMMAND, static_cast<uint32_t>(commandId), 0};
}
