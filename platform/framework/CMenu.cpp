#include "platform/framework/CMenu.h"

#include <algorithm>

#include "platform/framework/CHandleMap.h"
#include "platform/framework/CWnd.h"

IMPLEMENT_DYNCREATE(CMenu, CObject)

namespace {

thread_local CHandleMap<CMenu, HMENU, &CMenu::m_hMenu> tMap;

}  // namespace

CMenu::~CMenu() { DestroyMenu(); }

BOOL CMenu::CreateMenu() { return Attach(::CreateMenu()); }
BOOL CMenu::CreatePopupMenu() { return Attach(::CreatePopupMenu()); }
BOOL CMenu::LoadMenu(UINT nIDResource) { return LoadMenu(MAKEINTRESOURCEA(static_cast<WORD>(nIDResource))); }
BOOL CMenu::LoadMenu(LPCSTR lpszResourceName) { return Attach(LoadMenuA(nullptr, lpszResourceName)); }
BOOL CMenu::LoadMenuIndirect(const MenuTemplate* menuTemplate) { return Attach(LoadMenuIndirectA(menuTemplate)); }

BOOL CMenu::Attach(HMENU hMenu) {
    if (!hMenu || m_hMenu || !tMap.SetPermanent(hMenu, this)) return FALSE;
    m_hMenu = hMenu;
    return TRUE;
}

HMENU CMenu::Detach() {
    HMENU menu = m_hMenu;
    if (menu && tMap.FromHandlePermanent(menu) == this) tMap.RemovePermanent(menu);
    m_hMenu = nullptr;
    return menu;
}

BOOL CMenu::DestroyMenu() { return m_hMenu ? ::DestroyMenu(Detach()) : FALSE; }

CMenu* CMenu::FromHandle(HMENU hMenu) { return tMap.FromHandle(hMenu); }
CMenu* CMenu::FromHandlePermanent(HMENU hMenu) { return hMenu ? tMap.FromHandlePermanent(hMenu) : nullptr; }
void CMenu::DeleteTempMap() { tMap.DeleteTemp(); }

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem) {
    return AppendMenuA(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
}
BOOL CMenu::InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem) {
    return InsertMenuA(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
}
BOOL CMenu::ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem) {
    return ModifyMenuA(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
}
BOOL CMenu::RemoveMenu(UINT nPosition, UINT nFlags) { return ::RemoveMenu(m_hMenu, nPosition, nFlags); }
BOOL CMenu::DeleteMenu(UINT nPosition, UINT nFlags) { return ::DeleteMenu(m_hMenu, nPosition, nFlags); }
UINT CMenu::EnableMenuItem(UINT nIDEnableItem, UINT nEnable) {
    return ::EnableMenuItem(m_hMenu, nIDEnableItem, nEnable);
}
UINT CMenu::CheckMenuItem(UINT nIDCheckItem, UINT nCheck) { return ::CheckMenuItem(m_hMenu, nIDCheckItem, nCheck); }
BOOL CMenu::CheckMenuRadioItem(UINT nIDFirst, UINT nIDLast, UINT nIDItem, UINT nFlags) {
    return ::CheckMenuRadioItem(m_hMenu, nIDFirst, nIDLast, nIDItem, nFlags);
}
UINT CMenu::GetMenuState(UINT nID, UINT nFlags) const { return ::GetMenuState(m_hMenu, nID, nFlags); }
int CMenu::GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
UINT CMenu::GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_hMenu, nPos); }
int CMenu::GetMenuString(UINT nIDItem, LPSTR lpString, int nMaxCount, UINT nFlags) const {
    return GetMenuStringA(m_hMenu, nIDItem, lpString, nMaxCount, nFlags);
}
int CMenu::GetMenuString(UINT nIDItem, std::string& rString, UINT nFlags) const {
    rString.assign(static_cast<std::size_t>(std::max(0, GetMenuStringA(m_hMenu, nIDItem, nullptr, 0, nFlags))) + 1,
                   '\0');
    const int n = GetMenuStringA(m_hMenu, nIDItem, rString.data(), static_cast<int>(rString.size()), nFlags);
    rString.resize(static_cast<std::size_t>(std::max(n, 0)));
    return n;
}
BOOL CMenu::GetMenuItemInfo(UINT uItem, LPMENUITEMINFOA lpMenuItemInfo, BOOL fByPos) const {
    return ::GetMenuItemInfoA(m_hMenu, uItem, fByPos, lpMenuItemInfo);
}
BOOL CMenu::SetMenuItemInfo(UINT uItem, LPMENUITEMINFOA lpMenuItemInfo, BOOL fByPos) {
    return ::SetMenuItemInfoA(m_hMenu, uItem, fByPos, lpMenuItemInfo);
}
CMenu* CMenu::GetSubMenu(int nPos) const { return FromHandle(::GetSubMenu(m_hMenu, nPos)); }
BOOL CMenu::SetDefaultItem(UINT uItem, BOOL fByPos) { return SetMenuDefaultItem(m_hMenu, uItem, fByPos); }
UINT CMenu::GetDefaultItem(UINT gmdiFlags, BOOL fByPos) const { return GetMenuDefaultItem(m_hMenu, fByPos, gmdiFlags); }
BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect) {
    return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, CWnd::SafeHwnd(pWnd), lpRect);
}

void CMenu::DrawItem(LPDRAWITEMSTRUCT) {}
void CMenu::MeasureItem(LPMEASUREITEMSTRUCT) {}
