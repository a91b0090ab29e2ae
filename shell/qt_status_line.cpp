#include "shell/qt_status_line.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include "app/readout/status_text.h"
#include "shell/qt_template_builder.h"

namespace {

constexpr int kMargin = 3;

}  // namespace

StatusLine::StatusLine(QWidget* parent) : QWidget(parent) {}

int StatusLine::neededHeight() const {
    return QFontMetrics(font()).height() + 2 * kMargin;
}

QString StatusLine::text() const {
    return toQString(statusText(LiveClock::now()));
}

QRect StatusLine::textRoom() const {
    return rect().adjusted(2 * kMargin, 1, -2 * kMargin, 0);
}

bool StatusLine::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QWidget::event(event);
    }
    const QString whole = text();
    if (fontMetrics().horizontalAdvance(whole) > textRoom().width()) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), whole, this);
    } else {
        QToolTip::hideText();
    }
    return true;
}

void StatusLine::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, 0, width(), 0);
    painter.setPen(palette().color(QPalette::WindowText));
    const QRect room = textRoom();
    painter.drawText(room, Qt::AlignLeft | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(text(), Qt::ElideRight, room.width()));
}
