#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

#include "display/trace_view.h"

// A trace canvas without pixels: records the pens made, selected and deleted, and every line with
// the colour of the pen selected when it was drawn.
class RecordingCanvas : public TraceCanvas {
public:
    // The pen selected before any paint, like a device context's stock pen.
    static constexpr Pen kStockPen = 1000;
    static constexpr uint32_t kStockColour = 0x00000000;

    struct Line {
        uint32_t colour = 0;
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        bool operator==(const Line&) const = default;
    };

    std::vector<uint32_t> createdColours;  // by pen, in order of creation
    std::vector<Pen> createdPens;
    std::vector<Pen> selectedPens;  // every pen selected, in order
    std::vector<Pen> deletedPens;
    std::vector<Line> lines;
    std::vector<Line> fills;
    Pen selected = kStockPen;
    uint32_t selectedColour = kStockColour;
    // The n-th call of createPen (1-based, counted over the canvas's life) fails; 0: none fails.
    int failingCreate = 0;

    Pen createPen(uint32_t colour) override;
    Pen selectPen(Pen pen) override;
    void deletePen(Pen pen) override;
    void line(int x0, int y0, int x1, int y1) override;
    // Recorded as a line from its top-left to its bottom-right corner (both outside the pixels).
    void fill(int x0, int y0, int x1, int y1) override;

    // Pens created and not yet deleted.
    int livePens() const;
    // The lines drawn in one colour.
    std::vector<Line> linesIn(uint32_t colour) const;
    // Forgets what was recorded; the selected pen stays.
    void clear();

private:
    int createCalls_ = 0;
};

// So that failed expectations show lines readably.
void PrintTo(const RecordingCanvas::Line& line, std::ostream* out);
