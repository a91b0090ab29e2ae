#pragma once

#include <span>

// The main window's controls in the order Tab visits them, as the eye reads the window: the
// trigger boxes column by column, the traces and the scroll bar under them, then the buttons from
// left to right.
std::span<const int> mainWindowTabOrder();
