#pragma once
// The frame of a floating tool bar, with its system menu drawn by the icon menus. The frame
// class the main frame gives its floating bars (m_pFloatingFrameClass).
//
// It derives from CFrameWnd until the framework's floating-bar frame (CMiniDockFrameWnd) exists;
// then it derives from that one and keeps these duties.

#include "platform/framework/CFrameWnd.h"
#include "widgets/CIconMenu.h"

class CIconMenuMiniDockFrameWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CIconMenuMiniDockFrameWnd)

public:
    CIconMenuMiniDockFrameWnd() = default;
    ~CIconMenuMiniDockFrameWnd() override;

    CIconMenu systemMenu;

protected:
    DECLARE_MESSAGE_MAP()

    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnDestroy();
    void OnMeasureItem(int nIDCtl, MEASUREITEMSTRUCT* lpMeasureItemStruct);
    LRESULT OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu);
    void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
};
