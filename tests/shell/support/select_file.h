#pragma once

#include <QFileDialog>
#include <QString>
#include <QWidget>

// Puts `file` into a file chooser as a user's typing would. QFileDialog::selectFile leaves the
// name field alone while that field has the keyboard, which it takes once the chooser is up, so
// the focus goes first: a test's answer then takes however late it comes.
inline void selectFileIn(QFileDialog& chooser, const QString& file) {
    if (QWidget* focus = chooser.focusWidget()) {
        focus->clearFocus();
    }
    chooser.selectFile(file);
}
