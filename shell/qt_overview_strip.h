#pragma once

#include <QWidget>

#include "app/view/overview_input.h"
#include "app/view/trace_input.h"
#include "shell/qt_spoken_view.h"

class WindowSystem;

// The whole recording in min/max form above the ruler, the visible samples in a box. A click or a
// drag moves the view, the wheel zooms around the sample pointed at, a double click fits the
// whole recording. It keeps nothing of its own: each paint reads the session.
class OverviewStrip : public QWidget, public SpokenView {
    Q_OBJECT

public:
    OverviewStrip(QWidget* parent, const QWidget& traceView);

    void attachTo(WindowSystem& mainWindow);

    QAccessible::Role spokenRole() const override { return QAccessible::Chart; }
    // The stretch on screen and the whole recording's.
    QString spokenName() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    const QWidget& traceView_;
    WindowSystem* mainWindow_ = nullptr;
    OverviewDrag drag_;
    WheelNotches wheel_;
};
