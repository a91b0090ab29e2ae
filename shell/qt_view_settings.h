#pragma once

#include <QSize>
#include <string>
#include <vector>

#include "app/window/view_bands.h"
#include "core/channel_looks.h"

// What the window keeps from one run to the next: the View menu's bands, whether the decoded
// data is open, and the window's size.
struct StoredView {
    ViewBands bands;
    bool decodedData = false;
    QSize size;  // the window's normal size; invalid when none was stored
    bool maximised = false;
};

// Read from and written to the user's settings of the program (QSettings, INI format, user
// scope, "pinprobe/pinprobe"); tests point QSettings::setPath at a folder of their own.
StoredView loadStoredView();
void storeView(const StoredView& view);

// The decoders' stacks as text, one each, kept for the next run.
std::vector<std::string> loadKeptDecoders();
void storeKeptDecoders(const std::vector<std::string>& stacks);

// The channels' names, colours and shown traces; the defaults where nothing (or nothing usable)
// was kept.
ChannelLooks loadChannelLooks();
void storeChannelLooks(const ChannelLooks& looks);
