#pragma once

#include <QImage>
#include <QWidget>

#include "tests/shell/support/trace_colors.h"

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
