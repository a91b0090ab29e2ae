#pragma once

#include <array>
#include <optional>

#include "core/window_system.h"

// Which bands around the client area are shown; all of them unless the user hid some.
struct ViewBands {
    std::array<bool, kViewBandCount> shown{true, true, true, true};

    bool operator[](ViewBand band) const { return shown[static_cast<size_t>(band)]; }
};

extern ViewBands viewBands;

// The View menu's entry for a band, and the band of an entry (none for other commands).
int bandCommand(ViewBand band);
std::optional<ViewBand> commandBand(int commandId);

// A View menu entry: the band goes from shown to hidden or back, with its mark.
void toggleViewBand(WindowSystem& mainWindow, ViewBand band);

// The window takes on `bands`: every band and its mark as they say.
void showViewBands(WindowSystem& mainWindow, const ViewBands& bands);
