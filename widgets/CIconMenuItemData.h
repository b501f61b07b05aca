#pragma once
// What an icon menu keeps for one of its items: the text it draws, the flags the item had when
// last stored, its command, and the icon set and image its icon comes from. The item data holds
// a counted reference to its icon set.

#include <string>

#include "platform/kernel/WinTypes.h"

class CIconMenuIcons;

class CIconMenuItemData {
public:
    // Title bits of a separator.
    static constexpr BYTE kTitled = 0x01;
    static constexpr BYTE kVertical = 0x02;
    static constexpr BYTE kWideTitle = 0x10;  // 8 pixels more

    CIconMenuItemData() = default;
    ~CIconMenuItemData();
    CIconMenuItemData(const CIconMenuItemData&) = delete;
    CIconMenuItemData& operator=(const CIconMenuItemData&) = delete;

    // Takes image `index` of `set` (a reference on it); null and -1 leave the item without icon.
    void SetIcon(CIconMenuIcons* set, int index);

    std::string text;
    BYTE titleFlags = 0;
    UINT menuFlags = 0;
    UINT commandId = 0;
    CIconMenuIcons* iconSet = nullptr;
    int imageIndex = -1;
};
