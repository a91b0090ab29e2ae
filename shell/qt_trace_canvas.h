#pragma once

#include <QPen>
#include <array>

#include "display/trace_view.h"

class QPainter;

// Backs the trace canvas with a painter: solid 1-pixel cosmetic pens, no antialiasing. The pen
// the painter had when the canvas was made is the canvas's "no pen" (0), so that selecting the pen
// a paint started with gives it back.
class QtTraceCanvas : public TraceCanvas {
public:
    explicit QtTraceCanvas(QPainter& painter);

    Pen createPen(uint32_t colour) override;
    Pen selectPen(Pen pen) override;
    void deletePen(Pen pen) override;
    void line(int x0, int y0, int x1, int y1) override;
    void fill(int x0, int y0, int x1, int y1) override;

private:
    struct Slot {
        QPen pen;
        bool inUse = false;
    };
    // A paint needs two pens; a few more leave room without growing.
    static constexpr int kPenSlots = 12;  // grid, five channels, marks and lines on top

    bool isLive(Pen pen) const;

    QPainter& painter_;
    QPen startPen_;
    std::array<Slot, kPenSlots> slots_{};
    Pen selected_ = 0;
};

// 0x00BBGGRR, as the colour constants are written, to a QColor.
QColor colourFromBgr(uint32_t colour);
