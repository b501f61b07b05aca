#pragma once
// A menu resource as a C++ data table: the bar (or popup) is the root, whose `items` are its
// items; an item with MF_POPUP opens the popup of its own `items`. Flags are the MF_* of
// AppendMenu (MF_SEPARATOR, MF_GRAYED, MF_CHECKED, MF_MENUBREAK, MF_HELP, ...).
//
//   const MenuTemplate kMain{0, 0, "", {
//       {MF_POPUP, 0, "&File", {{0, 100, "&Open...\tCtrl+O"}, {MF_SEPARATOR}, {0, 101, "E&xit"}}},
//   }};

#include <utility>
#include <vector>

#include "platform/window/WindowTypes.h"

struct MenuTemplate {
    UINT flags = 0;
    UINT id = 0;
    const char* text = "";
    std::vector<MenuTemplate> items;

    MenuTemplate() = default;
    MenuTemplate(UINT flags, UINT id = 0, const char* text = "", std::vector<MenuTemplate> items = {})
        : flags(flags), id(id), text(text ? text : ""), items(std::move(items)) {}
};
