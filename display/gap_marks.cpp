#include "display/gap_marks.h"

#include <algorithm>

namespace {

// Each level stands for ten times the time of the one below.
constexpr double kLevelFactor = 10;

}  // namespace

GapMarkLevel gapMarkLevel(uint64_t nanoseconds, uint32_t failedReads, double secondsPerColumn) {
    const GapMarkLevel least = failedReads > 0 ? GapMarkLevel::Faint : GapMarkLevel::RulerTick;
    if (!(secondsPerColumn > 0)) {
        return least;
    }
    double columns = static_cast<double>(nanoseconds) * kSecondsPerNanosecond / secondsPerColumn;
    int level = 0;
    while (columns >= 1 && level < static_cast<int>(GapMarkLevel::Strong)) {
        ++level;
        columns /= kLevelFactor;
    }
    return std::max(least, static_cast<GapMarkLevel>(level));
}

int gapMarkWidth(GapMarkLevel level) {
    return static_cast<int>(level);
}

uint32_t gapMarkColour(GapMarkLevel level) {
    switch (level) {
        case GapMarkLevel::Faint:
            return 0x00000060;
        case GapMarkLevel::Clear:
            return 0x000000A0;
        case GapMarkLevel::Strong:
            return kGapColour;
        case GapMarkLevel::RulerTick:
            break;
    }
    return 0;
}

GapColumns::GapColumns(int width) : levels_(static_cast<size_t>(std::max(width, 0))) {}

void GapColumns::add(int x, GapMarkLevel level) {
    if (x < 0 || x >= static_cast<int>(levels_.size())) {
        return;
    }
    GapMarkLevel& column = levels_[static_cast<size_t>(x)];
    column = std::max(column, level);
    marked_ = marked_ || level != GapMarkLevel::RulerTick;
}

GapMarkLevel GapColumns::at(int x) const {
    return x >= 0 && x < static_cast<int>(levels_.size()) ? levels_[static_cast<size_t>(x)]
                                                          : GapMarkLevel::RulerTick;
}

void GapColumns::draw(TraceCanvas& canvas, int height) const {
    if (!marked_) {
        return;
    }
    for (const GapMarkLevel level :
         {GapMarkLevel::Faint, GapMarkLevel::Clear, GapMarkLevel::Strong}) {
        if (std::find(levels_.begin(), levels_.end(), level) == levels_.end()) {
            continue;
        }
        const TraceCanvas::Pen pen = canvas.createPen(gapMarkColour(level));
        if (pen == 0) {
            continue;
        }
        const TraceCanvas::Pen previous = canvas.selectPen(pen);
        const int width = gapMarkWidth(level);
        for (size_t x = 0; x < levels_.size(); ++x) {
            if (levels_[x] == level) {
                const int left = static_cast<int>(x) - (width - 1) / 2;
                canvas.fill(left, 0, left + width, height);
            }
        }
        canvas.selectPen(previous);
        canvas.deletePen(pen);
    }
}

double secondsPerColumn(const TimeBase& timeBase, double samplesPerPixel) {
    const double median = timeBase.periodSpread().median;
    const double period = median > 0 ? median : timeBase.meanPeriod();
    return period * samplesPerPixel;
}
