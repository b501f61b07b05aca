// Menu objects and their items, the window's menu and system menu, and loading menus.

#include <algorithm>
#include <cstring>
#include <map>

#include "platform/controls/MenuBar.h"
#include "platform/controls/MenuRegistry.h"
#include "platform/controls/MenuTable.h"
#include "platform/controls/MenuTemplate.h"
#include "platform/controls/MenuTracker.h"
#include "platform/controls/Menus.h"
#include "platform/controls/PopupMenuWindow.h"
#include "platform/kernel/LastError.h"
#include "platform/window/MenuBarHost.h"
#include "platform/window/Windows.h"

namespace {

MenuTable& Table() { return MenuTable::Instance(); }

constexpr UINT kStateFlags = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE;
constexpr UINT kTypeFlags = MF_BITMAP | MF_OWNERDRAW | MF_MENUBARBREAK | MF_MENUBREAK | MF_SEPARATOR | MF_RIGHTJUSTIFY;

Menu* Checked(HMENU handle) {
    Menu* menu = Table().Find(handle);
    if (!menu) SetLastError(ERROR_INVALID_MENU_HANDLE);
    return menu;
}

std::optional<MenuTable::Location> Located(HMENU handle, UINT item, UINT flags) {
    if (!Checked(handle)) return std::nullopt;
    auto found = Table().Locate(handle, item, flags);
    if (!found) SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
    return found;
}

// The item the MF_* arguments of AppendMenu, InsertMenu and ModifyMenu describe; false when
// they name a submenu that is no menu.
bool ItemFromFlags(UINT flags, UINT_PTR idOrSubMenu, LPCSTR newItem, MenuItem& item) {
    item.type = flags & kTypeFlags;
    item.state = flags & kStateFlags;
    if (flags & MF_POPUP) {
        item.subMenu = reinterpret_cast<HMENU>(idOrSubMenu);
        if (!Table().Find(item.subMenu)) return false;
        item.id = static_cast<UINT>(idOrSubMenu);
    } else {
        item.id = static_cast<UINT>(idOrSubMenu);
    }
    if (item.IsSeparator()) return true;
    if (flags & MF_OWNERDRAW)
        item.data = reinterpret_cast<ULONG_PTR>(newItem);
    else if (flags & MF_BITMAP)
        item.bitmap = reinterpret_cast<HBITMAP>(const_cast<char*>(newItem));
    else
        item.text = newItem ? newItem : "";
    return true;
}

bool InsertAt(HMENU handle, UINT item, bool byPosition, MenuItem newItem) {
    std::lock_guard guard(Table().Lock());
    Menu* menu = Checked(handle);
    if (!menu) return false;
    Menu* into = menu;
    std::size_t at = menu->items.size();
    if (byPosition) {
        at = std::min<std::size_t>(item, menu->items.size());  // beyond the end: appended
    } else if (auto found = Table().Locate(handle, item, MF_BYCOMMAND)) {
        into = found->menu;
        at = static_cast<std::size_t>(found->position);
    } else if (item != static_cast<UINT>(-1)) {
        SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
        return false;
    }
    into->items.insert(into->items.begin() + static_cast<std::ptrdiff_t>(at), std::move(newItem));
    return true;
}

std::size_t CopyText(const std::string& text, char* out, std::size_t size) {
    if (!out || !size) return 0;
    const std::size_t n = std::min(size - 1, text.size());
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
    return n;
}

bool ValidInfoSize(UINT size) {
    return size == sizeof(MENUITEMINFOA) || size == offsetof(MENUITEMINFOA, hbmpItem);
}

void ApplyInfo(MenuItem& item, const MENUITEMINFOA& info) {
    const bool full = info.cbSize == sizeof(MENUITEMINFOA);
    if (info.fMask & (MIIM_TYPE | MIIM_FTYPE)) item.type = info.fType & ~MFT_STRING;
    if (info.fMask & MIIM_TYPE) {
        item.text.clear();
        item.bitmap = nullptr;
        item.ownerDrawData = 0;
        if (info.fType & MFT_BITMAP)
            item.bitmap = reinterpret_cast<HBITMAP>(info.dwTypeData);
        else if (info.fType & MFT_OWNERDRAW)
            item.ownerDrawData = reinterpret_cast<ULONG_PTR>(info.dwTypeData);
        else if (!(info.fType & MFT_SEPARATOR) && info.dwTypeData)
            item.text = info.dwTypeData;
    }
    if ((info.fMask & MIIM_STRING)) item.text = info.dwTypeData ? info.dwTypeData : "";
    if ((info.fMask & MIIM_BITMAP) && full) item.bitmap = info.hbmpItem;
    if (info.fMask & MIIM_STATE) item.state = info.fState & (MFS_GRAYED | MFS_CHECKED | MFS_HILITE | MFS_DEFAULT);
    if (info.fMask & MIIM_ID) item.id = info.wID;
    if (info.fMask & MIIM_SUBMENU) item.subMenu = info.hSubMenu;
    if (info.fMask & MIIM_CHECKMARKS) {
        item.checkedBitmap = info.hbmpChecked;
        item.uncheckedBitmap = info.hbmpUnchecked;
    }
    if (info.fMask & MIIM_DATA) item.data = info.dwItemData;
}

UINT ChangeState(HMENU handle, UINT item, UINT flags, UINT mask, UINT value) {
    std::lock_guard guard(Table().Lock());
    auto found = Located(handle, item, flags);
    if (!found) return static_cast<UINT>(-1);
    MenuItem& it = found->menu->items[static_cast<std::size_t>(found->position)];
    const UINT previous = it.state & mask;
    it.state = (it.state & ~mask) | (value & mask);
    return previous;
}

// The system menu of each window that asked for one. Entries of windows that are gone are
// dropped when another window asks.
std::mutex gSystemMenusLock;
std::map<HWND, HMENU> gSystemMenus;

HMENU StandardSystemMenu() {
    const HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, SC_RESTORE, "&Restore");
    AppendMenuA(menu, MF_STRING, SC_MOVE, "&Move");
    AppendMenuA(menu, MF_STRING, SC_SIZE, "&Size");
    AppendMenuA(menu, MF_STRING, SC_MINIMIZE, "Mi&nimize");
    AppendMenuA(menu, MF_STRING, SC_MAXIMIZE, "Ma&ximize");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, SC_CLOSE, "&Close\tAlt+F4");
    SetMenuDefaultItem(menu, SC_CLOSE, FALSE);
    return menu;
}

