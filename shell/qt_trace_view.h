#pragma once

#include <QTimer>
#include <QWidget>

// The trace view: a black panel that paints the session's samples at every paint and keeps
// nothing of its own. While the worker captures, it paints again every few tens of milliseconds,
// so that the samples fill in as they are stored.
class GraphClass : public QWidget {
    Q_OBJECT

public:
    explicit GraphClass(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer liveRefresh_;
};
