#pragma once

#include <QColor>

// The colours the window draws traces in, as a screenshot holds them.
inline constexpr QRgb kBlack = qRgb(0, 0, 0);
inline constexpr QRgb kGreen = qRgb(0, 255, 0);
