#include "shell/qt_dialog_units.h"

#include <QFontMetrics>
#include <cstdint>

QFont templateFont(std::string_view name, int pointSize) {
    QFont font(QStringLiteral("Sans Serif"), pointSize);
    font.setStyleHint(QFont::SansSerif);
    if (name == "Swis721 Hv BT") {
        font.setWeight(QFont::Black);
    }
    return font;
}

DialogBaseUnits dialogBaseUnits(const QFont& font) {
    static constexpr int kLetters = 52;
    const QFontMetrics metrics(font);
    const int advance = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return DialogBaseUnits{(advance + kLetters / 2) / kLetters, metrics.height()};
}

int mulDivRounded(int value, int numerator, int denominator) {
    if (denominator == 0) {
        return 0;
    }
    int64_t product = int64_t{value} * numerator;
    int64_t divisor = denominator;
    if (divisor < 0) {
        product = -product;
        divisor = -divisor;
    }
    const int64_t half = divisor / 2;
    const int64_t rounded = product >= 0 ? (product + half) / divisor : (product - half) / divisor;
    return static_cast<int>(rounded);
}

QPoint dialogUnitsToPixels(const DialogBaseUnits& units, int x, int y) {
    return QPoint(mulDivRounded(x, units.averageCharWidth, 4),
                  mulDivRounded(y, units.charHeight, 8));
}

QSize dialogUnitsToPixels(const DialogBaseUnits& units, QSize size) {
    const QPoint corner = dialogUnitsToPixels(units, size.width(), size.height());
    return QSize(corner.x(), corner.y());
}

QRect dialogUnitsToPixels(const DialogBaseUnits& units, int x, int y, int width, int height) {
    return QRect(dialogUnitsToPixels(units, x, y),
                 dialogUnitsToPixels(units, QSize(width, height)));
}
