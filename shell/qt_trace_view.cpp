#include "shell/qt_trace_view.h"

#include <QCursor>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QToolTip>
#include <QWheelEvent>

#include "app/readout/span_text.h"
#include "app/readout/view_text.h"
#include "app/view/edge_search.h"
#include "app/view/marker.h"
#include "app/view/navigation.h"
#include "core/scope_session.h"
#include "core/window_system.h"
#include "display/trace_geometry.h"
#include "display/trace_view.h"
#include "shell/qt_program_scroll_bar.h"
#include "shell/qt_template_builder.h"
#include "shell/qt_trace_canvas.h"

namespace {

// About 25 pictures a second: smooth enough to watch, and a paint costs well under that.
constexpr int kLiveRefreshMilliseconds = 40;
constexpr int kFocusFrameWidth = 2;

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
    connect(&liveRefresh_, &QTimer::timeout, this, [this] {
        if (liveTick_) {
            liveTick_();
        } else {
            update();
        }
    });
    // Moves without a button pressed keep a shown readout up to date; a right click clears the
    // marker rather than opening a menu.
    setMouseTracking(true);
    setContextMenuPolicy(Qt::PreventContextMenu);
}

void GraphClass::attachTo(WindowSystem& mainWindow) {
    mainWindow_ = &mainWindow;
}

void GraphClass::setLiveTick(std::function<void()> tick) {
    liveTick_ = std::move(tick);
}

QString GraphClass::spokenDescription() const {
    std::string text = traceViewText(viewGeometry(scopeSession, width(), height()), width());
    for (const std::string& line : spanLines()) {
        text += "; " + line;
    }
    return toQString(text);
}

void GraphClass::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QtTraceCanvas canvas(painter);
    paintTrace(canvas, width(), height());
    paintSpanPanel(painter);
    // As the style's focus frames, shown only to those who use the keyboard: a click leaves the
    // picture as it was.
    if (hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange)) {
        QPen frame(palette().color(QPalette::Highlight), kFocusFrameWidth);
        frame.setJoinStyle(Qt::MiterJoin);
        painter.setPen(frame);
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
    if (scopeSession.workerCapturing) {
        liveRefresh_.start();
    }
}

// In the top right corner, over the traces, for as long as both markers stand.
void GraphClass::paintSpanPanel(QPainter& painter) const {
    const std::vector<std::string> lines = spanLines();
    if (lines.empty()) {
        return;
    }
    const QFontMetrics metrics(font());
    int textWidth = 0;
    for (const std::string& line : lines) {
        textWidth = std::max(textWidth, metrics.horizontalAdvance(toQString(line)));
    }
    const int margin = metrics.averageCharWidth();
    const int lineHeight = metrics.height();
    const QRect panel(width() - textWidth - 3 * margin, margin, textWidth + 2 * margin,
                      static_cast<int>(lines.size()) * lineHeight + margin);
    painter.setPen(QColor(0, 255, 255));
    painter.setBrush(QColor(0, 0, 0, 200));
    painter.drawRect(panel);
    painter.setPen(Qt::white);
    int baseline = panel.top() + margin / 2 + metrics.ascent();
    for (const std::string& line : lines) {
        painter.drawText(panel.left() + margin, baseline, toQString(line));
        baseline += lineHeight;
    }
}

void GraphClass::resizeEvent(QResizeEvent*) {
    scopeSession.view.viewWidth = width();
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
    readoutAt_ = position;
    const std::string text = pointerReadout(pointerAt(position));
    if (text.empty()) {
        QToolTip::hideText();
        return;
    }
    QToolTip::showText(mapToGlobal(position), toQString(text), this);
}

// A readout that is up follows the pointer; clicks and the wheel take it down, as Qt's tooltips go.
void GraphClass::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    pointerChannel_ = channelAtY(viewGeometry(scopeSession, width(), height()), at.y());
    if (QToolTip::isVisible()) {
        showReadout(at);
    }
}

void GraphClass::mousePressEvent(QMouseEvent* event) {
    if (mainWindow_ == nullptr) {
        return;
    }
    const TracePointer pointer = pointerAt(event->position().toPoint());
    const bool shifted = (event->modifiers() & Qt::ShiftModifier) != 0;
    if (event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && shifted)) {
        placeSecondMarker(*mainWindow_, pointer);
    } else if (event->button() == Qt::LeftButton) {
        placeMarker(*mainWindow_, pointer);
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

bool GraphClass::scrollByKey(const QKeyEvent& event) {
    if (event.modifiers() != Qt::NoModifier && event.modifiers() != Qt::KeypadModifier) {
        return false;
    }
    const std::optional<int> code = scrollCodeOfKey(event.key());
    if (code) {
        mainWindow_->sendMessage(WindowMessage{MSG_HSCROLL, static_cast<uint32_t>(*code), 0});
    }
    return code.has_value();
}

bool GraphClass::jumpByKey(const QKeyEvent& event) {
    const bool alt = event.modifiers() == Qt::AltModifier;
    const bool next = event.text() == QStringLiteral(".") || (alt && event.key() == Qt::Key_Right);
    const bool previous =
        event.text() == QStringLiteral(",") || (alt && event.key() == Qt::Key_Left);
    if (!next && !previous) {
        return false;
    }
    jumpToEdge(*mainWindow_, edgeChannel(), next);
    followMarker();
    return true;
}

bool GraphClass::triggerByKey(const QKeyEvent& event) {
    if (event.text() != QStringLiteral("t")) {
        return false;
    }
    jumpToTrigger(*mainWindow_);
    followMarker();
    return true;
}

// The readout measures from the marker: it would go stale until the pointer moved.
void GraphClass::followMarker() {
    if (QToolTip::isVisible()) {
        showReadout(readoutAt_);
    }
}

bool GraphClass::spanByKey(const QKeyEvent& event) {
    if (event.text() != QStringLiteral("m")) {
        return false;
    }
    dropSecondMarker(*mainWindow_);
    return true;
}

bool GraphClass::gapByKey(const QKeyEvent& event) {
    const bool next = event.text() == QStringLiteral("g");
    if (!next && event.text() != QStringLiteral("G")) {
        return false;
    }
    jumpToGap(*mainWindow_, next);
    followMarker();
    return true;
}

int GraphClass::edgeChannel() const {
    if (pointerChannel_) {
        return *pointerChannel_;
    }
    const QPoint at = mapFromGlobal(QCursor::pos());
    if (rect().contains(at)) {
        return channelAtY(viewGeometry(scopeSession, width(), height()), at.y());
    }
    return 0;
}

bool GraphClass::takeKey(const QKeyEvent& event) {
    return mainWindow_ != nullptr && (scrollByKey(event) || jumpByKey(event) || gapByKey(event) ||
                                      triggerByKey(event) || spanByKey(event));
}

// Keys it does not take (Esc among them) go on to the main window.
void GraphClass::keyPressEvent(QKeyEvent* event) {
    if (takeKey(*event)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}
