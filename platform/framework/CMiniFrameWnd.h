#pragma once
// A mini-frame: a small top-level popup with a thin frame and a short caption holding its title
// and a close box, which it draws and hit-tests itself (the desktop frames only normal top-level
// windows). Dragging the caption moves it; with MFS_THICKFRAME its edges size it; the close box
// sends WM_CLOSE. Floating bars live in its CMiniDockFrameWnd kind.

#include "platform/framework/CFrameWnd.h"

// Mini-frame styles (in the window style).
constexpr DWORD MFS_SYNCACTIVE = 0x00000100;
constexpr DWORD MFS_4THICKFRAME = 0x00000200;
constexpr DWORD MFS_THICKFRAME = 0x00000400;
constexpr DWORD MFS_MOVEFRAME = 0x00000800;
constexpr DWORD MFS_BLOCKSYSMENU = 0x00010000;

class CMiniFrameWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMiniFrameWnd)

public:
    static constexpr int kCaptionHeight = 15;  // the small caption, without its bottom line
    static constexpr int kBorder = 3;          // the frame around caption and client area
    // Hit-test codes of its frame, with the window system's values.
    static constexpr LRESULT HTLEFT = 10, HTRIGHT = 11, HTTOP = 12, HTTOPLEFT = 13, HTTOPRIGHT = 14, HTBOTTOM = 15,
                             HTBOTTOMLEFT = 16, HTBOTTOMRIGHT = 17, HTCLOSE = 20;

    CMiniFrameWnd();
    ~CMiniFrameWnd() override;

    // pParentWnd owns the mini-frame; rect is its window rectangle on the screen.
    virtual BOOL Create(LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd = nullptr, UINT nID = 0);
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;

    // Grows a client rectangle to the window rectangle of a mini-frame.
    static void CalcBorders(LPRECT lpClientRect, DWORD dwStyle = 0);
    // The part of the window (window coordinates) a point (screen) lies on: HTCAPTION, HTCLIENT,
    // the close box or, sizable, an edge.
    LRESULT HitTest(CPoint screen) const;
    // The close box, in window coordinates.
    CRect CloseBoxRect() const;

    BOOL m_bSizable = FALSE;  // MFS_THICKFRAME or MFS_4THICKFRAME

protected:
    DECLARE_MESSAGE_MAP()

    void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    void OnNcPaint();
    LRESULT OnNcHitTest(CPoint point);
    void OnNcLButtonDown(UINT nHitTest, CPoint point);
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);

    // Moves the window with the pointer until the button is released (caption drags).
    void TrackMove(CPoint start);
    // Sizes the window from edge nHitTest until the button is released.
    void TrackSize(int nHitTest, CPoint start);
    // Presses the close box; TRUE when the button was released over it.
    BOOL TrackCloseBox();

private:
    void PaintCaption(CDC& dc, const CRect& window, bool closePressed);
    bool m_bClosePressed = false;
};
