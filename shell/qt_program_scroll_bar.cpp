#include "shell/qt_program_scroll_bar.h"

#include <QKeyEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>
#include <utility>

#include "app/view/navigation.h"

ProgramScrollBar::ProgramScrollBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {
    setSingleStep(kLineStep);
    setPageStep(kPageStep);
    setProgramRange(0, 0);  // a new scroll bar control has an empty range
    // "Scroll here" of the built-in menu would move the thumb behind the program's back.
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(this, &QAbstractSlider::actionTriggered, this, &ProgramScrollBar::onAction);
    connect(this, &QAbstractSlider::sliderPressed, this, &ProgramScrollBar::onPressed);
    connect(this, &QAbstractSlider::sliderReleased, this, &ProgramScrollBar::onReleased);
}

void ProgramScrollBar::setScrollSink(ScrollSink sink) {
    sink_ = std::move(sink);
}

ScrollRange ProgramScrollBar::programRange() const {
    return range_;
}

void ProgramScrollBar::setProgramRange(int32_t low, int32_t high) {
    range_ = ScrollRange{low, high};
    setRange(low, std::max(low, high));
}

void ProgramScrollBar::setProgramPosition(int32_t position) {
    setValue(position);
}

// Qt has already moved the slider position for the action; it is put back before anyone sees it,
// and the program decides in the notification where the thumb goes.
void ProgramScrollBar::onAction(int action) {
    const int32_t requested = sliderPosition();
    setSliderPosition(value());
    switch (action) {
        case SliderSingleStepSub:
            notify(SCROLL_LINE_LEFT, 0);
            break;
        case SliderSingleStepAdd:
            notify(SCROLL_LINE_RIGHT, 0);
            break;
        case SliderPageStepSub:
            notify(SCROLL_PAGE_LEFT, 0);
            break;
        case SliderPageStepAdd:
            notify(SCROLL_PAGE_RIGHT, 0);
            break;
        case SliderToMinimum:
            notify(SCROLL_LEFT, 0);
            break;
        case SliderToMaximum:
            notify(SCROLL_RIGHT, 0);
            break;
        case SliderMove:
            if (isSliderDown()) {
                trackPosition_ = requested;
                notify(SCROLL_THUMB_TRACK, requested);
            }
            break;
        default:
            break;
    }
}

void ProgramScrollBar::onPressed() {
    trackPosition_ = value();
}

void ProgramScrollBar::onReleased() {
    notify(SCROLL_THUMB_POSITION, trackPosition_);
}

std::optional<int> scrollCodeOfKey(int key) {
    static constexpr std::pair<int, int> kKeys[] = {
        {Qt::Key_Left, SCROLL_LINE_LEFT},   {Qt::Key_Up, SCROLL_LINE_LEFT},
        {Qt::Key_Right, SCROLL_LINE_RIGHT}, {Qt::Key_Down, SCROLL_LINE_RIGHT},
        {Qt::Key_PageUp, SCROLL_PAGE_LEFT}, {Qt::Key_PageDown, SCROLL_PAGE_RIGHT},
        {Qt::Key_Home, SCROLL_LEFT},        {Qt::Key_End, SCROLL_RIGHT},
    };
    for (const auto& [known, code] : kKeys) {
        if (key == known) {
            return code;
        }
    }
    return std::nullopt;
}

int wheelAngle(const QWheelEvent& event) {
    const QPoint delta = event.angleDelta();
    return delta.x() != 0 ? delta.x() : delta.y();
}

// One line per wheel notch; the built-in handling would move the thumb itself.
void ProgramScrollBar::wheelEvent(QWheelEvent* event) {
    const int notches = wheel_.add(wheelAngle(*event));
    for (int n = std::abs(notches); n > 0; --n) {
        notify(notches > 0 ? SCROLL_LINE_LEFT : SCROLL_LINE_RIGHT, 0);
    }
    event->accept();
}

// The keys of a focused scroll bar, decided here: Qt's own mapping runs backwards on a bar with
// inverted controls.
void ProgramScrollBar::keyPressEvent(QKeyEvent* event) {
    const std::optional<int> code = scrollCodeOfKey(event->key());
    if (code && event->modifiers() == Qt::NoModifier) {
        notify(*code, 0);
        event->accept();
        return;
    }
    QScrollBar::keyPressEvent(event);
}

void ProgramScrollBar::notify(int code, int32_t thumbPosition) {
    if (sink_) {
        sink_(code, thumbPosition);
    }
}
