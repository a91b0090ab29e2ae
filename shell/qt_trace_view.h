#pragma once

#include <QWidget>

// The trace view: a black panel that paints the session's samples at every paint and keeps
// nothing of its own.
class GraphClass : public QWidget {
    Q_OBJECT

public:
    explicit GraphClass(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
