#include "resources/menu_template.h"

#include <array>

#include "resources/command_ids.h"

namespace {

constexpr MenuItem command(std::string_view text, int id, bool checked = false) {
    return MenuItem{MenuItemKind::Command, text, id, checked, {}};
}

constexpr MenuItem toggle(std::string_view text, int id) {
    return MenuItem{MenuItemKind::Toggle, text, id, true, {}};
}

constexpr MenuItem separator() {
    return MenuItem{MenuItemKind::Separator, {}, 0, false, {}};
}

constexpr MenuItem popup(std::string_view text, std::span<const MenuItem> items) {
    return MenuItem{MenuItemKind::Popup, text, 0, false, items};
}

constexpr bool kChecked = true;

constexpr std::array kFileMenu = {
    command("&New", CMD_NEW_SAMPLE),
    command("&Open...", CMD_OPEN),
    command("&Save", CMD_SAVE),
    command("Save &As...", CMD_SAVE_AS),
    command("&Record to File\u2026", CMD_RECORD_TO_FILE),
    command("&Export...", CMD_EXPORT),
    command("Export A&nnotations\u2026", CMD_EXPORT_ANNOTATIONS),
    separator(),
    command("E&xit", CMD_EXIT),
};

constexpr std::array kToolsMenu = {
    command("Cut Before", CMD_CUT_BEFORE),
    command("Cut After", CMD_CUT_AFTER),
    separator(),
    command("Zoom In", CMD_ZOOM_IN),
    command("Zoom Out", CMD_ZOOM_OUT),
    separator(),
    command("Memory Trigger", CMD_MEMORY_TRIGGER),
    command("Trigger &Point", CMD_TRIGGER_POINT),
};

constexpr MenuItem toggleOff(std::string_view text, int id) {
    return MenuItem{MenuItemKind::Toggle, text, id, false, {}};
}

// Zoom In and Out here go on past 1:1 as Ctrl+wheel does, where the buttons stop; Zoom to Fit
// shows the whole recording; the bands around the traces are shown at first. The traces are
// drawn against samples until Time Axis asks for time; a recording's trigger point is where
// they count from.
constexpr std::array kViewMenu = {
    command("Zoom &In", CMD_VIEW_ZOOM_IN),
    command("Zoom &Out", CMD_VIEW_ZOOM_OUT),
    command("Zoom to &Fit", CMD_ZOOM_FIT),
    toggleOff("&Time Axis", CMD_TIME_AXIS),
    toggle("&Measure From Trigger", CMD_MEASURE_FROM_TRIGGER),
    command("&Go To\u2026", CMD_GO_TO),
    separator(),
    toggle("&Overview", CMD_SHOW_OVERVIEW),
    toggle("Time &Ruler", CMD_SHOW_RULER),
    toggle("Channel &Labels", CMD_SHOW_LABELS),
    toggle("&Status Line", CMD_SHOW_STATUS),
    separator(),
    toggleOff("&Decoded Data", CMD_DECODED_DATA),
    command("&Channels\u2026", CMD_CHANNELS),
};

// Protocol decoders, each with rows under the traces.
constexpr std::array kDecodeMenu = {
    command("&Add Decoder\u2026", CMD_ADD_DECODER),
    command("&Remove Decoders", CMD_REMOVE_DECODERS),
};

// The largest size reads 500'000: it selects 500000 samples.
constexpr std::array kSizeMenu = {
    command("5000", CMD_SIZE_5000, kChecked),
    command("30'000", CMD_SIZE_30000),
    command("500'000", CMD_SIZE_500000),
};

constexpr std::array kSpeedMenu = {
    command("Fastest", CMD_SPEED_FASTEST, kChecked),
    command("Fast", CMD_SPEED_FAST),
    command("Slow", CMD_SPEED_SLOW),
};

constexpr std::array kPortMenu = {
    command("LPT1", CMD_PORT_LPT1, kChecked),
    command("LPT2", CMD_PORT_LPT2),
    command("LPT3", CMD_PORT_LPT3),
};

constexpr std::array kSettingsMenu = {
    popup("Size", kSizeMenu),
    popup("Speed", kSpeedMenu),
    separator(),
    popup("Port", kPortMenu),
    command("&Trigger\u2026", CMD_TRIGGER_SETTINGS),
};

constexpr std::array kHelpMenu = {command("Help", CMD_HELP),
                                  command("Connections", CMD_CONNECTIONS)};

constexpr std::array kAboutMenu = {command("About", CMD_ABOUT)};

constexpr std::array kMenuBar = {
    popup("&File", kFileMenu),     popup("&Tools", kToolsMenu),       popup("&View", kViewMenu),
    popup("&Decode", kDecodeMenu), popup("&Settings", kSettingsMenu), popup("&Help", kHelpMenu),
    popup("&About", kAboutMenu),
};

// Ctrl+= is Ctrl++ without Shift on keyboards that put + over =.
constexpr MenuShortcut kShortcuts[] = {
    {CMD_NEW_SAMPLE, "F5"},        {CMD_OPEN, "Ctrl+O"},           {CMD_SAVE, "Ctrl+S"},
    {CMD_SAVE_AS, "Ctrl+Shift+S"}, {CMD_EXIT, "Ctrl+Q"},           {CMD_VIEW_ZOOM_IN, "Ctrl++"},
    {CMD_VIEW_ZOOM_IN, "Ctrl+="},  {CMD_VIEW_ZOOM_OUT, "Ctrl+-"},  {CMD_ZOOM_FIT, "Ctrl+0"},
    {CMD_GO_TO, "Ctrl+G"},         {CMD_RECORD_TO_FILE, "Ctrl+R"},
};

constexpr MenuTemplate kMainMenu{IDR_MAIN_MENU, kMenuBar, kShortcuts};

}  // namespace

const MenuTemplate* findMenuTemplate(int id) {
    return id == kMainMenu.id ? &kMainMenu : nullptr;
}
