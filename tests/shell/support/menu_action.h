#pragma once

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>

// The menu bar's entry, in any menu, that carries the command `id`.
inline QAction* menuAction(QMainWindow& window, int id) {
    for (QAction* action : window.menuBar()->findChildren<QAction*>()) {
        if (action->menu() == nullptr && action->data().toInt() == id) {
            return action;
        }
    }
    return nullptr;
}
