#include "platform/framework/CDockBar.h"

#include <algorithm>

#include "platform/framework/AfxMsg.h"
#include "platform/framework/CDockContext.h"
#include "platform/framework/CMiniDockFrameWnd.h"
#include "platform/window/Windows.h"

IMPLEMENT_DYNAMIC(CDockBar, CControlBar)

namespace {

// A frame's dock bars, in the order they take their share of it: top and bottom across the whole
// width, left and right between them.
struct DockSide {
    UINT id;
    DWORD side;
};
constexpr DockSide kDockSides[] = {{AFX_IDW_DOCKBAR_TOP, CBRS_ALIGN_TOP},
                                   {AFX_IDW_DOCKBAR_BOTTOM, CBRS_ALIGN_BOTTOM},
                                   {AFX_IDW_DOCKBAR_LEFT, CBRS_ALIGN_LEFT},
                                   {AFX_IDW_DOCKBAR_RIGHT, CBRS_ALIGN_RIGHT}};

}  // namespace

CDockBar::CDockBar(BOOL bFloating) : m_bFloating(bFloating) {
    m_cxLeftBorder = m_cxRightBorder = m_cyTopBorder = m_cyBottomBorder = 0;
}

CDockBar::~CDockBar() {
    for (auto& row : m_rows)
        for (Docked& d : row)
            if (d.bar->m_pDockBar == this) d.bar->m_pDockBar = nullptr;
}

BOOL CDockBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
    m_dwStyle = dwStyle & CBRS_ALL;
    return CWnd::Create(AFX_WNDCONTROLBAR, nullptr, (dwStyle & ~CBRS_ALL) | WS_CHILD, CRect(), pParentWnd, nID);
}

int CDockBar::GetDockedCount() const {
    int count = 0;
    for (const auto& row : m_rows) count += static_cast<int>(row.size());
    return count;
}

int CDockBar::GetDockedVisibleCount() const {
    int count = 0;
    for (const auto& row : m_rows)
        for (const Docked& d : row)
            if (d.bar->IsVisible()) ++count;
    return count;
}

std::vector<CControlBar*> CDockBar::GetDockedBars() const {
    std::vector<CControlBar*> bars;
    for (const auto& row : m_rows)
        for (const Docked& d : row) bars.push_back(d.bar);
    return bars;
}

int CDockBar::RowOf(const CControlBar* pBar) const {
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        for (const Docked& d : m_rows[i])
            if (d.bar == pBar) return static_cast<int>(i);
    return -1;
}

