#include "widgets/CIconMenuFrameWnd.h"

#include <algorithm>

#include "platform/framework/AfxMsg.h"
#include "platform/graphics/Rects.h"
#include "platform/kernel/Threads.h"
#include "platform/window/Windows.h"
#include "widgets/CIconMenuIcons.h"
#include "widgets/IconMenuSettings.h"

IMPLEMENT_DYNCREATE(CIconMenuFrameWnd, CFrameWnd)

namespace {

constexpr UINT_PTR kHotTimerId = 0xE1C0;
constexpr UINT kHotTimerMs = 100;
constexpr UINT_PTR kRebuildTimerId = 0xE1C1;

}  // namespace

CIconMenuFrameWnd::~CIconMenuFrameWnd() {
    // The system menu is the window system's.
    systemMenu.Detach();
}

BOOL CIconMenuFrameWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                               CWnd* pParentWnd, LPCSTR lpszMenuName, DWORD dwExStyle, CCreateContext* pContext) {
    if (lpszMenuName) {
        if (!menuBar.m_hMenu && !menuBar.LoadMenu(lpszMenuName)) return FALSE;
        menuBar.isPopup = 0;
    }
    createWithBar_ = lpszMenuName != nullptr;
    const BOOL created =
        CFrameWnd::Create(lpszClassName, lpszWindowName, dwStyle, rect, pParentWnd, nullptr, dwExStyle, pContext);
    createWithBar_ = false;
    return created;
}

BOOL CIconMenuFrameWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, int x,
                                 int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam) {
    if (createWithBar_ && !nIDorHMenu) nIDorHMenu = menuBar.m_hMenu;
    return CFrameWnd::CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, nWidth, nHeight, hWndParent,
                               nIDorHMenu, lpParam);
}

BEGIN_MESSAGE_MAP(CIconMenuFrameWnd, CFrameWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_MEASUREITEM()
ON_WM_MENUCHAR()
ON_WM_INITMENUPOPUP()
ON_WM_ENTERMENULOOP()
ON_WM_EXITMENULOOP()
ON_WM_TIMER()
ON_WM_NCHITTEST()
ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()

int CIconMenuFrameWnd::OnCreate(LPCREATESTRUCTA lpcs) {
    menuBar.ownerWindow = m_hWnd;
    if (CFrameWnd::OnCreate(lpcs) == -1) return -1;
    if (!systemMenu.m_hMenu) systemMenu.Attach(::GetSystemMenu(m_hWnd, FALSE));
    return 0;
}

void CIconMenuFrameWnd::OnDestroy() {
    StopHotTimer();
    KillTimer(kRebuildTimerId);
    systemMenu.Detach();
    CFrameWnd::OnDestroy();
}

void CIconMenuFrameWnd::OnMeasureItem(int nIDCtl, MEASUREITEMSTRUCT* lpMeasureItemStruct) {
    if (!CIconMenu::MeasureFor(m_hWnd, trackedPopup_, lpMeasureItemStruct))
        CFrameWnd::OnMeasureItem(nIDCtl, lpMeasureItemStruct);
}

LRESULT CIconMenuFrameWnd::OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu) {
    LRESULT result = 0;
    return CIconMenu::MenuCharFor(pMenu, nChar, result) ? result : CFrameWnd::OnMenuChar(nChar, nFlags, pMenu);
}

void CIconMenuFrameWnd::OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu) {
    CFrameWnd::OnInitMenuPopup(pPopupMenu, nIndex, bSysMenu);
    if (pPopupMenu) trackedPopup_ = pPopupMenu->m_hMenu;
    CIconMenu::PopupOpening(pPopupMenu, m_hWnd);
}

void CIconMenuFrameWnd::OnEnterMenuLoop(BOOL bIsTrackPopupMenu) {
    inMenuLoop = true;
    StopHotTimer();
    SetHotBarItem(-1);
    CFrameWnd::OnEnterMenuLoop(bIsTrackPopupMenu);
}

void CIconMenuFrameWnd::OnExitMenuLoop(BOOL bIsTrackPopupMenu) {
    inMenuLoop = false;
    trackedPopup_ = nullptr;
    CFrameWnd::OnExitMenuLoop(bIsTrackPopupMenu);
}

