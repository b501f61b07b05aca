#include "platform/framework/CMiniDockFrameWnd.h"

#include "platform/framework/AfxMsg.h"
#include "platform/framework/CDockContext.h"
#include "platform/window/Windows.h"

IMPLEMENT_DYNCREATE(CMiniDockFrameWnd, CMiniFrameWnd)

CMiniDockFrameWnd::CMiniDockFrameWnd() : m_wndDockBar(TRUE) {}
CMiniDockFrameWnd::~CMiniDockFrameWnd() = default;

BOOL CMiniDockFrameWnd::Create(CWnd* pParent, DWORD dwBarStyle) {
    // Edges size a bar that can take other shapes, and move the others.
    const DWORD style = MFS_SYNCACTIVE | MFS_BLOCKSYSMENU | MFS_4THICKFRAME |
                        ((dwBarStyle & CBRS_SIZE_DYNAMIC) ? 0 : MFS_MOVEFRAME);
    if (!CMiniFrameWnd::Create(nullptr, "", style, CRect(0, 0, 2 * kBorder, 2 * kBorder + kCaptionHeight), pParent))
        return FALSE;
    m_bSizable = (dwBarStyle & CBRS_SIZE_DYNAMIC) != 0;
    auto* site = dynamic_cast<CFrameWnd*>(pParent);
    m_wndDockBar.m_pDockSite = site;
    const DWORD align = (dwBarStyle & CBRS_ALIGN_ANY) ? (dwBarStyle & CBRS_ALIGN_ANY) : CBRS_ALIGN_TOP;
    if (!m_wndDockBar.Create(this, WS_CHILD | WS_VISIBLE | align, AFX_IDW_DOCKBAR_FLOAT)) {
        DestroyWindow();
        return FALSE;
    }
    // What the floating bar's controls say goes to the frame it belongs to.
    m_wndDockBar.SetOwner(pParent);
    return TRUE;
}

CControlBar* CMiniDockFrameWnd::GetFloatingBar() const {
    const std::vector<CControlBar*> bars = m_wndDockBar.GetDockedBars();
    return bars.empty() ? nullptr : bars.front();
}

void CMiniDockFrameWnd::RecalcLayout(BOOL) {
    if (m_bInLayout || !m_hWnd) return;
    m_bInLayout = true;
    CControlBar* bar = GetFloatingBar();
    if (!bar || !bar->IsVisible()) {
        if (GetStyle() & WS_VISIBLE) ShowWindow(SW_HIDE);
        m_bInLayout = false;
        return;
    }
    m_bSizable = (bar->m_dwStyle & CBRS_SIZE_DYNAMIC) != 0;
    const CSize size = bar->CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH | LM_COMMIT);
    CRect window(0, 0, size.cx, size.cy);
    CalcBorders(&window);
    SetWindowPos(nullptr, 0, 0, window.Width(), window.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_wndDockBar.SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    bar->SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    // The caption names the bar.
    if (const std::string title = bar->GetWindowText(); title != GetWindowText()) SetWindowText(title);
    if (!(GetStyle() & WS_VISIBLE)) ShowWindow(SW_SHOWNA);
    m_bInLayout = false;
}

BEGIN_MESSAGE_MAP(CMiniDockFrameWnd, CMiniFrameWnd)
ON_WM_CLOSE()
ON_WM_NCLBUTTONDOWN()
ON_WM_NCLBUTTONDBLCLK()
ON_MESSAGE(WM_CHECKEMPTY, &CMiniDockFrameWnd::OnCheckEmpty)
END_MESSAGE_MAP()

void CMiniDockFrameWnd::OnClose() {
    // Closing a floating bar hides it; the toggle shows it here again.
    CControlBar* bar = GetFloatingBar();
    if (!bar) {
        DestroyWindow();
        return;
    }
    if (CFrameWnd* site = bar->GetDockingFrame())
        site->ShowControlBar(bar, FALSE, FALSE);
    else
        bar->ShowWindow(SW_HIDE);
    RecalcLayout();
}

void CMiniDockFrameWnd::OnNcLButtonDown(UINT nHitTest, CPoint point) {
    CControlBar* bar = GetFloatingBar();
    CDockContext* context = bar ? bar->m_pDockContext.get() : nullptr;
    if (context && nHitTest == HTCAPTION) {
        context->StartDrag(point);
        return;
    }
    if (context && m_bSizable && nHitTest >= HTLEFT && nHitTest <= HTBOTTOMRIGHT) {
        context->StartResize(static_cast<int>(nHitTest), point);
        return;
    }
    CMiniFrameWnd::OnNcLButtonDown(nHitTest, point);
}

void CMiniDockFrameWnd::OnNcLButtonDblClk(UINT nHitTest, CPoint point) {
    CControlBar* bar = GetFloatingBar();
    if (bar && bar->m_pDockContext && nHitTest == HTCAPTION) {
        bar->m_pDockContext->ToggleDocking();
        return;
    }
    CMiniFrameWnd::OnNcLButtonDblClk(nHitTest, point);
}

LRESULT CMiniDockFrameWnd::OnCheckEmpty(WPARAM, LPARAM) {
    if (m_wndDockBar.GetDockedCount() == 0) DestroyWindow();  // may free this frame: nothing after it
    return 0;
}
