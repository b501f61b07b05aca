#include "widgets/SideBarFolder.h"

SideBarFolder::SideBarFolder(LPCSTR text, DWORD data) : name(text ? text : ""), data(data) {}

int SideBarFolder::InsertItem(int position, LPCSTR text, int image, DWORD data) {
    if (position < 0 || position > ItemCount()) position = ItemCount();
    items.insert(items.begin() + position, std::make_unique<SideBarItem>(text, image, data));
    return position;
}

bool SideBarFolder::MoveItem(int from, int to) {
    if (!HasItem(from) || !HasItem(to)) return false;
    std::unique_ptr<SideBarItem> moved = std::move(items[from]);
    items.erase(items.begin() + from);
    items.insert(items.begin() + to, std::move(moved));
    return true;
}
