#pragma once
// The framework's toolbar: a control bar that is itself a toolbar control ("ToolbarWindow32"),
// filled from a toolbar resource (type 241) and the bitmap of the same id. At idle time each
// button asks its command's update handler whether it is enabled or checked (CCmdUI); the button
// under the pointer gives its command's tooltip (the string table's text after the line feed)
// and, with CBRS_FLYBY, its prompt (the text before it). Docked on the left or right it stands as
// a column; floating it wraps into rows of the width it was last given.

#include <string>
#include <vector>

#include "platform/controls/Toolbar.h"
#include "platform/framework/CBitmap.h"
#include "platform/framework/CControlBar.h"

// A button's style and state as GetButtonStyle gives them: the button style in the low word, the
// state in the high word with TBBS_DISABLED where the control has TBSTATE_ENABLED.
constexpr UINT TBBS_BUTTON = BTNS_BUTTON;
constexpr UINT TBBS_SEPARATOR = BTNS_SEP;
constexpr UINT TBBS_CHECKBOX = BTNS_CHECK;
constexpr UINT TBBS_GROUP = BTNS_GROUP;
constexpr UINT TBBS_CHECKGROUP = BTNS_CHECKGROUP;
constexpr UINT TBBS_DROPDOWN = BTNS_DROPDOWN;
constexpr UINT TBBS_AUTOSIZE = BTNS_AUTOSIZE;
constexpr UINT TBBS_NOPREFIX = BTNS_NOPREFIX;
constexpr UINT TBBS_CHECKED = UINT{TBSTATE_CHECKED} << 16;
constexpr UINT TBBS_PRESSED = UINT{TBSTATE_PRESSED} << 16;
constexpr UINT TBBS_DISABLED = UINT{TBSTATE_ENABLED} << 16;
constexpr UINT TBBS_HIDDEN = UINT{TBSTATE_HIDDEN} << 16;
constexpr UINT TBBS_INDETERMINATE = UINT{TBSTATE_INDETERMINATE} << 16;
constexpr UINT TBBS_WRAPPED = UINT{TBSTATE_WRAP} << 16;

class CToolBar : public CControlBar {
    DECLARE_DYNAMIC(CToolBar)

public:
    CToolBar();
    ~CToolBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = AFX_IDW_TOOLBAR);
    // dwCtrlStyle: the control's TBSTYLE_*; dwStyle: window style and bar style; rcBorders: the
    // margins around the buttons.
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                  DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect rcBorders = CRect(0, 0, 0, 0),
                  UINT nID = AFX_IDW_TOOLBAR);

    void SetSizes(SIZE sizeButton, SIZE sizeImage);
    // Sets the top and bottom margins so that the bar is cyHeight high lying horizontally.
    void SetHeight(int cyHeight);
    // The buttons of toolbar resource nIDResource (0 a separator), with the pictures of the
    // bitmap of the same id; FALSE when either is missing.
    BOOL LoadToolBar(UINT nIDResource);
    // Pictures from a bitmap resource, black, greys and white mapped to the button colours (and
    // mapped again when the system colours change).
    BOOL LoadBitmap(UINT nIDResource);
    // Pictures from a bitmap the bar takes over.
    BOOL SetBitmap(HBITMAP hbmImageWell);
    // Replaces the buttons: each id a button with the next picture, ID_SEPARATOR a separator;
    // with no array, nIDCount separators to be set later.
    BOOL SetButtons(const UINT* lpIDArray, int nIDCount);
    // Also tells the control where its notices go.
    void SetOwner(CWnd* pOwnerWnd);

    int GetCount() const;
    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    void GetItemRect(int nIndex, LPRECT lpRect) const;
    UINT GetButtonStyle(int nIndex) const;
    void SetButtonStyle(int nIndex, UINT nStyle);
    // iImage is a separator's width.
    void GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const;
    void SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage);

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    INT_PTR OnToolHitTest(CPoint point, TOOLINFOA* pTI) const override;

    CSize m_sizeButton{23, 22};
    CSize m_sizeImage{16, 15};

protected:
    DECLARE_MESSAGE_MAP()

    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnSysColorChange();

private:
    CBitmap m_bitmap;       // the pictures given to the control
    UINT m_nIDBitmap = 0;   // their resource, to map again
};
