#include "shell/qt_trace_canvas.h"

#include <QPainter>

QColor colourFromBgr(uint32_t colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

QtTraceCanvas::QtTraceCanvas(QPainter& painter) : painter_(painter), startPen_(painter.pen()) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
}

bool QtTraceCanvas::isLive(Pen pen) const {
    return pen >= 1 && pen <= kPenSlots && slots_[pen - 1].inUse;
}

TraceCanvas::Pen QtTraceCanvas::createPen(uint32_t colour) {
    for (int i = 0; i < kPenSlots; ++i) {
        Slot& slot = slots_[i];
        if (!slot.inUse) {
            // A flat cap leaves a segment's end pixel to the segment that starts there.
            slot.pen = QPen(colourFromBgr(colour), 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
            slot.pen.setCosmetic(true);
            slot.inUse = true;
            return i + 1;
        }
    }
    return 0;
}

TraceCanvas::Pen QtTraceCanvas::selectPen(Pen pen) {
    const Pen previous = selected_;
    selected_ = isLive(pen) ? pen : 0;
    painter_.setPen(selected_ != 0 ? slots_[selected_ - 1].pen : startPen_);
    return previous;
}

void QtTraceCanvas::deletePen(Pen pen) {
    if (isLive(pen)) {
        slots_[pen - 1].inUse = false;
    }
}

void QtTraceCanvas::line(int x0, int y0, int x1, int y1) {
    painter_.drawLine(x0, y0, x1, y1);
}

void QtTraceCanvas::fill(int x0, int y0, int x1, int y1) {
    painter_.fillRect(QRect(x0, y0, x1 - x0, y1 - y0), painter_.pen().color());
}
