#include "shell/qt_main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QSessionManager>

#include "app/channel_text.h"
#include "resources/command_ids.h"
#include "shell/qt_program_scroll_bar.h"
#include "shell/qt_template_builder.h"
#include "shell/qt_trace_view.h"

DezoRaraClass::DezoRaraClass(QtWindowSystem::MessageHandler handler) {
    const DialogTemplate& layout = *findDialogTemplate(IDD_MAIN_WINDOW);
    auto* client = new QWidget(this);
    const DialogBaseUnits units = applyTemplateFont(*client, layout);
    buildClient(*client, layout, units);

    auto* scrollBar = client->findChild<ProgramScrollBar*>();
    QtWindowSystem::Parts parts;
    parts.window = this;
    parts.client = client;
    parts.scrollBar = scrollBar;
    parts.traceView = client->findChild<GraphClass*>();
    parts.menuActions = buildMenuBar(*menuBar(), *findMenuTemplate(layout.menuId),
                                     [this](int id) { sendCommand(id); });
    GraphClass& traceView = *parts.traceView;
    windowSystem_ = std::make_unique<QtWindowSystem>(std::move(parts), std::move(handler));
    scrollBar->setScrollSink([this](int code, int32_t position) {
        windowSystem_->deliver(WindowMessage{MSG_HSCROLL, static_cast<uint32_t>(code), position});
    });
    traceView.attachTo(*windowSystem_);

    setWindowTitle(toQString(layout.caption));
    setWindowIcon(templateIconSizes(IDI_PROGRAM));
    placeWindow(layout, units);

    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        if (manager.allowsInteraction() && !windowSystem_->queryEndSession()) {
            manager.cancel();
        }
    });
    if (windowSystem_->deliver(WindowMessage{MSG_INITDIALOG, 0, 0}).answer != 0) {
        focusFirstTabStop(*client);
    }
}

DezoRaraClass::~DezoRaraClass() {
    windowSystem_->destroyWindow();
}

// The controls sit at their template places on the button face; nothing follows a size change.
void DezoRaraClass::buildClient(QWidget& client, const DialogTemplate& layout,
                                const DialogBaseUnits& units) {
    QPalette face = client.palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    face.setColor(QPalette::WindowText, face.color(QPalette::ButtonText));
    client.setPalette(face);
    client.setAutoFillBackground(true);
    buildControls(client, layout, units, [this](int id) { sendCommand(id); });
    for (QWidget* control : client.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        control->setToolTip(toQString(triggerBoxTooltip(controlId(*control))));
    }
    setCentralWidget(&client);
}

// The template places the client area; the menu bar sits on top of it.
void DezoRaraClass::placeWindow(const DialogTemplate& layout, const DialogBaseUnits& units) {
    const QSize client = dialogUnitsToPixels(units, QSize(layout.width, layout.height));
    const QPoint origin = dialogUnitsToPixels(units, layout.x, layout.y);
    setGeometry(
        QRect(origin, QSize(client.width(), client.height() + menuBar()->sizeHint().height())));
}

void DezoRaraClass::sendCommand(int id) {
    windowSystem_->deliver(commandMessage(id));
}

void DezoRaraClass::closeEvent(QCloseEvent* event) {
    if (windowSystem_->requestClose()) {
        event->accept();
    } else {
        event->ignore();
    }
}

// Enter and Esc reach the window procedure as OK and Cancel, which change nothing here.
void DezoRaraClass::keyPressEvent(QKeyEvent* event) {
    const bool plain = event->modifiers() == Qt::NoModifier ||
                       (event->modifiers() == Qt::KeypadModifier && event->key() == Qt::Key_Enter);
    if (plain && event->key() == Qt::Key_Escape) {
        sendCommand(CMD_CANCEL);
    } else if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        sendCommand(CMD_OK);
    } else {
        QMainWindow::keyPressEvent(event);
    }
}
