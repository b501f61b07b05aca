#pragma once
// A control bar: a strip along one side of a frame, or floating in a mini-frame, around the
// frame's view. It takes its share of the frame when the frame lays itself out (WM_SIZEPARENT),
// updates the states of its commands at idle time, shows a tooltip and a fly-by prompt in the
// frame's message bar for the command under the pointer, and, once docking is enabled, can be
// dragged to another side or off to float (CDockContext). Toolbars, status bars and the dock bars
// themselves derive from it.
//
// The bar style (m_dwStyle, CBRS_*) is the framework's; the low word of the window style belongs
// to the control a bar may be (ToolbarWindow32, msctls_statusbar32). Borders and the gripper lie
// in the non-client area, so the client area is the contents alone.

#include <memory>

#include "platform/controls/Tooltip.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CSize.h"
#include "platform/framework/CWnd.h"

class CDockBar;
class CDockContext;

using INT_PTR = std::intptr_t;

// Bar styles.
constexpr DWORD CBRS_ALIGN_LEFT = 0x1000;
constexpr DWORD CBRS_ALIGN_TOP = 0x2000;
constexpr DWORD CBRS_ALIGN_RIGHT = 0x4000;
constexpr DWORD CBRS_ALIGN_BOTTOM = 0x8000;
constexpr DWORD CBRS_ALIGN_ANY = 0xF000;
constexpr DWORD CBRS_BORDER_LEFT = 0x0100;
constexpr DWORD CBRS_BORDER_TOP = 0x0200;
constexpr DWORD CBRS_BORDER_RIGHT = 0x0400;
constexpr DWORD CBRS_BORDER_BOTTOM = 0x0800;
constexpr DWORD CBRS_BORDER_ANY = 0x0F00;
constexpr DWORD CBRS_TOOLTIPS = 0x0010;
constexpr DWORD CBRS_FLYBY = 0x0020;
constexpr DWORD CBRS_FLOAT_MULTI = 0x0040;
constexpr DWORD CBRS_BORDER_3D = 0x0080;
constexpr DWORD CBRS_HIDE_INPLACE = 0x0008;
constexpr DWORD CBRS_SIZE_DYNAMIC = 0x0004;
constexpr DWORD CBRS_SIZE_FIXED = 0x0002;
constexpr DWORD CBRS_FLOATING = 0x0001;
constexpr DWORD CBRS_GRIPPER = 0x00400000;
constexpr DWORD CBRS_ORIENT_HORZ = CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM;
constexpr DWORD CBRS_ORIENT_VERT = CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT;
constexpr DWORD CBRS_ORIENT_ANY = CBRS_ORIENT_HORZ | CBRS_ORIENT_VERT;
constexpr DWORD CBRS_ALL = 0x0040FFFF;
constexpr DWORD CBRS_NOALIGN = 0;
constexpr DWORD CBRS_LEFT = CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT;
constexpr DWORD CBRS_TOP = CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM;
constexpr DWORD CBRS_RIGHT = CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT;
constexpr DWORD CBRS_BOTTOM = CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP;

// CalcDynamicLayout's modes. LM_COMMIT applies the layout to the bar (and, floating, remembers
// its width); without it the call only measures.
constexpr DWORD LM_STRETCH = 0x01;
constexpr DWORD LM_HORZ = 0x02;
constexpr DWORD LM_MRUWIDTH = 0x04;
constexpr DWORD LM_HORZDOCK = 0x08;
constexpr DWORD LM_VERTDOCK = 0x10;
constexpr DWORD LM_LENGTHY = 0x20;
constexpr DWORD LM_COMMIT = 0x40;

// An indicator or button id that stands for a separator (or the status bar's message pane).
constexpr UINT ID_SEPARATOR = 0;

class CControlBar : public CWnd {
    DECLARE_DYNAMIC(CControlBar)

public:
    ~CControlBar() override;

