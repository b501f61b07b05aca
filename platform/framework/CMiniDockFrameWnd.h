#pragma once
// The mini-frame a floating bar lives in: its floating dock bar holds the bar, it takes the bar's
// size and title, hides while the bar is hidden, and goes once the bar has left it. Dragging its
// caption drags the bar (to dock it again), a double click on the caption docks it back, its
// edges size a bar of CBRS_SIZE_DYNAMIC, and its close box hides the bar. A frame makes these
// from m_pFloatingFrameClass, so a program may put a class of its own derived from this one.

#include "platform/framework/CDockBar.h"
#include "platform/framework/CMiniFrameWnd.h"

class CMiniDockFrameWnd : public CMiniFrameWnd {
    DECLARE_DYNCREATE(CMiniDockFrameWnd)

public:
    // Posted to itself when its bar left: it goes if it is still empty then.
    static constexpr UINT WM_CHECKEMPTY = 0x037E;

    CMiniDockFrameWnd();
    ~CMiniDockFrameWnd() override;

    // A floating frame owned by pParent (the frame the bar docks in) for bars of dwBarStyle.
    virtual BOOL Create(CWnd* pParent, DWORD dwBarStyle);
    // Fits itself around its bar (and shows itself) or hides when the bar is hidden.
    void RecalcLayout(BOOL bNotify = TRUE) override;
    // The bar floating here, if any.
    CControlBar* GetFloatingBar() const;

    CDockBar m_wndDockBar;

protected:
    DECLARE_MESSAGE_MAP()

    void OnClose();
    void OnNcLButtonDown(UINT nHitTest, CPoint point);
    void OnNcLButtonDblClk(UINT nHitTest, CPoint point);
    LRESULT OnCheckEmpty(WPARAM wParam, LPARAM lParam);

private:
    bool m_bInLayout = false;
};