HMENU Build(const MenuTemplate& t, bool popup, int depth) {
    if (depth > MenuTable::kMaxDepth) return nullptr;
    const HMENU menu = popup ? CreatePopupMenu() : CreateMenu();
    if (!menu) return nullptr;
    for (const MenuTemplate& item : t.items) {
        bool added;
        if (item.flags & MF_POPUP) {
            const HMENU sub = Build(item, true, depth + 1);
            added = sub && AppendMenuA(menu, item.flags & ~MF_END, reinterpret_cast<UINT_PTR>(sub), item.text);
            if (!added && sub) DestroyMenu(sub);
        } else {
            added = AppendMenuA(menu, item.flags & ~MF_END, item.id, item.text);
        }
        if (!added) {
            DestroyMenu(menu);
            return nullptr;
        }
    }
    return menu;
}

}  // namespace

HMENU CreateMenu() {
    MenuBar::Install();  // the windows this menu may go to need their bar
    std::lock_guard guard(Table().Lock());
    return Table().Add(false);
}

HMENU CreatePopupMenu() {
    std::lock_guard guard(Table().Lock());
    return Table().Add(true);
}

BOOL DestroyMenu(HMENU menu) {
    std::lock_guard guard(Table().Lock());
    if (!Table().Destroy(menu)) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    return TRUE;
}

BOOL IsMenu(HMENU menu) {
    std::lock_guard guard(Table().Lock());
    return Table().Find(menu) ? TRUE : FALSE;
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR idOrSubMenu, LPCSTR newItem) {
    return InsertMenuA(menu, static_cast<UINT>(-1), flags | MF_BYPOSITION, idOrSubMenu, newItem);
}

BOOL InsertMenuA(HMENU menu, UINT item, UINT flags, UINT_PTR idOrSubMenu, LPCSTR newItem) {
    MenuItem added;
    {
        std::lock_guard guard(Table().Lock());
        if (!ItemFromFlags(flags, idOrSubMenu, newItem, added)) {
            SetLastError(ERROR_INVALID_MENU_HANDLE);
            return FALSE;
        }
    }
    return InsertAt(menu, item, flags & MF_BYPOSITION, std::move(added)) ? TRUE : FALSE;
}

