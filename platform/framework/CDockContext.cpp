#include "platform/framework/CDockContext.h"

#include <algorithm>

#include "platform/framework/CControlBar.h"
#include "platform/framework/CDockBar.h"
#include "platform/framework/CMiniDockFrameWnd.h"
#include "platform/framework/DragLoop.h"
#include "platform/framework/TrackingOutline.h"
#include "platform/window/Windows.h"

namespace {

constexpr int kDockOutline = 1;   // where it would dock
constexpr int kFloatOutline = 3;  // where it would float

// Moves `rect` so that the pointer lies inside it, keeping it where it is when it does.
void KeepUnder(CRect& rect, CPoint pt) {
    if (pt.x < rect.left || pt.x >= rect.right) rect.OffsetRect(pt.x - (rect.left + rect.Width() / 2), 0);
    if (pt.y < rect.top || pt.y >= rect.bottom) rect.OffsetRect(0, pt.y - (rect.top + rect.Height() / 2));
}

CMiniDockFrameWnd* FloatingFrameOf(const CControlBar* bar) {
    if (!bar->IsFloating() || !bar->m_pDockBar) return nullptr;
    return dynamic_cast<CMiniDockFrameWnd*>(CWnd::FromHandlePermanent(::GetParent(bar->m_pDockBar->m_hWnd)));
}

}  // namespace

CDockContext::CDockContext(CControlBar* pBar) : m_pBar(pBar) {}
CDockContext::~CDockContext() = default;

void CDockContext::StartDrag(CPoint pt) {
    m_pDockSite = m_pBar->GetDockingFrame();
    if (!m_pDockSite || m_mode != Mode::None) return;
    m_dwDockStyle = m_pBar->m_dwDockStyle;
    m_dwStyle = m_pBar->m_dwStyle & CBRS_ALIGN_ANY;
    m_bForceFrame = FALSE;
    CRect rect;
    m_pBar->GetWindowRect(&rect);
    m_ptLast = m_ptStart = pt;
    // The bar's shape on each kind of place, where it is now.
    m_rectDragHorz = CRect(rect.TopLeft(), m_pBar->CalcDynamicLayout(-1, LM_HORZ | LM_HORZDOCK));
    m_rectDragVert = CRect(rect.TopLeft(), m_pBar->CalcDynamicLayout(-1, LM_VERTDOCK));
    if (CMiniDockFrameWnd* frame = FloatingFrameOf(m_pBar)) {
        frame->GetWindowRect(&m_rectFrameDragHorz);
    } else {
        m_rectFrameDragHorz = CRect(rect.TopLeft(), m_pBar->CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH));
        CMiniFrameWnd::CalcBorders(&m_rectFrameDragHorz);
    }
    KeepUnder(m_rectDragHorz, pt);
    KeepUnder(m_rectDragVert, pt);
    KeepUnder(m_rectFrameDragHorz, pt);
    m_dwOverDockStyle = CanDock(&m_pOverDockBar);
    m_mode = Mode::Drag;
    const bool accepted = Track();
    m_mode = Mode::None;
    if (accepted) EndDrag();
}

void CDockContext::StartResize(int nHitTest, CPoint pt) {
    CMiniDockFrameWnd* frame = FloatingFrameOf(m_pBar);
    if (!frame || m_mode != Mode::None) return;
    m_pDockSite = m_pBar->GetDockingFrame();
    m_nHitTest = nHitTest;
    m_ptLast = m_ptStart = pt;
    frame->GetWindowRect(&m_rectLast);
    m_rectFrameDragHorz = m_rectLast;
    m_lengthMode = 0;
    m_mode = Mode::Resize;
    const bool accepted = Track();
    m_mode = Mode::None;
    if (accepted) EndResize();
}

bool CDockContext::Track() {
    TrackingOutline outline(m_pBar->m_hWnd);
    m_pOutline = &outline;
    m_bMoved = false;
    m_bDragging = TRUE;
    DragLoop loop(m_pBar->m_hWnd);
    loop.onMove = [this](POINT p) {
        const CPoint pt(p);
        if (!m_bMoved && pt == m_ptStart) return;
        m_bMoved = true;
        if (m_mode == Mode::Drag)
            Move(pt);
        else
            Stretch(pt);
    };
    loop.onKey = [this](const MSG& key) {
        if (key.wParam != VK_CONTROL || m_mode != Mode::Drag) return false;
        m_bForceFrame = key.message == WM_KEYDOWN;
        if (m_bMoved) Move(m_ptLast);
        return true;
    };
    const bool accepted = loop.Run();
    m_pOutline = nullptr;
    m_bDragging = FALSE;
    return accepted && m_bMoved;
}

void CDockContext::Move(CPoint pt) {
    const CSize by(pt.x - m_ptLast.x, pt.y - m_ptLast.y);
    m_rectDragHorz.OffsetRect(by);
    m_rectDragVert.OffsetRect(by);
    m_rectFrameDragHorz.OffsetRect(by);
    m_ptLast = pt;
    m_pOverDockBar = nullptr;
    m_dwOverDockStyle = m_bForceFrame ? 0 : CanDock(&m_pOverDockBar);
    DrawFocusRect();
}

DWORD CDockContext::CanDock(CDockBar** ppDockBar) {
    if (!m_pDockSite) return 0;
    const auto horz = [&] {
        return (m_dwDockStyle & CBRS_ORIENT_HORZ)
                   ? m_pDockSite->CanDock(m_rectDragHorz, m_dwDockStyle & ~CBRS_ORIENT_VERT, ppDockBar)
                   : 0;
    };
    const auto vert = [&] {
        return (m_dwDockStyle & CBRS_ORIENT_VERT)
                   ? m_pDockSite->CanDock(m_rectDragVert, m_dwDockStyle & ~CBRS_ORIENT_HORZ, ppDockBar)
                   : 0;
    };
    // The bar's present shape has the first say.
    if ((m_dwStyle & CBRS_ORIENT_VERT) && !m_pBar->IsFloating()) {
        const DWORD side = vert();
        return side ? side : horz();
    }
    const DWORD side = horz();
    return side ? side : vert();
}

