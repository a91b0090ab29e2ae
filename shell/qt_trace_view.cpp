#include "shell/qt_trace_view.h"

#include <QPainter>

#include "core/scope_session.h"
#include "display/trace_view.h"
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
}

void GraphClass::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QtTraceCanvas canvas(painter);
    paintTrace(canvas, width(), height());
    if (scopeSession.workerCapturing) {
        liveRefresh_.start();
    }
}
