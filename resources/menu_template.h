#pragma once

#include <span>
#include <string_view>

// A Toggle is a command with a check mark of its own (on or off), outside any group.
enum class MenuItemKind { Command, Toggle, Separator, Popup };

// One entry of a menu; "&" marks the mnemonic of `text`.
struct MenuItem {
    MenuItemKind kind;
    std::string_view text;
    int commandId = 0;                // Command and Toggle only
    bool checked = false;             // Command and Toggle: carries the check mark at start-up
    std::span<const MenuItem> items;  // Popup only: its entries
};

// A key that chooses a menu entry without opening the menu, in the portable text form of a key
// sequence ("Ctrl+Shift+S"). The entry shows its first key beside its text, which stays as it is.
struct MenuShortcut {
    int commandId;
    std::string_view keys;
};

struct MenuTemplate {
    int id;
    std::span<const MenuItem> items;          // the menu bar, left to right
    std::span<const MenuShortcut> shortcuts;  // an entry with several has them in order
};

// The menu numbered `id`, or nullptr.
const MenuTemplate* findMenuTemplate(int id);
