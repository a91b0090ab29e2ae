#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <string_view>

// The font metrics a layout in dialog units is measured with: one horizontal unit is a quarter of
// the average character width, one vertical unit an eighth of the character height (pixels).
struct DialogBaseUnits {
    int averageCharWidth = 0;
    int charHeight = 0;
};

// The font a template names: "Helv", "MS Sans Serif" and any other name map to the system's
// sans-serif; "Swis721 Hv BT" to a heavy sans.
QFont templateFont(std::string_view name, int pointSize);

// Average width of the 52 Latin letters (rounded) and the font's height.
DialogBaseUnits dialogBaseUnits(const QFont& font);

// value * numerator / denominator, rounded half away from zero, without intermediate overflow.
int mulDivRounded(int value, int numerator, int denominator);

QPoint dialogUnitsToPixels(const DialogBaseUnits& units, int x, int y);
QSize dialogUnitsToPixels(const DialogBaseUnits& units, QSize size);
QRect dialogUnitsToPixels(const DialogBaseUnits& units, int x, int y, int width, int height);
