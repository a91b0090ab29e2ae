#pragma once

#include <QObject>
#include <functional>
#include <map>

#include "app/window/main_window_proc.h"
#include "core/window_system.h"
#include "shell/qt_template_dialog.h"

class GraphClass;
class ProgramScrollBar;
class QAction;
class QWidget;

// The window system of the Qt program: the main window's scroll bar, trace view and menu, its
// dialogs and questions, and the delivery of its messages to the window procedure.
class QtWindowSystem : public WindowSystem {
public:
    using MessageHandler = std::function<MessageResult(WindowSystem&, const WindowMessage&)>;

    struct Parts {
        QWidget* window = nullptr;  // the top-level main window
        QWidget* client = nullptr;  // its client area, the origin of the small dialogs
        ProgramScrollBar* scrollBar = nullptr;
        GraphClass* traceView = nullptr;
        std::map<int, QAction*> menuActions;           // by command id
        std::function<void(ViewBand, bool)> showBand;  // shows or hides a band of the window
        std::function<void()> viewChanged;  // the view moved: what is drawn around it follows
        std::function<void()> decoderRowsChanged;  // the rows under the traces changed
        std::function<void()> toggleDecodedData;   // shows or hides the decoded-data panel
        std::function<void()> channelsChanged;     // the user changed the channels' looks
    };

    QtWindowSystem(Parts parts, MessageHandler handler,
                   DialogProcedure dialogProcedure = infoDialogProc);

    // Hands a message to the window procedure, then gives what it leaves unhandled the default
    // handling: an unhandled MSG_CLOSE destroys the window. A destroyed window takes nothing.
    MessageResult deliver(const WindowMessage& message);
    // The close box, Alt+F4 or the system menu: true when the window is to close now.
    bool requestClose();
    // Sends MSG_DESTROY, once; true when it did.
    bool destroyWindow();
    bool isDestroyed() const { return destroyed_; }
    // The session is ending: false when the user cancelled, so that it must not end.
    bool queryEndSession();

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

private:
    void viewChanged();

    Parts parts_;
    MessageHandler handler_;
    DialogProcedure dialogProcedure_;
    // Posted messages are queued to this object, so that none arrives after it is gone.
    QObject receiver_;
    bool destroyed_ = false;
    bool closing_ = false;
};
