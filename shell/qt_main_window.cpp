#include "shell/qt_main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSessionManager>

#include "app/decoding/desktop_decoding.h"
#include "core/scope_session.h"
#include "display/trace_geometry.h"
#include "resources/command_ids.h"
#include "shell/qt_client_area.h"
#include "shell/qt_decoded_data.h"
#include "shell/qt_decoder_rows.h"
#include "shell/qt_overview_strip.h"
#include "shell/qt_program_scroll_bar.h"
#include "shell/qt_spoken_view.h"
#include "shell/qt_template_builder.h"
#include "shell/qt_trace_view.h"

DezoRaraClass::DezoRaraClass(QtWindowSystem::MessageHandler handler) {
    installSpokenViews();
    scopeSession.channels = loadChannelLooks();
    const DialogTemplate& layout = *findDialogTemplate(IDD_MAIN_WINDOW);
    client_ = new ClientArea(this, layout, [this](int id) { sendCommand(id); });
    setCentralWidget(client_);

    QtWindowSystem::Parts parts;
    parts.window = this;
    parts.client = client_;
    parts.scrollBar = &client_->scrollBar();
    parts.traceView = &client_->traceView();
    parts.menuActions = buildMenuBar(*menuBar(), *findMenuTemplate(layout.menuId),
                                     [this](int id) { sendCommand(id); });
    // Time Axis needs a time base, Measure From Trigger a trigger point.
    offerWhen(parts.menuActions[CMD_TIME_AXIS], hasTimeAxis);
    offerWhen(parts.menuActions[CMD_MEASURE_FROM_TRIGGER],
              [](const ScopeSession& s) { return triggerIndex(s).has_value(); });
    parts.showBand = [this](ViewBand band, bool shown) { applyBand(band, shown); };
    parts.viewChanged = [this] { client_->updateBands(); };
    parts.decoderRowsChanged = [this] {
        resizeWithClient([this] { client_->decoderRowsChanged(roomForRows()); });
        if (decodedData_ != nullptr) {
            decodedData_->refresh();
        }
    };
    parts.toggleDecodedData = [this] { decodedData_->setVisible(!decodedData_->isVisible()); };
    parts.channelsChanged = [this] {
        storeChannelLooks(scopeSession.channels);
        resizeWithClient([this] { client_->channelsChanged(); });
    };
    QAction* decodedDataEntry = parts.menuActions[CMD_DECODED_DATA];
    windowSystem_ = std::make_unique<QtWindowSystem>(std::move(parts), std::move(handler));
    attachViews();
    addDecodedDataPanel(decodedDataEntry);

    setWindowTitle(toQString(layout.caption));
    setWindowIcon(templateIconSizes(IDI_PROGRAM));
    const StoredView stored = loadStoredView();
    showViewBands(*windowSystem_, stored.bands);
    decodedData_->setVisible(stored.decodedData);
    placeWindow(layout, stored);

    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        if (manager.allowsInteraction() && !windowSystem_->queryEndSession()) {
            manager.cancel();
        }
    });
    if (windowSystem_->deliver(WindowMessage{MSG_INITDIALOG, 0, 0}).answer != 0) {
        focusFirstTabStop(*client_);
    }
    restoreDecoders(*windowSystem_, loadKeptDecoders());
}

void DezoRaraClass::offerWhen(QAction* action, bool (*offered)(const ScopeSession& session)) {
    auto* menu = action != nullptr ? qobject_cast<QMenu*>(action->parent()) : nullptr;
    if (menu == nullptr) {
        return;
    }
    action->setEnabled(offered(scopeSession));
    connect(menu, &QMenu::aboutToShow, action,
            [action, offered] { action->setEnabled(offered(scopeSession)); });
}

DezoRaraClass::~DezoRaraClass() {
    windowSystem_->destroyWindow();
}

// Beside the traces, hidden until View > Decoded Data, whose tick follows it also when its own
// close box hides it; kept open or closed for the next run as soon as it changes.
void DezoRaraClass::addDecodedDataPanel(QAction* menuEntry) {
    decodedData_ = new DecodedDataPanel(
        this,
        [this](uint32_t index) {
            windowSystem_->deliver(WindowMessage{SHOW_SAMPLE, 0, static_cast<int32_t>(index)});
            client_->updateBands();
        },
        [this] { client_->traceView().setFocus(Qt::OtherFocusReason); });
    addDockWidget(Qt::RightDockWidgetArea, decodedData_);
    decodedData_->hide();
    if (menuEntry != nullptr) {
        connect(decodedData_->toggleViewAction(), &QAction::toggled, menuEntry,
                &QAction::setChecked);
    }
    connect(decodedData_->toggleViewAction(), &QAction::toggled, this, [this] {
        if (placed_) {
            storeView(currentView());
        }
    });
}