BOOL InsertMenuItemA(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFOA* info) {
    if (!info || !ValidInfoSize(info->cbSize)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    MenuItem added;
    ApplyInfo(added, *info);
    return InsertAt(menu, item, byPosition, std::move(added)) ? TRUE : FALSE;
}

BOOL ModifyMenuA(HMENU menu, UINT item, UINT flags, UINT_PTR idOrSubMenu, LPCSTR newItem) {
    HMENU replaced = nullptr;
    {
        std::lock_guard guard(Table().Lock());
        auto found = Located(menu, item, flags);
        if (!found) return FALSE;
        MenuItem changed;
        if (!ItemFromFlags(flags, idOrSubMenu, newItem, changed)) {
            SetLastError(ERROR_INVALID_MENU_HANDLE);
            return FALSE;
        }
        MenuItem& old = found->menu->items[static_cast<std::size_t>(found->position)];
        changed.state |= old.state & MFS_DEFAULT;
        changed.checkedBitmap = old.checkedBitmap;
        changed.uncheckedBitmap = old.uncheckedBitmap;
        if (!(flags & MF_OWNERDRAW)) changed.data = old.data;
        changed.rect = old.rect;
        // A submenu the item no longer opens goes with it.
        if (old.subMenu && old.subMenu != changed.subMenu) replaced = old.subMenu;
        old = std::move(changed);
    }
    if (replaced) DestroyMenu(replaced);
    return TRUE;
}

BOOL RemoveMenu(HMENU menu, UINT item, UINT flags) {
    std::lock_guard guard(Table().Lock());
    auto found = Located(menu, item, flags);
    if (!found) return FALSE;
    auto& items = found->menu->items;
    items.erase(items.begin() + found->position);
    return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT item, UINT flags) {
    std::lock_guard guard(Table().Lock());
    auto found = Located(menu, item, flags);
    if (!found) return FALSE;
    auto& items = found->menu->items;
    const HMENU sub = items[static_cast<std::size_t>(found->position)].subMenu;
    items.erase(items.begin() + found->position);
    if (sub) Table().Destroy(sub);
    return TRUE;
}

BOOL SetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFOA* info) {
    if (!info || !ValidInfoSize(info->cbSize)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard guard(Table().Lock());
    if ((info->fMask & MIIM_SUBMENU) && info->hSubMenu && !Table().Find(info->hSubMenu)) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    auto found = Located(menu, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
    if (!found) return FALSE;
    ApplyInfo(found->menu->items[static_cast<std::size_t>(found->position)], *info);
    return TRUE;
}

BOOL GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFOA* info) {
    if (!info || !ValidInfoSize(info->cbSize)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard guard(Table().Lock());
    auto found = Located(menu, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
    if (!found) return FALSE;
    const MenuItem& it = found->menu->items[static_cast<std::size_t>(found->position)];
    const UINT mask = info->fMask;
    if (mask & (MIIM_TYPE | MIIM_FTYPE)) info->fType = it.type;
    const bool wantsText = (mask & MIIM_STRING) || ((mask & MIIM_TYPE) && !(it.type & (MFT_BITMAP | MFT_OWNERDRAW | MFT_SEPARATOR)));
    if ((mask & MIIM_TYPE) && (it.type & MFT_BITMAP)) info->dwTypeData = reinterpret_cast<LPSTR>(it.bitmap);
    if ((mask & MIIM_TYPE) && (it.type & MFT_OWNERDRAW)) info->dwTypeData = reinterpret_cast<LPSTR>(it.ownerDrawData);
    if (wantsText) {
        // Without a buffer, the length alone; with one, what fits and how much that was.
        if (!info->dwTypeData || !info->cch)
            info->cch = static_cast<UINT>(it.text.size());
        else
            info->cch = static_cast<UINT>(CopyText(it.text, info->dwTypeData, info->cch));
    }
    if (mask & MIIM_STATE) info->fState = it.state;
    if (mask & MIIM_ID) info->wID = it.id;
    if (mask & MIIM_SUBMENU) info->hSubMenu = it.subMenu;
    if (mask & MIIM_CHECKMARKS) {
        info->hbmpChecked = it.checkedBitmap;
        info->hbmpUnchecked = it.uncheckedBitmap;
    }
    if (mask & MIIM_DATA) info->dwItemData = it.data;
    if ((mask & MIIM_BITMAP) && info->cbSize == sizeof(MENUITEMINFOA)) info->hbmpItem = it.bitmap;
    return TRUE;
}

int GetMenuStringA(HMENU menu, UINT item, LPSTR text, int size, UINT flags) {
    std::lock_guard guard(Table().Lock());
    auto found = Located(menu, item, flags);
    if (!found) return 0;
    const MenuItem& it = found->menu->items[static_cast<std::size_t>(found->position)];
    if (it.type & (MFT_OWNERDRAW | MFT_BITMAP | MFT_SEPARATOR)) {
        if (text && size > 0) text[0] = '\0';
        return 0;
    }
    if (!text) return static_cast<int>(it.text.size());
    return size > 0 ? static_cast<int>(CopyText(it.text, text, static_cast<std::size_t>(size))) : 0;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
    std::lock_guard guard(Table().Lock());
    auto found = Located(menu, item, flags);
    if (!found) return static_cast<UINT>(-1);
    const MenuItem& it = found->menu->items[static_cast<std::size_t>(found->position)];
    const UINT bits = it.type | it.state;
    if (!it.subMenu) return bits;
    // A submenu's item count in the high byte, its flags in the low one.
    const Menu* sub = Table().Find(it.subMenu);
    const UINT count = sub ? static_cast<UINT>(std::min<std::size_t>(sub->items.size(), 0xFF)) : 0;
    return (count << 8) | ((bits | MF_POPUP) & 0xFF);
}

UINT GetMenuItemID(HMENU menu, int position) {
    std::lock_guard guard(Table().Lock());
    Menu* m = Checked(menu);
    if (!m || !m->ValidPosition(position)) return static_cast<UINT>(-1);
    const MenuItem& it = m->items[static_cast<std::size_t>(position)];
    return it.subMenu ? static_cast<UINT>(-1) : it.id;
}

HMENU GetSubMenu(HMENU menu, int position) {
    std::lock_guard guard(Table().Lock());
    Menu* m = Checked(menu);
    if (!m || !m->ValidPosition(position)) return nullptr;
    const HMENU sub = m->items[static_cast<std::size_t>(position)].subMenu;
    return Table().Find(sub) ? sub : nullptr;
}

int GetMenuItemCount(HMENU menu) {
    std::lock_guard guard(Table().Lock());
    Menu* m = Checked(menu);
    return m ? static_cast<int>(m->items.size()) : -1;
}

DWORD EnableMenuItem(HMENU menu, UINT item, UINT enable) {
    return ChangeState(menu, item, enable, MF_GRAYED | MF_DISABLED, enable);
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT check) { return ChangeState(menu, item, check, MF_CHECKED, check); }

BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags) {
    std::lock_guard guard(Table().Lock());
    auto from = Located(menu, first, flags);
    auto to = Located(menu, last, flags);
    auto chosen = Located(menu, check, flags);
    if (!from || !to || !chosen || from->menu != to->menu || chosen->menu != from->menu) return FALSE;
    const int lo = std::min(from->position, to->position), hi = std::max(from->position, to->position);
    if (chosen->position < lo || chosen->position > hi) return FALSE;
    for (int i = lo; i <= hi; ++i) {
        MenuItem& it = from->menu->items[static_cast<std::size_t>(i)];
        if (it.IsSeparator()) continue;
        if (i == chosen->position) {
            it.state |= MFS_CHECKED;
            it.type |= MFT_RADIOCHECK;
        } else {
            it.state &= ~MFS_CHECKED;
        }
    }
    return TRUE;
}

BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition) {
    std::lock_guard guard(Table().Lock());
    Menu* m = Checked(menu);
    if (!m) return FALSE;
    std::optional<MenuTable::Location> found;
    if (item != static_cast<UINT>(-1)) {
        // Only items of this menu itself: the default is per menu.
        for (std::size_t i = 0; i < m->items.size() && !found; ++i)
            if (byPosition ? i == item : (m->items[i].id == item && !m->items[i].subMenu))
                found = MenuTable::Location{m, static_cast<int>(i)};
        if (!found) {
            SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
            return FALSE;
        }
    }
    for (MenuItem& it : m->items) it.state &= ~MFS_DEFAULT;
    if (found) m->items[static_cast<std::size_t>(found->position)].state |= MFS_DEFAULT;
    return TRUE;
}

UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT flags) {
    constexpr UINT GMDI_USEDISABLED = 0x0001;
    std::lock_guard guard(Table().Lock());
    Menu* m = Checked(menu);
    if (!m) return static_cast<UINT>(-1);
    const int position = m->DefaultItem(flags & GMDI_USEDISABLED);
    if (position < 0) return static_cast<UINT>(-1);
    return byPosition ? static_cast<UINT>(position) : m->items[static_cast<std::size_t>(position)].id;
}

