#include "tests/support/recording_canvas.h"

#include <algorithm>
#include <iterator>

TraceCanvas::Pen RecordingCanvas::createPen(uint32_t colour) {
    ++createCalls_;
    if (createCalls_ == failingCreate) {
        return 0;
    }
    createdColours.push_back(colour);
    const Pen pen = static_cast<Pen>(createCalls_);
    createdPens.push_back(pen);
    return pen;
}

TraceCanvas::Pen RecordingCanvas::selectPen(Pen pen) {
    selectedPens.push_back(pen);
    const Pen previous = selected;
    selected = pen;
    const auto found = std::find(createdPens.begin(), createdPens.end(), pen);
    selectedColour =
        found != createdPens.end() ? createdColours[found - createdPens.begin()] : kStockColour;
    return previous;
}

void RecordingCanvas::deletePen(Pen pen) {
    deletedPens.push_back(pen);
}

void RecordingCanvas::line(int x0, int y0, int x1, int y1) {
    lines.push_back({selectedColour, x0, y0, x1, y1});
}

void RecordingCanvas::fill(int x0, int y0, int x1, int y1) {
    fills.push_back({selectedColour, x0, y0, x1, y1});
}

int RecordingCanvas::livePens() const {
    int live = 0;
    for (Pen pen : createdPens) {
        live += std::count(deletedPens.begin(), deletedPens.end(), pen) == 0 ? 1 : 0;
    }
    return live;
}

std::vector<RecordingCanvas::Line> RecordingCanvas::linesIn(uint32_t colour) const {
    std::vector<Line> found;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(found),
                 [colour](const Line& l) { return l.colour == colour; });
    return found;
}

void RecordingCanvas::clear() {
    createdColours.clear();
    createdPens.clear();
    selectedPens.clear();
    deletedPens.clear();
    lines.clear();
    fills.clear();
}

void PrintTo(const RecordingCanvas::Line& line, std::ostream* out) {
    *out << std::hex << "0x" << line.colour << std::dec << " (" << line.x0 << "," << line.y0
         << ")-(" << line.x1 << "," << line.y1 << ")";
}