void CDockContext::DrawFocusRect() {
    if (!m_pOutline) return;
    if (m_mode == Mode::Resize)
        m_pOutline->Outline(m_rectFrameDragHorz, kFloatOutline);
    else if (m_dwOverDockStyle & CBRS_ORIENT_HORZ)
        m_pOutline->Outline(m_rectDragHorz, kDockOutline);
    else if (m_dwOverDockStyle & CBRS_ORIENT_VERT)
        m_pOutline->Outline(m_rectDragVert, kDockOutline);
    else
        m_pOutline->Outline(m_rectFrameDragHorz, kFloatOutline);
}

void CDockContext::EndDrag() {
    if ((m_dwOverDockStyle & CBRS_ALIGN_ANY) && m_pOverDockBar) {
        const CRect rect = (m_dwOverDockStyle & CBRS_ORIENT_VERT) ? m_rectDragVert : m_rectDragHorz;
        m_pDockSite->DockControlBar(m_pBar, m_pOverDockBar, &rect);
    } else {
        m_pDockSite->FloatControlBar(m_pBar, m_rectFrameDragHorz.TopLeft(),
                                     CBRS_ALIGN_TOP | (m_dwDockStyle & CBRS_FLOAT_MULTI));
    }
}

void CDockContext::Stretch(CPoint pt) {
    m_ptLast = pt;
    CRect client = m_rectLast;
    client.DeflateRect(CMiniFrameWnd::kBorder, 0);
    client.top += CMiniFrameWnd::kBorder + CMiniFrameWnd::kCaptionHeight;
    client.bottom -= CMiniFrameWnd::kBorder;
    const int dx = pt.x - m_ptStart.x, dy = pt.y - m_ptStart.y;
    const bool left = m_nHitTest == CMiniFrameWnd::HTLEFT || m_nHitTest == CMiniFrameWnd::HTTOPLEFT ||
                      m_nHitTest == CMiniFrameWnd::HTBOTTOMLEFT;
    const bool right = m_nHitTest == CMiniFrameWnd::HTRIGHT || m_nHitTest == CMiniFrameWnd::HTTOPRIGHT ||
                       m_nHitTest == CMiniFrameWnd::HTBOTTOMRIGHT;
    const bool top = m_nHitTest == CMiniFrameWnd::HTTOP || m_nHitTest == CMiniFrameWnd::HTTOPLEFT ||
                     m_nHitTest == CMiniFrameWnd::HTTOPRIGHT;
    // A side edge asks for a width, the top or bottom edge for a height; the bar picks its shape.
    CSize size;
    if (left || right)
        size = m_pBar->CalcDynamicLayout(std::max(1, client.Width() + (left ? -dx : dx)), LM_HORZ);
    else
        size = m_pBar->CalcDynamicLayout(std::max(1, client.Height() + (top ? -dy : dy)), LM_HORZ | LM_LENGTHY);
    CRect frame(0, 0, size.cx, size.cy);
    CMiniFrameWnd::CalcBorders(&frame);
    // The edge opposite the one dragged stays.
    const int x = left ? m_rectLast.right - frame.Width() : m_rectLast.left;
    const int y = top ? m_rectLast.bottom - frame.Height() : m_rectLast.top;
    m_rectFrameDragHorz = CRect(x, y, x + frame.Width(), y + frame.Height());
    m_lengthAsked = (left || right) ? size.cx : size.cy;
    m_lengthMode = (left || right) ? LM_HORZ : LM_HORZ | LM_LENGTHY;
    DrawFocusRect();
}

void CDockContext::EndResize() {
    CMiniDockFrameWnd* frame = FloatingFrameOf(m_pBar);
    if (!frame || !m_lengthMode) return;
    m_pBar->CalcDynamicLayout(m_lengthAsked, m_lengthMode | LM_COMMIT);
    frame->SetWindowPos(nullptr, m_rectFrameDragHorz.left, m_rectFrameDragHorz.top, 0, 0,
                        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    frame->RecalcLayout();
}

void CDockContext::ToggleDocking() {
    m_pDockSite = m_pBar->GetDockingFrame();
    if (!m_pDockSite || m_mode != Mode::None) return;
    if (m_pBar->IsFloating()) {
        // Back where it was docked last, else on the first side it may dock on.
        if (auto* dock = dynamic_cast<CDockBar*>(m_pDockSite->GetControlBar(m_uMRUDockID));
            dock && m_uMRUDockID && (m_pBar->m_dwDockStyle & dock->m_dwStyle & CBRS_ALIGN_ANY)) {
            CRect rect = m_rectMRUDockPos;
            dock->ClientToScreen(&rect);
            m_pDockSite->DockControlBar(m_pBar, dock, &rect);
        } else {
            m_pDockSite->DockControlBar(m_pBar, 0U, nullptr);
        }
        return;
    }
    CPoint pt = m_ptMRUFloatPos;
    if (!m_bMRUFloated) {
        // Floating for the first time: its contents stay where they are.
        CRect rect;
        m_pBar->GetWindowRect(&rect);
        CMiniFrameWnd::CalcBorders(&rect);
        pt = rect.TopLeft();
    }
    m_pDockSite->FloatControlBar(m_pBar, pt, CBRS_ALIGN_TOP | (m_dwDockStyle & CBRS_FLOAT_MULTI));
}
