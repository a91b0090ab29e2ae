#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>

#include "shell/qt_view_settings.h"
#include "shell/qt_window_system.h"

class ClientArea;
class DecodedDataPanel;
struct ScopeSession;

// The main window, built from its template and menu. Every control, menu entry, scroll action,
// close request and end-of-session question reaches the program as a message through one handler,
// the window procedure. Its construction delivers MSG_INITDIALOG before it is shown. The bands the
// View menu shows and the window's size are kept in the user's settings from one run to the next.
class DezoRaraClass : public QMainWindow {
    Q_OBJECT

public:
    explicit DezoRaraClass(QtWindowSystem::MessageHandler handler);
    // A window deleted without having been closed still gets its MSG_DESTROY.
    ~DezoRaraClass() override;

    QtWindowSystem& windowSystem() { return *windowSystem_; }
    ClientArea& clientArea() { return *client_; }
    DecodedDataPanel& decodedData() { return *decodedData_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void attachViews();
    void addDecodedDataPanel(QAction* menuEntry);
    // The entry `action` is offered only while `offered` says so; each opening of its menu asks.
    void offerWhen(QAction* action, bool (*offered)(const ScopeSession& session));
    void placeWindow(const DialogTemplate& dialog, const StoredView& stored);
    // A change of the client area's default size (`change`): the window grows or shrinks by it,
    // unless it fills the screen, so that the traces keep their size.
    void resizeWithClient(const std::function<void()>& change);
    int heightRoom() const;
    int roomForRows() const;
    void keepOnScreen();
    void applyBand(ViewBand band, bool shown);
    StoredView currentView() const;
    void sendCommand(int id);
    // A key the focused control left alone acts on the traces when the pointer is over them, and
    // gives them the focus; false when it is not theirs.
    bool keyToTraces(const QKeyEvent& event);

    ClientArea* client_ = nullptr;
    DecodedDataPanel* decodedData_ = nullptr;
    std::unique_ptr<QtWindowSystem> windowSystem_;
    bool placed_ = false;  // the settings are written only once the window took them in
};
