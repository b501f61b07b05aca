#pragma once
// The frame's dockable toolbar: a flat bar (CFlatBarBase) that is itself a toolbar control
// ("ToolbarWindow32"), filled from a toolbar resource (type 241) and the bitmap of the same id
// with the button colours mapped in. Its buttons follow their commands' update rules at idle
// time and give their commands' tooltips and prompts, as the framework's toolbar does. The
// button layout is kept per user in the registry under stateSubKey / stateValueName: saved when
// the window goes and after a customization, restored when a customize table is loaded.

#include <string>
#include <vector>

#include "platform/controls/Toolbar.h"
#include "platform/framework/AfxRes.h"
#include "platform/framework/CBitmap.h"
#include "widgets/CFlatBarBase.h"

class CFlatToolBar : public CFlatBarBase {
    DECLARE_DYNAMIC(CFlatToolBar)

public:
    // A button the customize dialog may offer, with its text.
    struct CustomizeButton {
        TBBUTTON button;
        const char* text;
    };
    // The menu whose first popup a drop-down button opens.
    struct DropDownMenu {
        UINT commandId;
        UINT menuResource;
    };
    // The "&Customize..." item of the right-click menu.
    static constexpr UINT kCustomizeCommand = 255;
    // The window style bits of the bar style that reach the control, and those it always has.
    static constexpr DWORD kControlStyleMask = 0xFFBF004E;
    static constexpr DWORD kControlStyles = CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NOMOVEY;

    CFlatToolBar();
    ~CFlatToolBar() override;

    // dwCtrlStyle: the control's TBSTYLE_*; dwStyle: window style and bar style; rcBorders: the
    // margins around the buttons.
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                  DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect rcBorders = CRect(0, 0, 0, 0),
                  UINT nID = AFX_IDW_TOOLBAR);
    // The buttons of toolbar resource nIDResource (0 a separator) with the pictures of the bitmap
    // of the same id. With a customize table (kept, not copied: the caller keeps it alive) the
    // bar becomes adjustable and takes its saved layout. FALSE when the resource, the window or
    // the bitmap is missing.
    BOOL LoadToolBar(UINT nIDResource, const CustomizeButton* pCustomize = nullptr, int nCustomizeCount = 0);
    void SetSizes(SIZE sizeButton, SIZE sizeImage);
    // A drop-down button for commandId: pressing it opens the first popup of menuResource.
    void SetDropDownMenu(UINT commandId, UINT menuResource);
    void SaveState();
    void RestoreState();

    int GetCount() const;
    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;  // 0 for a separator or an index out of range
    void GetItemRect(int nIndex, LPRECT lpRect) const;

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    INT_PTR OnToolHitTest(CPoint point, TOOLINFOA* pTI) const override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    HKEY stateKeyRoot = HKEY_CURRENT_USER;
    std::string stateSubKey;     // empty: the layout is not kept
    std::string stateValueName;  // "FlatToolBar 1" for the process's first toolbar, and so on
    int buttonWidth = 23;
    int buttonHeight = 22;
    int imageWidth = 16;
    int imageHeight = 15;
    const CustomizeButton* customizeButtons = nullptr;  // not owned
    int customizeCount = 0;
    std::vector<DropDownMenu> dropDownMenus;
    CBitmap bitmap;  // the pictures the control shows
    UINT bitmapResource = 0;
    HINSTANCE bitmapInstance = nullptr;
    bool layoutPending = true;

protected:
    DECLARE_MESSAGE_MAP()

    BOOL OnNcCreate(LPCREATESTRUCTA lpcs);
    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnDestroy();
    void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnSysColorChange();

    void OnEndAdjust(NMHDR* pNMHDR, LRESULT* pResult);
    void OnReset(NMHDR* pNMHDR, LRESULT* pResult);
    void OnGetButtonInfo(NMHDR* pNMHDR, LRESULT* pResult);
    void OnQueryInsertOrDelete(NMHDR* pNMHDR, LRESULT* pResult);
    void OnToolBarChange(NMHDR* pNMHDR, LRESULT* pResult);
    void OnIgnored(NMHDR* pNMHDR, LRESULT* pResult);
    void OnDropDown(NMHDR* pNMHDR, LRESULT* pResult);

private:
    // Loads bitmapResource with the current button colours and gives it to the control.
    BOOL LoadMappedBitmap();
    // Size and setting messages: the control handles them without its flat styles from 4.71 on.
    LRESULT WithoutFlatStyles(UINT message, WPARAM wParam, LPARAM lParam);
    // The layout mode of where the bar is now.
    DWORD CurrentLayoutMode() const;
};
