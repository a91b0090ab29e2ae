#pragma once

#include "shell/qt_template_dialog.h"

class QWidget;

// Settings > Speed > Slow: the template's dialog with its slider on the Slow delay kept for this
// run and, under it, the most samples a second that delay allows, following the slider. The
// position it is left at becomes the Slow delay, however the dialog is closed.
void runSpeedDialog(QWidget& owner, const QWidget& origin, DialogProcedure procedure);
