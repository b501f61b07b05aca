#pragma once
// A folder of the side bar: its name, the caller's value, optional image lists of its own and
// an optional child window shown in place of its items. The folder owns its items; the image
// lists and the child window belong to the caller.

#include <memory>
#include <string>
#include <vector>

#include "platform/window/WindowTypes.h"
#include "widgets/SideBarItem.h"

class CImageList;

class SideBarFolder {
public:
    SideBarFolder(LPCSTR text, DWORD data);

    int ItemCount() const { return static_cast<int>(items.size()); }
    bool HasItem(int index) const { return index >= 0 && index < ItemCount(); }
    // A position below 0 or past the end appends; returns the position used.
    int InsertItem(int position, LPCSTR text, int image, DWORD data);
    // Takes the item out of `from` and puts it back at `to` (an index of the list without it).
    bool MoveItem(int from, int to);

    std::string name;
    DWORD data;
    CImageList* largeImages = nullptr;
    CImageList* smallImages = nullptr;
    std::vector<std::unique_ptr<SideBarItem>> items;
    // Kept as a handle, so that a child destroyed by its owner is noticed rather than used.
    HWND child = nullptr;
};
