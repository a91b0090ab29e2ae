#include "app/window/view_bands.h"

#include "resources/command_ids.h"

ViewBands viewBands;

int bandCommand(ViewBand band) {
    return CMD_SHOW_OVERVIEW + static_cast<int>(band);
}

std::optional<ViewBand> commandBand(int commandId) {
    if (commandId < CMD_SHOW_OVERVIEW || commandId >= CMD_SHOW_OVERVIEW + kViewBandCount) {
        return std::nullopt;
    }
    return static_cast<ViewBand>(commandId - CMD_SHOW_OVERVIEW);
}

void toggleViewBand(WindowSystem& mainWindow, ViewBand band) {
    bool& shown = viewBands.shown[static_cast<size_t>(band)];
    shown = !shown;
    mainWindow.checkMenuItem(bandCommand(band), shown);
    mainWindow.showBand(band, shown);
}

void showViewBands(WindowSystem& mainWindow, const ViewBands& bands) {
    viewBands = bands;
    for (int i = 0; i < kViewBandCount; ++i) {
        const auto band = static_cast<ViewBand>(i);
        mainWindow.checkMenuItem(bandCommand(band), bands[band]);
        mainWindow.showBand(band, bands[band]);
    }
}
