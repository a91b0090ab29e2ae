#pragma once

#include <QImage>
#include <QWidget>

// The traces' colour of channel 1, as the default looks draw it.
inline constexpr QRgb kGreen = qRgb(0, 255, 0);

// How many of `widget`'s pixels are kGreen, as it paints itself now.
inline int greenPixels(QWidget& widget) {
    const QImage image = widget.grab().toImage();
    int green = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            green += image.pixel(x, y) == kGreen ? 1 : 0;
        }
    }
    return green;
}
