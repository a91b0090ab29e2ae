#pragma once

#include <QScrollBar>
#include <cstdint>
#include <functional>
#include <optional>

#include "app/view/trace_input.h"
#include "core/window_system.h"

class QWheelEvent;

// How far a wheel event turns, in eighths of a degree: the horizontal turn of a tilting wheel or a
// touchpad when there is one, else the vertical. Positive is away from the user (or left).
int wheelAngle(const QWheelEvent& event);

// The scroll notification code a key stands for (arrows, Page Up/Down, Home, End), if any.
std::optional<int> scrollCodeOfKey(int key);

// A horizontal scroll bar whose thumb only the program moves. Clicks, drags, keys and the wheel
// become scroll notifications (code and, for the thumb, its full position); the thumb stays where
// the program put it until the program moves it.
class ProgramScrollBar : public QScrollBar {
public:
    using ScrollSink = std::function<void(int code, int32_t thumbPosition)>;

    explicit ProgramScrollBar(QWidget* parent = nullptr);

    void setScrollSink(ScrollSink sink);

    // The range as the program set it, even when its high end lies below its low end.
    ScrollRange programRange() const;
    void setProgramRange(int32_t low, int32_t high);
    // Clamped into the range, as the bar shows it.
    void setProgramPosition(int32_t position);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void onAction(int action);
    void onPressed();
    void onReleased();
    void notify(int code, int32_t thumbPosition);

    ScrollSink sink_;
    ScrollRange range_{};
    int32_t trackPosition_ = 0;
    WheelNotches wheel_;
};
