#pragma once

#include <QWidget>

#include "shell/qt_spoken_view.h"

// The ruler between the overview and the traces: ticks over the trace view's width, labelled in
// the unit that fits from the recording's time base, or with sample numbers without one; gaps in
// the sampling in red. Each paint reads the session.
class TimeRuler : public QWidget, public SpokenView {
    Q_OBJECT

public:
    TimeRuler(QWidget* parent, const QWidget& traceView);

    // Its labels' line and the ticks under them.
    int neededHeight() const;

    QAccessible::Role spokenRole() const override { return QAccessible::StaticText; }
    // The stretch between the traces' edges.
    QString spokenName() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QWidget& traceView_;
};
