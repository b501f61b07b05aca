#pragma once
// One item of a menu, as the menu functions keep it.

#include <string>

#include "platform/graphics/GdiTypes.h"
#include "platform/window/WindowTypes.h"

struct MenuItem {
    UINT type = 0;   // MFT_* bits
    UINT state = 0;  // MFS_* bits
    UINT id = 0;
    HMENU subMenu = nullptr;
    std::string text;            // string items; also kept when an owner-drawn item is given one
    ULONG_PTR data = 0;          // dwItemData
    ULONG_PTR ownerDrawData = 0; // what MIIM_TYPE set as dwTypeData of an owner-drawn item
    HBITMAP bitmap = nullptr;    // MFT_BITMAP items and hbmpItem
    HBITMAP checkedBitmap = nullptr;
    HBITMAP uncheckedBitmap = nullptr;
    RECT rect{};  // where the last layout put it: bar items from the bar's corner, popup items in the window's client

    bool IsSeparator() const { return type & 0x0800; }
    bool IsOwnerDrawn() const { return type & 0x0100; }
    bool IsDisabled() const { return state & 0x0003; }
    bool IsGrayed() const { return state & 0x0001; }
};
