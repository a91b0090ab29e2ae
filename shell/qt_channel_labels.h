#pragma once

#include <QWidget>

// The channels' names left of their traces: number and status line, and the connector pin under
// them, each beside the middle of its trace as the trace view's rows place it.
class ChannelLabels : public QWidget {
    Q_OBJECT

public:
    ChannelLabels(QWidget* parent, const QWidget& traceView);

    // The width the longest label needs.
    int neededWidth() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QWidget& traceView_;
};
