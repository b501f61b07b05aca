#pragma once
// The frame base of the icon menus: its menu bar is a CIconMenu loaded from the frame's menu
// resource, its system menu is wrapped in one, and the menu messages of the window go to them
// (measuring, mnemonics, popups opening). On systems that do not track the bar's hot item
// themselves it draws the item under the pointer hot.

#include "platform/framework/CFrameWnd.h"
#include "widgets/CIconMenu.h"

class CIconMenuFrameWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CIconMenuFrameWnd)

public:
    CIconMenuFrameWnd() = default;
    ~CIconMenuFrameWnd() override;

    // With a menu resource: it is loaded into menuBar (all owner-drawn) and the window made with
    // it; false when it cannot be loaded.
    using CFrameWnd::Create;
    BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCSTR lpszMenuName = nullptr,
                DWORD dwExStyle = 0, CCreateContext* pContext = nullptr) override;
    using CFrameWnd::CreateEx;
    BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, int x, int y,
                  int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam = nullptr) override;

    CIconMenu systemMenu;
    CIconMenu menuBar;
    bool inMenuLoop = false;
    UINT_PTR hotTimer = 0;
    int hotBarItem = -1;

protected:
    DECLARE_MESSAGE_MAP()

    // Framework creation, then the system menu wrapped in systemMenu.
    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnDestroy();
    void OnMeasureItem(int nIDCtl, MEASUREITEMSTRUCT* lpMeasureItemStruct);
    LRESULT OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu);
    void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    void OnEnterMenuLoop(BOOL bIsTrackPopupMenu);
    void OnExitMenuLoop(BOOL bIsTrackPopupMenu);
    void OnTimer(UINT_PTR nIDEvent);
    LRESULT OnNcHitTest(CPoint point);
    void OnSysColorChange();

private:
    void TrackHotItem(LRESULT hit, POINT screen);
    void SetHotBarItem(int position);
    void DrawBarItem(int position, UINT state);
    void StopHotTimer();
    // Rebuilds the icon sets, or comes back when the last rebuild is far enough behind.
    void RebuildIcons();

    bool createWithBar_ = false;
    HMENU trackedPopup_ = nullptr;
};
