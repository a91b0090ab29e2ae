#pragma once

#include <QWidget>

#include "shell/qt_spoken_view.h"

// The channels' names left of their traces: number and status line, and the connector pin under
// them, each beside the middle of its trace as the trace view's rows place it.
class ChannelLabels : public QWidget, public SpokenView {
    Q_OBJECT

public:
    ChannelLabels(QWidget* parent, const QWidget& traceView);

    // The width the longest label needs.
    int neededWidth() const;

    QAccessible::Role spokenRole() const override { return QAccessible::StaticText; }
    QString spokenName() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QWidget& traceView_;
};
