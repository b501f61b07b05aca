#pragma once
// What a bar that is itself a toolbar control ("ToolbarWindow32") does with its buttons, shared by
// the framework's toolbar and the bars built like it: buttons from a list of command ids, a
// button's style and state in the framework's TBBS_* form, the command under a point, the states
// of the commands asked at idle time, and the pictures of a bitmap swapped in place.

#include "platform/controls/Toolbar.h"
#include "platform/controls/Tooltip.h"
#include "platform/framework/AfxPriv.h"
#include "platform/framework/CBitmap.h"
#include "platform/framework/CPoint.h"

class CFrameWnd;
class CWnd;

class ToolbarButtons {
public:
    // Replaces the buttons: each id a button with the next picture, 0 a separator of `separatorWidth`
    // (0: the control's own width); with no array, nIDCount separators.
    static BOOL SetButtons(HWND toolbar, const UINT* lpIDArray, int nIDCount, int separatorWidth = 0);
    static int GetCount(HWND toolbar);
    // The index of the button for nIDFind, -1 for none.
    static int CommandToIndex(HWND toolbar, UINT nIDFind);
    // 0 for a separator or an index out of range.
    static UINT GetItemID(HWND toolbar, int nIndex);
    // An empty rectangle for an index out of range.
    static void GetItemRect(HWND toolbar, int nIndex, LPRECT lpRect);
    // The button style in the low word, the state in the high word with TBBS_DISABLED where the
    // control has TBSTATE_ENABLED; 0 for no such button.
    static UINT GetButtonStyle(HWND toolbar, int nIndex);
    static void SetButtonStyle(HWND toolbar, int nIndex, UINT nStyle);
    // The command of the button under a client point, -1 for none; with pTI, the tool for it.
    static INT_PTR HitTest(HWND toolbar, CPoint point, TOOLINFOA* pTI);
    // Asks pTarget's update handlers for the state of every button's command, then updates the
    // bar's child controls.
    static void UpdateCommands(CWnd& bar, CFrameWnd* pTarget, BOOL bDisableIfNoHndler);
    // Gives the control the pictures of hbmImageWell (taken over; freed on failure), replacing
    // those of `current`, which then holds it.
    static BOOL SetBitmap(HWND toolbar, CBitmap& current, HBITMAP hbmImageWell, SIZE image);
};