void CIconMenuFrameWnd::OnTimer(UINT_PTR nIDEvent) {
    CFrameWnd::OnTimer(nIDEvent);
    if (nIDEvent == kRebuildTimerId) {
        KillTimer(kRebuildTimerId);
        // Another frame may have rebuilt them meanwhile.
        if (CIconMenuIcons::RebuildPending()) RebuildIcons();
        return;
    }
    if (!hotTimer || nIDEvent != hotTimer) return;
    POINT cursor;
    GetCursorPos(&cursor);
    SendMessage(WM_NCHITTEST, 0, MAKELPARAM(cursor.x, cursor.y));
}

LRESULT CIconMenuFrameWnd::OnNcHitTest(CPoint point) {
    const LRESULT hit = CFrameWnd::OnNcHitTest(point);
    const IconMenuSettings& settings = IconMenuSettings::Instance();
    if ((settings.osGeneration < 6 || settings.remoteSession) && !inMenuLoop) TrackHotItem(hit, point);
    return hit;
}

void CIconMenuFrameWnd::OnSysColorChange() {
    CFrameWnd::OnSysColorChange();
    RebuildIcons();
}

void CIconMenuFrameWnd::RebuildIcons() {
    const DWORD now = GetTickCount();
    if (CIconMenuIcons::RebuildAll(now)) return;
    // A change soon after another would otherwise leave the icons in the colours of the first.
    SetTimer(kRebuildTimerId, std::max<UINT>(1, CIconMenuIcons::RebuildDelay(now)));
}

void CIconMenuFrameWnd::TrackHotItem(LRESULT hit, POINT screen) {
    const HMENU bar = ::GetMenu(m_hWnd);
    if (hit != HTMENU || !CIconMenu::FromHandleIcon(bar)) {
        SetHotBarItem(-1);
        StopHotTimer();
        return;
    }
    const int position = MenuItemFromPoint(m_hWnd, bar, screen);
    if (position != hotBarItem) SetHotBarItem(position);
    // Leaving the bar sends no message: a timer looks where the pointer went.
    if (!hotTimer) hotTimer = SetTimer(kHotTimerId, kHotTimerMs);
}

void CIconMenuFrameWnd::SetHotBarItem(int position) {
    const int was = hotBarItem;
    hotBarItem = position;
    if (was >= 0) DrawBarItem(was, 0);
    if (position >= 0) DrawBarItem(position, ODS_HOTLIGHT);
}

void CIconMenuFrameWnd::DrawBarItem(int position, UINT state) {
    const HMENU bar = ::GetMenu(m_hWnd);
    CIconMenu* menu = CIconMenu::FromHandleIcon(bar);
    const CIconMenuItemData* item = menu ? menu->ItemData(position) : nullptr;
    RECT r, whole;
    if (!item || !GetMenuItemRect(m_hWnd, bar, static_cast<UINT>(position), &r) || !::GetWindowRect(m_hWnd, &whole))
        return;
    OffsetRect(&r, -whole.left, -whole.top);
    const HWND focus = ::GetFocus();
    if (!focus || (focus != m_hWnd && !::IsChild(m_hWnd, focus))) state |= ODS_INACTIVE;
    const UINT menuState = ::GetMenuState(bar, static_cast<UINT>(position), MF_BYPOSITION);
    if (menuState & MF_GRAYED) state |= ODS_GRAYED;
    if (menuState & MF_DISABLED) state |= ODS_DISABLED;
    const HDC hdc = ::GetWindowDC(m_hWnd);
    if (!hdc) return;
    DRAWITEMSTRUCT dis{ODT_MENU,     0,   item->commandId, ODA_DRAWENTIRE, state, reinterpret_cast<HWND>(bar),
                       hdc,          r,   reinterpret_cast<ULONG_PTR>(item)};
    menu->DrawItem(&dis);
    ::ReleaseDC(m_hWnd, hdc);
}

void CIconMenuFrameWnd::StopHotTimer() {
    if (hotTimer) KillTimer(hotTimer);
    hotTimer = 0;
}
