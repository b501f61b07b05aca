#include "widgets/CIconMenuMiniDockFrameWnd.h"

#include "platform/framework/AfxMsg.h"
#include "platform/window/Windows.h"

IMPLEMENT_DYNCREATE(CIconMenuMiniDockFrameWnd, CFrameWnd)

CIconMenuMiniDockFrameWnd::~CIconMenuMiniDockFrameWnd() { systemMenu.Detach(); }

BEGIN_MESSAGE_MAP(CIconMenuMiniDockFrameWnd, CFrameWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_MEASUREITEM()
ON_WM_MENUCHAR()
ON_WM_INITMENUPOPUP()
END_MESSAGE_MAP()

int CIconMenuMiniDockFrameWnd::OnCreate(LPCREATESTRUCTA lpcs) {
    if (CFrameWnd::OnCreate(lpcs) == -1) return -1;
    systemMenu.Attach(::GetSystemMenu(m_hWnd, FALSE));
    return 0;
}

void CIconMenuMiniDockFrameWnd::OnDestroy() {
    systemMenu.Detach();
    CFrameWnd::OnDestroy();
}

void CIconMenuMiniDockFrameWnd::OnMeasureItem(int nIDCtl, MEASUREITEMSTRUCT* lpMeasureItemStruct) {
    if (!CIconMenu::MeasureFor(m_hWnd, nullptr, lpMeasureItemStruct)) CFrameWnd::OnMeasureItem(nIDCtl, lpMeasureItemStruct);
}

LRESULT CIconMenuMiniDockFrameWnd::OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu) {
    LRESULT result = 0;
    return CIconMenu::MenuCharFor(pMenu, nChar, result) ? result : CFrameWnd::OnMenuChar(nChar, nFlags, pMenu);
}

void CIconMenuMiniDockFrameWnd::OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu) {
    CFrameWnd::OnInitMenuPopup(pPopupMenu, nIndex, bSysMenu);
    CIconMenu::PopupOpening(pPopupMenu, m_hWnd);
}
