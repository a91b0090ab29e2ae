#include "shell/qt_trace_view.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include "app/marker.h"
#include "core/scope_session.h"
#include "display/trace_view.h"
#include "shell/qt_program_scroll_bar.h"
#include "shell/qt_template_builder.h"
#include "shell/qt_trace_canvas.h"

namespace {

// About 25 pictures a second: smooth enough to watch, and a paint costs well under that.
constexpr int kLiveRefreshMilliseconds = 40;

}  // namespace

GraphClass::GraphClass(QWidget* parent) : QWidget(parent) {
    // Every paint starts from a black background, so nothing of an older picture stays.
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    setCursor(Qt::ArrowCursor);
    setFocusPolicy(Qt::NoFocus);
    liveRefresh_.setSingleShot(true);
    liveRefresh_.setInterval(kLiveRefreshMilliseconds);
    connect(&liveRefresh_, &QTimer::timeout, this, [this] { update(); });
    // Moves without a button pressed keep a shown readout up to date; a right click clears the
    // marker rather than opening a menu.
    setMouseTracking(true);
    setContextMenuPolicy(Qt::PreventContextMenu);
}

void GraphClass::attachTo(WindowSystem& mainWindow) {
    mainWindow_ = &mainWindow;
}

void GraphClass::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QtTraceCanvas canvas(painter);
    paintTrace(canvas, width(), height());
    if (scopeSession.workerCapturing) {
        liveRefresh_.start();
    }
}

bool GraphClass::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        showReadout(static_cast<QHelpEvent*>(event)->pos());
        return true;
    }
    return QWidget::event(event);
}

TracePointer GraphClass::pointerAt(QPoint position) const {
    return TracePointer{position.x(), position.y(), width(), height()};
}

void GraphClass::showReadout(QPoint position) {
    const std::string text = pointerReadout(pointerAt(position));
    if (text.empty()) {
        QToolTip::hideText();
        return;
    }
    QToolTip::showText(mapToGlobal(position), toQString(text), this);
}

// A readout that is up follows the pointer; clicks and the wheel take it down, as Qt's tooltips go.
void GraphClass::mouseMoveEvent(QMouseEvent* event) {
    if (QToolTip::isVisible()) {
        showReadout(event->position().toPoint());
    }
}

void GraphClass::mousePressEvent(QMouseEvent* event) {
    if (mainWindow_ == nullptr) {
        return;
    }
    if (event->button() == Qt::LeftButton) {
        placeMarker(*mainWindow_, pointerAt(event->position().toPoint()));
    } else if (event->button() == Qt::RightButton) {
        clearMarker(*mainWindow_);
    }
}

void GraphClass::wheelEvent(QWheelEvent* event) {
    const int notches = wheel_.add(wheelAngle(*event));
    if (mainWindow_ != nullptr && notches != 0) {
        const bool zoom = (event->modifiers() & Qt::ControlModifier) != 0;
        turnWheel(*mainWindow_, pointerAt(event->position().toPoint()), notches, zoom);
    }
    event->accept();
}