BOOL HiliteMenuItem(HWND hwnd, HMENU menu, UINT item, UINT hilite) {
    if (ChangeState(menu, item, hilite, MF_HILITE, hilite) == static_cast<UINT>(-1)) return FALSE;
    if (hwnd && GetMenu(hwnd) == menu) DrawMenuBar(hwnd);
    return TRUE;
}

HMENU GetMenu(HWND hwnd) { return MenuBarHost::MenuOf(hwnd); }

BOOL SetMenu(HWND hwnd, HMENU menu) {
    if (menu && !IsMenu(menu)) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    if (!MenuBarHost::SetMenuOf(hwnd, menu)) return FALSE;
    DrawMenuBar(hwnd);
    return TRUE;
}

BOOL DrawMenuBar(HWND hwnd) {
    if (!IsWindow(hwnd)) return FALSE;
    // Laid out again (its height may change) and drawn.
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
    return TRUE;
}

HMENU GetSystemMenu(HWND hwnd, BOOL revert) {
    if (!IsWindow(hwnd)) return nullptr;
    std::lock_guard guard(gSystemMenusLock);
    auto it = gSystemMenus.find(hwnd);
    if (revert) {
        if (it != gSystemMenus.end()) {
            DestroyMenu(it->second);
            gSystemMenus.erase(it);
        }
        return nullptr;
    }
    if (it != gSystemMenus.end() && IsMenu(it->second)) return it->second;
    std::erase_if(gSystemMenus, [](const auto& entry) {
        if (IsWindow(entry.first)) return false;
        DestroyMenu(entry.second);
        return true;
    });
    const HMENU menu = StandardSystemMenu();
    gSystemMenus[hwnd] = menu;
    return menu;
}

