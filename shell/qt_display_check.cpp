#include "shell/qt_display_check.h"

#include <QString>
#include <QtGlobal>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kNoDisplayStatus = 1;

QtMessageHandler qtHandler = nullptr;

void sayNoDisplay() {
    std::fputs(
        "pinprobe: no display could be opened; the desktop program needs a graphical session "
        "(DISPLAY or WAYLAND_DISPLAY).\n"
        "pinprobe: pinprobe-cli captures, inspects and exports scope files without one.\n",
        stderr);
}

// Qt's own end when no platform could be started is a fatal message: ours takes its place.
void onQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        sayNoDisplay();
        std::_Exit(kNoDisplayStatus);
    }
    qtHandler(type, context, text);
}

}  // namespace

bool expectDisplay(int argc, char** argv) {
    // A platform chosen by name is left to Qt to try: only its own failure tells.
    const bool platformNamed = std::any_of(argv, argv + argc, [](const char* argument) {
        return std::strcmp(argument, "-platform") == 0 || std::strcmp(argument, "--platform") == 0;
    });
    if (!platformNamed && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        sayNoDisplay();
        return false;
    }
    qtHandler = qInstallMessageHandler(&onQtMessage);
    return true;
}

void displayOpened() {
    qInstallMessageHandler(qtHandler);
}
