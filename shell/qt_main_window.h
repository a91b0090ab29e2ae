#pragma once

#include <QMainWindow>
#include <memory>

#include "shell/qt_window_system.h"

// The main window, built from its template and menu. Every control, menu entry, scroll action,
// close request and end-of-session question reaches the program as a message through one handler,
// the window procedure. Its construction delivers MSG_INITDIALOG before it is shown.
class DezoRaraClass : public QMainWindow {
    Q_OBJECT

public:
    explicit DezoRaraClass(QtWindowSystem::MessageHandler handler);
    // A window deleted without having been closed still gets its MSG_DESTROY.
    ~DezoRaraClass() override;

    QtWindowSystem& windowSystem() { return *windowSystem_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildClient(QWidget& client, const DialogTemplate& layout, const DialogBaseUnits& units);
    void placeWindow(const DialogTemplate& layout, const DialogBaseUnits& units);
    void sendCommand(int id);

    std::unique_ptr<QtWindowSystem> windowSystem_;
};
