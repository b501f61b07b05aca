#pragma once
// One command's state being updated: the handler of ON_UPDATE_COMMAND_UI says whether the command
// is enabled, checked or a radio choice, and may change its text. The base class applies that to a
// menu item (m_pMenu, m_nIndex) or to a window (m_pOther); control bars derive their own.

#include "platform/framework/CCmdTarget.h"

class CMenu;
class CWnd;

class CCmdUI {
public:
    UINT m_nID = 0;
    UINT m_nIndex = 0;
    CMenu* m_pMenu = nullptr;        // the popup holding the item
    CMenu* m_pSubMenu = nullptr;     // the popup the item opens; then m_nID is that popup's first command
    CMenu* m_pParentMenu = nullptr;  // the menu bar, when m_pMenu is one of its popups
    CWnd* m_pOther = nullptr;        // a window standing for the command (a button, a bar)
    UINT m_nIndexMax = 0;
    BOOL m_bEnableChanged = FALSE;
    BOOL m_bContinueRouting = FALSE;

    virtual ~CCmdUI() = default;

    virtual void Enable(BOOL bOn = TRUE);
    virtual void SetCheck(int nCheck = 1);  // 0 clear, 1 checked, 2 indeterminate
    virtual void SetRadio(BOOL bOn = TRUE);
    virtual void SetText(LPCSTR lpszText);
    void ContinueRouting() { m_bContinueRouting = TRUE; }

    // Asks pTarget's chain; when nobody says and bDisableIfNoHndler is set, enables the command
    // exactly when some handler of it exists. TRUE when the update was handled.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);
};
