#pragma once

#include <QTimer>
#include <QWidget>

#include "app/pointer_readout.h"
#include "app/trace_input.h"

class WindowSystem;

// The trace view: a black panel that paints the session's samples at every paint and keeps
// nothing of its own. While the worker captures, it paints again every few tens of milliseconds,
// so that the samples fill in as they are stored. Hovering shows the readout of the point under
// the pointer; once attached to the main window, clicks set and clear the marker and the wheel
// scrolls and zooms.
class GraphClass : public QWidget {
    Q_OBJECT

public:
    explicit GraphClass(QWidget* parent = nullptr);

    void attachTo(WindowSystem& mainWindow);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    TracePointer pointerAt(QPoint position) const;
    // Shows the readout at `position`, or hides the tooltip where there is none.
    void showReadout(QPoint position);

    QTimer liveRefresh_;
    WindowSystem* mainWindow_ = nullptr;
    WheelNotches wheel_;
};