void CDockBar::DockControlBar(CControlBar* pBar, LPCRECT lpRect) {
    if (!pBar || pBar == this || !pBar->m_hWnd || !m_hWnd) return;
    if (pBar->m_pDockBar == this) {
        // Moving within this dock bar: its old row goes first, if that empties it.
        const int row = RowOf(pBar);
        auto& bars = m_rows[static_cast<std::size_t>(row)];
        bars.erase(std::remove_if(bars.begin(), bars.end(), [&](const Docked& d) { return d.bar == pBar; }),
                   bars.end());
        if (bars.empty()) {
            m_rows.erase(m_rows.begin() + row);
            if (static_cast<std::size_t>(row) < m_rowPlaces.size()) m_rowPlaces.erase(m_rowPlaces.begin() + row);
        }
    } else if (pBar->m_pDockBar) {
        pBar->m_pDockBar->RemoveControlBar(pBar);
    }

    // The row under the middle of the rectangle, else a new row before the first or after the last.
    std::size_t row = m_rows.size();
    bool newRow = true;
    int offset = 0;
    if (lpRect) {
        CRect r(*lpRect);
        ScreenToClient(&r);
        const bool horz = Horizontal();
        const int across = horz ? (r.top + r.bottom) / 2 : (r.left + r.right) / 2;
        offset = std::max(0, static_cast<int>(horz ? r.left : r.top));
        if (!m_rowPlaces.empty() && m_rowPlaces.size() == m_rows.size()) {
            if (across < m_rowPlaces.front().start) {
                row = 0;
            } else {
                for (std::size_t i = 0; i < m_rowPlaces.size(); ++i) {
                    const RowPlace& place = m_rowPlaces[i];
                    if (across >= place.start && across < place.start + place.thickness) {
                        row = i;
                        newRow = false;
                        break;
                    }
                }
            }
        }
    }
    if (newRow) {
        m_rows.insert(m_rows.begin() + static_cast<std::ptrdiff_t>(row), {Docked{pBar, offset}});
        m_rowPlaces.clear();  // stale until the next arrangement
    } else {
        auto& bars = m_rows[row];
        const auto at =
            std::find_if(bars.begin(), bars.end(), [&](const Docked& d) { return d.offset > offset; });
        bars.insert(at, Docked{pBar, offset});
    }

    pBar->m_pDockBar = this;
    DWORD style = pBar->m_dwStyle & ~(CBRS_ALIGN_ANY | CBRS_FLOATING);
    style |= (m_dwStyle & CBRS_ALIGN_ANY) | (m_bFloating ? CBRS_FLOATING : 0);
    pBar->m_dwStyle = style;
    if (::GetParent(pBar->m_hWnd) != m_hWnd) ::SetParent(pBar->m_hWnd, m_hWnd);
    // Borders and gripper follow the new style.
    ::SetWindowPos(pBar->m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    ::RedrawWindow(pBar->m_hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
}

BOOL CDockBar::RemoveControlBar(CControlBar* pBar) {
    const int row = RowOf(pBar);
    if (row < 0) return FALSE;
    auto& bars = m_rows[static_cast<std::size_t>(row)];
    bars.erase(std::remove_if(bars.begin(), bars.end(), [&](const Docked& d) { return d.bar == pBar; }), bars.end());
    if (bars.empty()) {
        m_rows.erase(m_rows.begin() + row);
        m_rowPlaces.clear();
    }
    if (pBar->m_pDockBar == this) pBar->m_pDockBar = nullptr;
    // An empty floating frame goes, but not from inside whatever took its bar away.
    if (m_bFloating && m_rows.empty() && m_hWnd)
        if (HWND frame = ::GetParent(m_hWnd)) ::PostMessageA(frame, CMiniDockFrameWnd::WM_CHECKEMPTY, 0, 0);
    return TRUE;
}

int CDockBar::Arrange(int along, bool move) {
    const bool horz = Horizontal();
    m_rowPlaces.assign(m_rows.size(), RowPlace{0, 0});
    int start = 0;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        auto& row = m_rows[i];
        std::vector<int> lengths(row.size(), -1);  // -1: hidden
        int thickness = 0;
        for (std::size_t k = 0; k < row.size(); ++k) {
            CControlBar* bar = row[k].bar;
            if (!bar->IsVisible()) continue;
            DWORD mode = horz ? LM_HORZ | LM_HORZDOCK : LM_VERTDOCK;
            if (move) mode |= LM_COMMIT;
            const CSize size = bar->CalcDynamicLayout(-1, mode);
            lengths[k] = horz ? size.cx : size.cy;
            thickness = std::max<int>(thickness, horz ? size.cy : size.cx);
        }
        m_rowPlaces[i] = RowPlace{start, thickness};
        if (move && thickness > 0) {
            // Each bar at its offset, pushed past the one before, then pulled back to fit.
            std::vector<int> at(row.size(), 0);
            int next = 0;
            for (std::size_t k = 0; k < row.size(); ++k) {
                if (lengths[k] < 0) continue;
                at[k] = std::max(row[k].offset, next);
                next = at[k] + lengths[k];
            }
            int limit = along;
            for (std::size_t k = row.size(); k-- > 0;) {
                if (lengths[k] < 0) continue;
                at[k] = std::max(0, std::min(at[k], limit - lengths[k]));
                limit = at[k];
            }
            for (std::size_t k = 0; k < row.size(); ++k) {
                if (lengths[k] < 0) continue;
                const CRect r = horz ? CRect(at[k], start, at[k] + lengths[k], start + thickness)
                                     : CRect(start, at[k], start + thickness, at[k] + lengths[k]);
                CRect now;
                row[k].bar->GetWindowRect(&now);
                ScreenToClient(&now);
                if (!(now == r))
                    row[k].bar->SetWindowPos(nullptr, r.left, r.top, r.Width(), r.Height(),
                                             SWP_NOZORDER | SWP_NOACTIVATE);
            }
        }
        start += thickness;
    }
    return start;
}

CSize CDockBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
    const int thickness = Arrange(32767, false);
    const int along = bStretch ? 32767 : 0;
    return bHorz ? CSize(along, thickness) : CSize(thickness, along);
}

BEGIN_MESSAGE_MAP(CDockBar, CControlBar)
ON_MESSAGE(WM_SIZEPARENT, &CDockBar::OnSizeParent)
END_MESSAGE_MAP()

LRESULT CDockBar::OnSizeParent(WPARAM, LPARAM lParam) {
    auto* layout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    if (!layout || m_bFloating || !(GetStyle() & WS_VISIBLE)) return 0;
    const bool horz = Horizontal();
    CRect rect(layout->rect);
    const int along = horz ? rect.Width() : rect.Height();
    const int thickness = std::max(0, std::min(Arrange(along, false), horz ? rect.Height() : rect.Width()));
    switch (m_dwStyle & CBRS_ALIGN_ANY) {
        case CBRS_ALIGN_TOP:
            rect.bottom = rect.top + thickness;
            layout->rect.top += thickness;
            break;
        case CBRS_ALIGN_BOTTOM:
            rect.top = rect.bottom - thickness;
            layout->rect.bottom -= thickness;
            break;
        case CBRS_ALIGN_LEFT:
            rect.right = rect.left + thickness;
            layout->rect.left += thickness;
            break;
        default:
            rect.left = rect.right - thickness;
            layout->rect.right -= thickness;
            break;
    }
    if (horz) {
        layout->sizeTotal.cy += thickness;
    } else {
        layout->sizeTotal.cx += thickness;
    }
    if (layout->hDWP) {
        AfxRepositionWindow(layout, m_hWnd, &rect);
        Arrange(along, true);
    }
    return 0;
}