    void SetBarStyle(DWORD dwStyle);
    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBorders(int cxLeft = 0, int cyTop = 0, int cxRight = 0, int cyBottom = 0);
    void SetBorders(LPCRECT lpRect) { SetBorders(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
    CRect GetBorders() const { return CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder); }

    // The size the bar wants: across all that is left (bStretch) or its own, lying horizontally
    // or vertically.
    virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
    // The size for a length (-1: the bar's own) in a mode (LM_*); the default is the fixed layout.
    virtual CSize CalcDynamicLayout(int nLength, DWORD dwMode);
    // Shrinks a window rectangle (window coordinates) to what the contents get: less the borders
    // and, docked, the gripper.
    virtual void CalcInsideRect(CRect& rect, BOOL bHorz) const;

    // Updates the states of the bar's commands, asking pTarget's handlers.
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) = 0;
    // The command under a client point, -1 for none; with pTI, the tool's rectangle and id.
    virtual INT_PTR OnToolHitTest(CPoint point, TOOLINFOA* pTI) const;

    // Docking on the sides dwDockStyle names (CBRS_ALIGN_*, with CBRS_FLOAT_MULTI); 0 forbids it.
    void EnableDocking(DWORD dwDockStyle);
    BOOL IsFloating() const { return (m_dwStyle & CBRS_FLOATING) != 0; }
    BOOL IsVisible() const { return m_hWnd && (GetStyle() & WS_VISIBLE) != 0; }
    virtual BOOL IsDockBar() const { return FALSE; }
    // The frame the bar belongs to (not the mini-frame of a floating bar): where its commands go.
    CFrameWnd* GetDockingFrame() const;

    virtual void DoPaint(CDC* pDC);
    // Draws the borders in the window rectangle (window coordinates) and shrinks it past them.
    virtual void DrawBorders(CDC* pDC, CRect& rect);
    virtual void DrawGripper(CDC* pDC, const CRect& rect);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    DWORD m_dwStyle = 0;  // CBRS_*
    int m_cxLeftBorder = 6;
    int m_cxRightBorder = 6;
    int m_cyTopBorder = 1;
    int m_cyBottomBorder = 1;
    int m_nMRUWidth = 32767;                       // the width it floats with
    CFrameWnd* m_pDockSite = nullptr;              // the frame it was made in
    CDockBar* m_pDockBar = nullptr;                // where it is docked (floating: its mini-frame's), if anywhere
    std::unique_ptr<CDockContext> m_pDockContext;  // made by EnableDocking
    DWORD m_dwDockStyle = 0;

protected:
    CControlBar();
    DECLARE_MESSAGE_MAP()

    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnDestroy();
    void OnPaint();
    void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    void OnNcPaint();
    LRESULT OnNcHitTest(CPoint point);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnTimer(UINT_PTR nIDEvent);
    LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);

    // Shows command nHit's prompt in the frame's message bar; -1 shows the idle prompt.
    void SetStatusText(INT_PTR nHit);
    // The bar's frame rectangle less the non-client part, in window coordinates.
    CRect InsideOfWindow() const;
    // A bar's own size, or across all there is when it stretches.
    static CSize Stretched(CSize size, BOOL bStretch, BOOL bHorz);
    // Re-measures the non-client area (borders and gripper follow the style).
    void RecalcNonClient();

private:
    // The pointer moved or clicked over the bar: its tooltip and prompt follow.
    void TrackPointer(UINT message, WPARAM wParam, LPARAM lParam);
    BOOL AnswerToolTip(NMTTDISPINFOA* info);
    // A child control's notice: offered to the control, then to the frame.
    bool ForwardToFrame(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void ForgetDockSite();

    HWND m_hWndToolTip = nullptr;  // owned, made on first need
    INT_PTR m_nToolShown = -1;     // the tool registered with it
    INT_PTR m_nFlyBy = -1;         // the command whose prompt shows
    bool m_bFlyByTimer = false;
};
