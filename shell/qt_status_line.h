#pragma once

#include <QWidget>

#include "shell/qt_spoken_view.h"

// The line under the buttons: the recording's file, samples, rate and length, or a capture's
// progress while the worker runs it. Each paint reads the session; a screen reader hears the text
// as its name. A text too long for the line is cut short with an ellipsis, and its tooltip shows
// it whole.
class StatusLine : public QWidget, public SpokenView {
    Q_OBJECT

public:
    explicit StatusLine(QWidget* parent);

    int neededHeight() const;
    // The text as the next paint shows it.
    QString text() const;

    QAccessible::Role spokenRole() const override { return QAccessible::StatusBar; }
    QString spokenName() const override { return text(); }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QRect textRoom() const;
};