// ---- The frame's docking operations ----

void CFrameWnd::EnableDocking(DWORD dwDockStyle) {
    m_dwDockStyle |= dwDockStyle & (CBRS_ALIGN_ANY | CBRS_FLOAT_MULTI);
    for (const DockSide& side : kDockSides) {
        if (!(dwDockStyle & side.side) || GetControlBar(side.id)) continue;
        auto dock = std::make_unique<CDockBar>();
        if (dock->Create(this, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | side.side, side.id))
            Adopt(std::move(dock));
    }
    // After every other child in the layout order, and in the order above.
    for (const DockSide& side : kDockSides)
        if (CWnd* dock = GetControlBar(side.id))
            ::SetWindowPos(dock->m_hWnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID, LPCRECT lpRect) {
    if (!pBar) return;
    CDockBar* dock = nullptr;
    if (nDockBarID) {
        dock = dynamic_cast<CDockBar*>(GetControlBar(nDockBarID));
        // A bar docks only on a side it allows.
        if (dock && !(pBar->m_dwDockStyle & dock->m_dwStyle & CBRS_ALIGN_ANY)) dock = nullptr;
    } else {
        for (const DockSide& side : kDockSides) {
            if (!(pBar->m_dwDockStyle & side.side)) continue;
            if ((dock = dynamic_cast<CDockBar*>(GetControlBar(side.id)))) break;
        }
    }
    if (dock) DockControlBar(pBar, dock, lpRect);
}

void CFrameWnd::DockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect) {
    if (!pBar || !pBar->m_hWnd || !pDockBar || pDockBar->m_bFloating) return;
    CFrameWnd* left = pBar->m_pDockBar ? pBar->m_pDockBar->GetParentFrame() : nullptr;
    pDockBar->DockControlBar(pBar, lpRect);
    RecalcLayout();
    if (left && left != this) left->RecalcLayout();
    if (CDockContext* context = pBar->m_pDockContext.get()) {
        context->m_uMRUDockID = static_cast<UINT>(pDockBar->GetDlgCtrlID());
        pBar->GetWindowRect(&context->m_rectMRUDockPos);
        pDockBar->ScreenToClient(&context->m_rectMRUDockPos);
    }
}

void CFrameWnd::FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle) {
    if (!pBar || !pBar->m_hWnd) return;
    CMiniDockFrameWnd* frame = nullptr;
    if (pBar->IsFloating() && pBar->m_pDockBar)
        frame = dynamic_cast<CMiniDockFrameWnd*>(CWnd::FromHandlePermanent(::GetParent(pBar->m_pDockBar->m_hWnd)));
    if (frame) {
        frame->SetWindowPos(nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        frame = CreateFloatingFrame(dwStyle);
        if (!frame) return;
        frame->SetWindowPos(nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        frame->m_wndDockBar.DockControlBar(pBar);
        frame->RecalcLayout();
        RecalcLayout();
    }
    if (CDockContext* context = pBar->m_pDockContext.get()) {
        context->m_ptMRUFloatPos = point;
        context->m_bMRUFloated = TRUE;
    }
}

CMiniDockFrameWnd* CFrameWnd::CreateFloatingFrame(DWORD dwStyle) {
    const CRuntimeClass* cls = m_pFloatingFrameClass ? m_pFloatingFrameClass : RUNTIME_CLASS(CMiniDockFrameWnd);
    std::unique_ptr<CObject> object = cls->CreateObject();
    auto* frame = dynamic_cast<CMiniDockFrameWnd*>(object.get());
    if (!frame || !frame->Create(this, dwStyle)) return nullptr;
    AdoptObject(std::move(object), frame);
    return frame;
}

DWORD CFrameWnd::CanDock(CRect rect, DWORD dwDockStyle, CDockBar** ppDockBar) {
    for (const DockSide& side : kDockSides) {
        if (!(dwDockStyle & side.side)) continue;
        auto* dock = dynamic_cast<CDockBar*>(GetControlBar(side.id));
        if (!dock || !dock->IsWindowVisible()) continue;
        CRect area;
        dock->GetWindowRect(&area);
        // An empty dock bar is a line along the edge: it still catches a bar dragged across it.
        if (area.Width() == 0) ++area.right;
        if (area.Height() == 0) ++area.bottom;
        CRect overlap;
        if (overlap.IntersectRect(area, rect)) {
            if (ppDockBar) *ppDockBar = dock;
            return side.side;
        }
    }
    return 0;
}