void DezoRaraClass::attachViews() {
    client_->scrollBar().setScrollSink([this](int code, int32_t position) {
        windowSystem_->deliver(WindowMessage{MSG_HSCROLL, static_cast<uint32_t>(code), position});
    });
    client_->traceView().attachTo(*windowSystem_);
    client_->decoderRows().setStackSink([this](StackAction action, size_t stack) {
        windowSystem_->deliver(WindowMessage{DECODER_STACK, static_cast<uint32_t>(action),
                                             static_cast<int32_t>(stack)});
    });
    client_->traceView().setLiveTick([this] {
        windowSystem_->deliver(WindowMessage{MSG_TIMER, 0, 0});
    });
    client_->overview().attachTo(*windowSystem_);
}

// The template places the client area, at its default size; the menu bar sits on top of it. A
// size kept from the last run follows, never below the default.
void DezoRaraClass::placeWindow(const DialogTemplate& dialog, const StoredView& stored) {
    const DialogBaseUnits& units = client_->units();
    const QPoint origin = dialogUnitsToPixels(units, dialog.x, dialog.y);
    const QSize client = client_->defaultSize();
    QSize size(client.width(), client.height() + menuBar()->sizeHint().height());
    if (stored.size.isValid()) {
        size = size.expandedTo(stored.size);
    }
    setGeometry(QRect(origin, size));
    layout()->activate();
    if (stored.maximised) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    placed_ = true;
}

// The height the window may take: the screen's, less the window manager's frame.
int DezoRaraClass::heightRoom() const {
    const QScreen* where = screen();
    return where->availableGeometry().height() - (frameGeometry().height() - height());
}

// A window that grew past the screen's bottom edge moves up, as far as its top edge allows.
void DezoRaraClass::keepOnScreen() {
    const QRect room = screen()->availableGeometry();
    const QRect frame = frameGeometry();
    if (frame.bottom() > room.bottom()) {
        move(x(), std::max(room.top(), room.bottom() - frame.height() + 1) + (y() - frame.y()));
    }
}

// What the rows' band may take: the room the window has on the screen beyond its default size
// without rows, so that the traces keep at least their template height.
int DezoRaraClass::roomForRows() const {
    const int withoutRows = client_->defaultSize().height() - client_->decoderRowsHeight();
    return heightRoom() - (height() - client_->height()) - withoutRows;
}

void DezoRaraClass::resizeWithClient(const std::function<void()>& change) {
    const QSize before = client_->defaultSize();
    const QSize target = size();
    change();
    // The window's smallest size follows now, not when the layout gets round to it.
    layout()->activate();
    if (!isMaximized() && !isFullScreen()) {
        QSize grown = target + (client_->defaultSize() - before);
        grown.setHeight(std::max(std::min(grown.height(), heightRoom()), minimumHeight()));
        resize(grown);
        keepOnScreen();
        // Also a window not shown yet places its client area at once.
        layout()->activate();
    }
}

void DezoRaraClass::applyBand(ViewBand band, bool shown) {
    resizeWithClient([&] { client_->showBand(band, shown); });
    if (placed_) {
        storeView(currentView());
    }
}

StoredView DezoRaraClass::currentView() const {
    StoredView view;
    for (int i = 0; i < kViewBandCount; ++i) {
        view.bands.shown[static_cast<size_t>(i)] = client_->bandShown(static_cast<ViewBand>(i));
    }
    view.decodedData = !decodedData_->isHidden();
    view.maximised = isMaximized();
    view.size = view.maximised && normalGeometry().isValid() ? normalGeometry().size() : size();
    // The decoders are not kept: the next run's window has room for its traces, not their rows.
    view.size -= QSize(0, client_->decoderRowsHeight());
    return view;
}

// A command can change what the bands tell without moving the view (Save As names the file).
void DezoRaraClass::sendCommand(int id) {
    windowSystem_->deliver(commandMessage(id));
    client_->updateBands();
}

void DezoRaraClass::closeEvent(QCloseEvent* event) {
    const StoredView view = currentView();
    const std::vector<std::string> decoders = keptDecoders();
    if (windowSystem_->requestClose()) {
        storeView(view);
        storeKeptDecoders(decoders);
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
    } else if (!keyToTraces(*event)) {
        QMainWindow::keyPressEvent(event);
    }
}

bool DezoRaraClass::keyToTraces(const QKeyEvent& event) {
    GraphClass& traces = client_->traceView();
    const bool pointed = traces.rect().contains(traces.mapFromGlobal(QCursor::pos()));
    if (!pointed || !traces.takeKey(event)) {
        return false;
    }
    traces.setFocus(Qt::ShortcutFocusReason);
    // The keyboard moved the focus: its frame shows.
    setAttribute(Qt::WA_KeyboardFocusChange);
    traces.update();
    return true;
}
