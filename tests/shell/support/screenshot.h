#pragma once

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QString>
#include <QWidget>

// With PINPROBE_SCREENSHOTS set to a folder (and a real display, e.g. under xvfb-run), the
// screen as it is, for looking at.
inline void saveScreenshot(const char* name) {
    const QString folder = qEnvironmentVariable("PINPROBE_SCREENSHOTS");
    if (!folder.isEmpty()) {
        QGuiApplication::primaryScreen()->grabWindow(0).save(folder + "/" + name + ".png");
    }
}

// With PINPROBE_SCREENSHOTS set to a folder (and a real display, e.g. under xvfb-run), `widget`
// as it paints itself.
inline void saveShot(QWidget& widget, const char* name) {
    const QString folder = qEnvironmentVariable("PINPROBE_SCREENSHOTS");
    if (!folder.isEmpty()) {
        QCoreApplication::sendPostedEvents();
        widget.grab().save(folder + "/" + name + ".png");
    }
}
