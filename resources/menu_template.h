#pragma once

#include <span>
#include <string_view>

enum class MenuItemKind { Command, Separator, Popup };

// One entry of a menu; "&" marks the mnemonic of `text`.
struct MenuItem {
    MenuItemKind kind;
    std::string_view text;
    int commandId = 0;                // Command only
    bool checked = false;             // Command only: carries the check mark at start-up
    std::span<const MenuItem> items;  // Popup only: its entries
};

struct MenuTemplate {
    int id;
    std::span<const MenuItem> items;  // the menu bar, left to right
};

// The menu numbered `id`, or nullptr.
const MenuTemplate* findMenuTemplate(int id);