HMENU LoadMenuA(HINSTANCE, LPCSTR name) {
    auto found = MenuRegistry::Instance().Find(name);
    if (!found) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return LoadMenuIndirectA(&*found);
}

HMENU LoadMenuIndirectA(const MenuTemplate* menuTemplate) {
    if (!menuTemplate) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return Build(*menuTemplate, false, 0);
}

BOOL GetMenuItemRect(HWND hwnd, HMENU menu, UINT position, RECT* r) {
    if (!r || !IsMenu(menu)) return FALSE;
    if (hwnd && GetMenu(hwnd) == menu) return MenuBar::ItemScreenRect(hwnd, menu, static_cast<int>(position), r);
    // A popup: the window that shows it now, if any.
    const HWND popup = PopupMenuWindow::WindowOf(menu);
    return popup && PopupMenuWindow::ItemScreenRect(popup, static_cast<int>(position), r) ? TRUE : FALSE;
}

int MenuItemFromPoint(HWND hwnd, HMENU menu, POINT screen) {
    if (!IsMenu(menu)) return -1;
    if (hwnd && GetMenu(hwnd) == menu) return MenuBar::ItemAt(hwnd, menu, screen);
    const HWND popup = PopupMenuWindow::WindowOf(menu);
    return popup ? PopupMenuWindow::ItemAt(popup, screen) : -1;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
    return MenuTracker::TrackPopup(menu, flags, POINT{x, y}, owner, nullptr);
}

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const TPMPARAMS* params) {
    const RECT* exclude = params && params->cbSize == sizeof(TPMPARAMS) ? &params->rcExclude : nullptr;
    return MenuTracker::TrackPopup(menu, flags, POINT{x, y}, owner, exclude);
}

BOOL EndMenu() { return MenuTracker::End() ? TRUE : FALSE; }
