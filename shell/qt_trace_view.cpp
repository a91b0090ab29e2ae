#include "shell/qt_trace_view.h"

#include <QPainter>

#include "display/trace_view.h"
#include "shell/qt_trace_canvas.h"

GraphClass::GraphClass(QWidget* parent) : QWidget(parent) {
    // Every paint starts from a black background, so nothing of an older picture stays.
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    setCursor(Qt::ArrowCursor);
    setFocusPolicy(Qt::NoFocus);
}

void GraphClass::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QtTraceCanvas canvas(painter);
    paintTrace(canvas, width(), height());
}
