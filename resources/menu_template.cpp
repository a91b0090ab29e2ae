#include "resources/menu_template.h"

#include <array>

namespace {

constexpr MenuItem command(std::string_view text, int id, bool checked = false) {
    return MenuItem{MenuItemKind::Command, text, id, checked, {}};
}

constexpr MenuItem separator() {
    return MenuItem{MenuItemKind::Separator, {}, 0, false, {}};
}

constexpr MenuItem popup(std::string_view text, std::span<const MenuItem> items) {
    return MenuItem{MenuItemKind::Popup, text, 0, false, items};
}

constexpr bool kChecked = true;

constexpr std::array kFileMenu = {
    command("&New", 110),  command("&Open...", 120),
    command("&Save", 130), command("Save &As...", 140),
    separator(),           command("E&xit", 150),
};

constexpr std::array kToolsMenu = {
    command("Cut Before", 40014),   command("Cut After", 40015), separator(),
    command("Zoom In", 112),        command("Zoom Out", 113),    separator(),
    command("Memory Trigger", 115),
};

// The largest size reads 500'000: it selects 500000 samples.
constexpr std::array kSizeMenu = {
    command("5000", 40004, kChecked),
    command("30'000", 40005),
    command("500'000", 40006),
};

constexpr std::array kSpeedMenu = {
    command("Fastest", 40007, kChecked),
    command("Fast", 40008),
    command("Slow", 40009),
};

constexpr std::array kPortMenu = {
    command("LPT1", 40019, kChecked),
    command("LPT2", 40020),
    command("LPT3", 40021),
};

constexpr std::array kSettingsMenu = {
    popup("Size", kSizeMenu),
    popup("Speed", kSpeedMenu),
    separator(),
    popup("Port", kPortMenu),
};

constexpr std::array kHelpMenu = {command("Help", 40010), command("Connections", 40011)};

constexpr std::array kAboutMenu = {command("About", 40013)};

constexpr std::array kMenuBar = {
    popup("&File", kFileMenu), popup("&Tools", kToolsMenu), popup("&Settings", kSettingsMenu),
    popup("&Help", kHelpMenu), popup("&About", kAboutMenu),
};

constexpr MenuTemplate kMainMenu{3000, kMenuBar};

}  // namespace

const MenuTemplate* findMenuTemplate(int id) {
    return id == kMainMenu.id ? &kMainMenu : nullptr;
}
