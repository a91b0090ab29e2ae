#pragma once

#include <QSize>

#include "app/window/view_bands.h"

// What the window keeps from one run to the next: the View menu's bands and its size.
struct StoredView {
    ViewBands bands;
    QSize size;  // the window's normal size; invalid when none was stored
    bool maximised = false;
};

// Read from and written to the user's settings of the program (QSettings, INI format, user
// scope, "pinprobe/pinprobe"); tests point QSettings::setPath at a folder of their own.
StoredView loadStoredView();
void storeView(const StoredView& view);
