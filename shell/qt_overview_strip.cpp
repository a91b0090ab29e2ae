#include "shell/qt_overview_strip.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cstdlib>

#include "app/readout/view_text.h"
#include "core/scope_session.h"
#include "core/window_system.h"
#include "display/overview.h"
#include "display/trace_geometry.h"
#include "resources/command_ids.h"
#include "shell/qt_program_scroll_bar.h"
#include "shell/qt_template_builder.h"
#include "shell/qt_trace_canvas.h"

OverviewStrip::OverviewStrip(QWidget* parent, const QWidget& traceView)
    : QWidget(parent), traceView_(traceView) {
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    setCursor(Qt::PointingHandCursor);
    setToolTip(
        QStringLiteral("The whole recording: click or drag to move the view, wheel to zoom, "
                       "double-click to fit"));
}

void OverviewStrip::attachTo(WindowSystem& mainWindow) {
    mainWindow_ = &mainWindow;
}

QString OverviewStrip::spokenName() const {
    const int width = traceView_.width();
    return toQString(overviewText(viewGeometry(scopeSession, width, traceView_.height()), width));
}

void OverviewStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QtTraceCanvas canvas(painter);
    paintOverview(canvas, width(), height(), traceView_.width());
}

void OverviewStrip::mousePressEvent(QMouseEvent* event) {
    if (mainWindow_ != nullptr && event->button() == Qt::LeftButton) {
        drag_.press(*mainWindow_, event->position().toPoint().x(), width(), traceView_.width());
    }
}

void OverviewStrip::mouseMoveEvent(QMouseEvent* event) {
    if (mainWindow_ != nullptr && (event->buttons() & Qt::LeftButton) != 0) {
        drag_.dragTo(*mainWindow_, event->position().toPoint().x(), width());
    }
}

void OverviewStrip::mouseDoubleClickEvent(QMouseEvent* event) {
    if (mainWindow_ != nullptr && event->button() == Qt::LeftButton) {
        mainWindow_->sendMessage(commandMessage(CMD_ZOOM_FIT));
    }
}

// Away from the user zooms in, as Ctrl+wheel over the traces does.
void OverviewStrip::wheelEvent(QWheelEvent* event) {
    const int notches = wheel_.add(wheelAngle(*event));
    for (int n = std::abs(notches); mainWindow_ != nullptr && n > 0; --n) {
        zoomAtOverview(*mainWindow_, event->position().toPoint().x(), width(), traceView_.width(),
                       notches > 0);
    }
    event->accept();
}
