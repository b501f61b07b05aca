#include "platform/framework/CSplitterWnd.h"

#include <algorithm>

#include "platform/framework/AfxMsg.h"
#include "platform/framework/CCreateContext.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CPaintDC.h"
#include "platform/framework/CView.h"
#include "platform/framework/DragLoop.h"
#include "platform/framework/TrackingOutline.h"
#include "platform/graphics/SystemColors.h"
#include "platform/window/Windows.h"

IMPLEMENT_DYNAMIC(CSplitterWnd, CWnd)

namespace {

constexpr int kMaxPanes = 16;  // per row and column: pane ids step by 16 a row
constexpr int kKeyStep = 16;   // pixels an arrow moves a tracker; 1 with Ctrl

bool IsColumnBar(int ht) { return ht >= 101 && ht <= 115; }
bool IsRowBar(int ht) { return ht >= 201 && ht <= 215; }
bool IsIntersection(int ht) { return ht >= 301 && ht <= 525; }

}  // namespace

CSplitterWnd::CSplitterWnd() = default;
CSplitterWnd::~CSplitterWnd() = default;

BOOL CSplitterWnd::CreateStatic(CWnd* pParentWnd, int nRows, int nCols, DWORD dwStyle, UINT nID) {
    if (m_hWnd || nRows < 1 || nCols < 1 || nRows > kMaxPanes || nCols > kMaxPanes) return FALSE;
    m_nRows = m_nMaxRows = nRows;
    m_nCols = m_nMaxCols = nCols;
    // One record more than there are rows and columns: room for one kept out of sight.
    m_pRowInfo = std::make_unique<CRowColInfo[]>(static_cast<std::size_t>(nRows) + 1);
    m_pColInfo = std::make_unique<CRowColInfo[]>(static_cast<std::size_t>(nCols) + 1);
    for (int i = 0; i <= nRows; ++i) m_pRowInfo[i] = CRowColInfo{0, 0, 0};
    for (int i = 0; i <= nCols; ++i) m_pColInfo[i] = CRowColInfo{0, 0, 0};
    return CWnd::Create(nullptr, nullptr, dwStyle | WS_CLIPCHILDREN, CRect(), pParentWnd, nID);
}

BOOL CSplitterWnd::CreateView(int row, int col, const CRuntimeClass* pViewClass, SIZE sizeInit,
                              CCreateContext* pContext) {
    if (!m_hWnd || !pViewClass || row < 0 || col < 0 || row >= m_nRows || col >= m_nCols) return FALSE;
    if (::GetDlgItem(m_hWnd, IdFromRowCol(row, col))) return FALSE;
    m_pColInfo[col].nIdealSize = sizeInit.cx;
    m_pRowInfo[row].nIdealSize = sizeInit.cy;
    std::unique_ptr<CObject> object = pViewClass->CreateObject();
    auto* pane = dynamic_cast<CWnd*>(object.get());
    // The splitter draws the panes' borders.
    if (!pane || !pane->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(), this,
                               static_cast<UINT>(IdFromRowCol(row, col)), pContext))
        return FALSE;
    AdoptObject(std::move(object), pane);
    CRect client;
    GetClientRect(&client);
    if (!client.IsRectEmpty()) RecalcLayout();
    return TRUE;
}

void CSplitterWnd::GetRowInfo(int row, int& cyCur, int& cyMin) const {
    cyCur = cyMin = 0;
    if (row < 0 || row > m_nMaxRows || !m_pRowInfo) return;
    cyCur = m_pRowInfo[row].nCurSize;
    cyMin = m_pRowInfo[row].nMinSize;
}

void CSplitterWnd::SetRowInfo(int row, int cyIdeal, int cyMin) {
    if (row < 0 || row > m_nMaxRows || !m_pRowInfo) return;
    m_pRowInfo[row].nIdealSize = cyIdeal;
    m_pRowInfo[row].nMinSize = cyMin;
}

void CSplitterWnd::GetColumnInfo(int col, int& cxCur, int& cxMin) const {
    cxCur = cxMin = 0;
    if (col < 0 || col > m_nMaxCols || !m_pColInfo) return;
    cxCur = m_pColInfo[col].nCurSize;
    cxMin = m_pColInfo[col].nMinSize;
}

void CSplitterWnd::SetColumnInfo(int col, int cxIdeal, int cxMin) {
    if (col < 0 || col > m_nMaxCols || !m_pColInfo) return;
    m_pColInfo[col].nIdealSize = cxIdeal;
    m_pColInfo[col].nMinSize = cxMin;
}

CWnd* CSplitterWnd::GetPane(int row, int col) const {
    return m_hWnd ? FromHandle(::GetDlgItem(m_hWnd, IdFromRowCol(row, col))) : nullptr;
}

BOOL CSplitterWnd::IsChildPane(const CWnd* pWnd, int* pRow, int* pCol) const {
    if (!pWnd || !pWnd->m_hWnd || ::GetParent(pWnd->m_hWnd) != m_hWnd) return FALSE;
    const int id = ::GetDlgCtrlID(pWnd->m_hWnd) - static_cast<int>(AFX_IDW_PANE_FIRST);
    if (id < 0 || id > static_cast<int>(AFX_IDW_PANE_LAST - AFX_IDW_PANE_FIRST)) return FALSE;
    if (pRow) *pRow = id / 16;
    if (pCol) *pCol = id % 16;
    return TRUE;
}

CWnd* CSplitterWnd::GetActivePane(int* pRow, int* pCol) {
    if (CFrameWnd* frame = GetParentFrame())
        if (CView* view = frame->GetActiveView(); view && IsChildPane(view, pRow, pCol)) return view;
    // Else the pane the focus is in.
    HWND focus = ::GetFocus();
    while (focus && ::GetParent(focus) != m_hWnd) focus = ::GetParent(focus);
    CWnd* pane = focus ? FromHandle(focus) : nullptr;
    return pane && IsChildPane(pane, pRow, pCol) ? pane : nullptr;
}

void CSplitterWnd::SetActivePane(int row, int col, CWnd* pWnd) {
    CWnd* pane = pWnd ? pWnd : GetPane(row, col);
    if (!pane || !pane->m_hWnd) return;
    auto* view = dynamic_cast<CView*>(pane);
    CFrameWnd* frame = GetParentFrame();
    if (view && frame)
        frame->SetActiveView(view);
    else
        pane->SetFocus();
}

BOOL CSplitterWnd::CanActivateNext(BOOL) { return m_nRows * m_nCols > 1; }

void CSplitterWnd::ActivateNext(BOOL bPrev) {
    int row = 0, col = 0;
    if (!GetActivePane(&row, &col)) row = col = 0;
    const int count = m_nRows * m_nCols;
    int at = std::min(row, m_nRows - 1) * m_nCols + std::min(col, m_nCols - 1);
    for (int step = 0; step < count; ++step) {
        at = (at + (bPrev ? count - 1 : 1)) % count;
        CWnd* pane = GetPane(at / m_nCols, at % m_nCols);
        if (pane && pane->IsWindowVisible()) {
            SetActivePane(at / m_nCols, at % m_nCols, pane);
            return;
        }
    }
}

CSplitterWnd* CSplitterWnd::GetParentSplitter(const CWnd* pWnd, BOOL) {
    if (!pWnd || !pWnd->m_hWnd) return nullptr;
    return dynamic_cast<CSplitterWnd*>(FromHandlePermanent(::GetParent(pWnd->m_hWnd)));
}

// ---- Layout ----

void CSplitterWnd::LayoutRowCol(CRowColInfo* info, int count, int size, int gap) {
    if (count <= 0) return;
    // A row below its minimum is not shown at all.
    for (int i = 0; i < count - 1; ++i)
        info[i].nCurSize = info[i].nIdealSize < info[i].nMinSize ? 0 : std::max(0, info[i].nIdealSize);
    int left = std::max(0, size);
    for (int i = 0; i < count; ++i) {
        CRowColInfo& r = info[i];
        if (left <= 0) {
            r.nCurSize = 0;
            continue;
        }
        if (i == count - 1) {
            // The last takes the rest; too little for it, and the one before takes it.
            if (left < r.nMinSize && i > 0) {
                info[i - 1].nCurSize += left + gap;
                r.nCurSize = 0;
            } else {
                r.nCurSize = left;
            }
            left = 0;
            continue;
        }
        r.nCurSize = std::min(r.nCurSize, left);
        left -= r.nCurSize;
        if (left > gap) {
            left -= gap;
        } else {
            // No room for a bar and another row: this one takes it all.
            r.nCurSize += left;
            left = 0;
        }
    }
}

void CSplitterWnd::GetInsideRect(CRect& rect) const {
    GetClientRect(&rect);
    rect.DeflateRect(m_cxBorder - m_cxBorderShare, m_cyBorder - m_cyBorderShare);
    if (rect.right < rect.left) rect.right = rect.left;
    if (rect.bottom < rect.top) rect.bottom = rect.top;
}

int CSplitterWnd::ColumnStart(int col) const {
    CRect inside;
    GetInsideRect(inside);
    int x = inside.left;
    for (int k = 0; k < col; ++k) x += m_pColInfo[k].nCurSize + m_cxSplitterGap;
    return x;
}

int CSplitterWnd::RowStart(int row) const {
    CRect inside;
    GetInsideRect(inside);
    int y = inside.top;
    for (int k = 0; k < row; ++k) y += m_pRowInfo[k].nCurSize + m_cySplitterGap;
    return y;
}

CRect CSplitterWnd::PaneRect(int row, int col) const {
    const int x = ColumnStart(col), y = RowStart(row);
    return CRect(x, y, x + m_pColInfo[col].nCurSize, y + m_pRowInfo[row].nCurSize);
}

void CSplitterWnd::RecalcLayout() {
    if (!m_hWnd || !m_pRowInfo) return;
    CRect inside;
    GetInsideRect(inside);
    LayoutRowCol(m_pColInfo.get(), m_nCols, inside.Width(), m_cxSplitterGap);
    LayoutRowCol(m_pRowInfo.get(), m_nRows, inside.Height(), m_cySplitterGap);
    for (int row = 0; row < m_nRows; ++row) {
        for (int col = 0; col < m_nCols; ++col) {
            const HWND pane = ::GetDlgItem(m_hWnd, IdFromRowCol(row, col));
            if (!pane) continue;
            const CRect rect = PaneRect(row, col);
            CRect now;
            ::GetWindowRect(pane, &now);
            ScreenToClient(&now);
            if (!(now == rect))
                ::SetWindowPos(pane, nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                               SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    // The bars and borders between the panes are drawn again.
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
}

// ---- Hit testing and drawing ----

int CSplitterWnd::HitTest(CPoint pt) const {
    CRect client;
    GetClientRect(&client);
    if (!client.PtInRect(pt)) return noHit;
    int col = -1, row = -1;
    for (int c = 0; c < m_nCols - 1; ++c) {
        const int right = ColumnStart(c) + m_pColInfo[c].nCurSize;
        if (pt.x >= right && pt.x < right + m_cxSplitterGap) col = c;
    }
    for (int r = 0; r < m_nRows - 1; ++r) {
        const int bottom = RowStart(r) + m_pRowInfo[r].nCurSize;
        if (pt.y >= bottom && pt.y < bottom + m_cySplitterGap) row = r;
    }
    if (col >= 0 && row >= 0) return splitterIntersection1 + row * 15 + col;
    if (col >= 0) return vSplitterBar1 + col;
    if (row >= 0) return hSplitterBar1 + row;
    return noHit;
}

void CSplitterWnd::GetHitRect(int ht, CRect& rect) const {
    CRect client;
    GetClientRect(&client);
    rect = CRect();
    if (IsColumnBar(ht)) {
        const int col = ht - vSplitterBar1;
        const int x = ColumnStart(col) + m_pColInfo[col].nCurSize;
        rect = CRect(x, client.top, x + m_cxSplitterGap, client.bottom);
    } else if (IsRowBar(ht)) {
        const int row = ht - hSplitterBar1;
        const int y = RowStart(row) + m_pRowInfo[row].nCurSize;
        rect = CRect(client.left, y, client.right, y + m_cySplitterGap);
    } else if (IsIntersection(ht)) {
        CRect across, down;
        GetHitRect(hSplitterBar1 + (ht - splitterIntersection1) / 15, across);
        GetHitRect(vSplitterBar1 + (ht - splitterIntersection1) % 15, down);
        rect.IntersectRect(across, down);
    }
}

void CSplitterWnd::OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect) {
    if (!pDC) {
        RedrawWindow(&rect, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
        return;
    }
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF frame = GetSysColor(COLOR_WINDOWFRAME);
    CRect r = rect;
    switch (nType) {
        case splitBorder:
            // A sunken edge around the pane.
            pDC->Draw3dRect(&r, shadow, light);
            r.DeflateRect(1, 1);
            pDC->Draw3dRect(&r, frame, face);
            return;
        case splitBox:
            pDC->Draw3dRect(&r, face, frame);
            r.DeflateRect(1, 1);
            pDC->Draw3dRect(&r, light, shadow);
            r.DeflateRect(1, 1);
            pDC->FillSolidRect(&r, face);
            return;
        case splitBar:
        case splitIntersection:
            pDC->FillSolidRect(&r, face);
            return;
    }
}

void CSplitterWnd::OnInvertTracker(const CRect& rect) {
    for (ShownTracker& tracker : m_trackers) {
        if (tracker.outline->Shown() && tracker.rect == rect) {
            tracker.outline->Hide();
            return;
        }
    }
    CRect screen = rect;
    ClientToScreen(&screen);
    auto spare = std::find_if(m_trackers.begin(), m_trackers.end(),
                              [](const ShownTracker& t) { return !t.outline->Shown(); });
    if (spare == m_trackers.end()) {
        m_trackers.push_back(ShownTracker{rect, std::make_unique<TrackingOutline>(m_hWnd)});
        spare = m_trackers.end() - 1;
    }
    spare->rect = rect;
    spare->outline->Fill(screen);
}

// ---- Tracking ----

void CSplitterWnd::StartTracking(int ht) {
    if (ht == noHit || m_bTracking) return;
    GetInsideRect(m_rectLimit);
    m_bTracking2 = FALSE;
    int row = -1, col = -1;
    if (IsIntersection(ht)) {
        row = (ht - splitterIntersection1) / 15;
        col = (ht - splitterIntersection1) % 15;
        GetHitRect(hSplitterBar1 + row, m_rectTracker);
        GetHitRect(vSplitterBar1 + col, m_rectTracker2);
        m_bTracking2 = TRUE;
    } else if (IsColumnBar(ht)) {
        col = ht - vSplitterBar1;
        GetHitRect(ht, m_rectTracker);
    } else if (IsRowBar(ht)) {
        row = ht - hSplitterBar1;
        GetHitRect(ht, m_rectTracker);
    } else {
        return;
    }
    // A bar moves between the start of the pane before it and the end of the pane after it.
    if (col >= 0) {
        m_rectLimit.left = ColumnStart(col);
        m_rectLimit.right = ColumnStart(col + 1) + m_pColInfo[col + 1].nCurSize;
    }
    if (row >= 0) {
        m_rectLimit.top = RowStart(row);
        m_rectLimit.bottom = RowStart(row + 1) + m_pRowInfo[row + 1].nCurSize;
    }
    m_htTrack = ht;
    const CRect& down = m_bTracking2 ? m_rectTracker2 : m_rectTracker;
    const CRect& across = m_rectTracker;
    // The pointer keeps its place on the bar; from the keyboard it holds the bar's middle.
    CPoint cursor;
    GetCursorPos(&cursor);
    ScreenToClient(&cursor);
    m_ptTrackOffset.x = (cursor.x >= down.left && cursor.x < down.right) ? cursor.x - down.left : down.Width() / 2;
    m_ptTrackOffset.y =
        (cursor.y >= across.top && cursor.y < across.bottom) ? cursor.y - across.top : across.Height() / 2;
    m_bTracking = TRUE;
    OnInvertTracker(m_rectTracker);
    if (m_bTracking2) OnInvertTracker(m_rectTracker2);
    RunTracking();
}

void CSplitterWnd::MoveTrackers(CPoint pt) {
    const auto moveX = [&](CRect& r) {
        const int x = std::clamp(static_cast<int>(pt.x - m_ptTrackOffset.x), static_cast<int>(m_rectLimit.left),
                                 std::max<int>(m_rectLimit.left, m_rectLimit.right - r.Width()));
        r.OffsetRect(x - r.left, 0);
    };
    const auto moveY = [&](CRect& r) {
        const int y = std::clamp(static_cast<int>(pt.y - m_ptTrackOffset.y), static_cast<int>(m_rectLimit.top),
                                 std::max<int>(m_rectLimit.top, m_rectLimit.bottom - r.Height()));
        r.OffsetRect(0, y - r.top);
    };
    CRect first = m_rectTracker, second = m_rectTracker2;
    if (IsColumnBar(m_htTrack)) moveX(first);
    if (IsRowBar(m_htTrack) || m_bTracking2) moveY(first);
    if (m_bTracking2) moveX(second);
    if (!(first == m_rectTracker)) {
        OnInvertTracker(m_rectTracker);
        m_rectTracker = first;
        OnInvertTracker(m_rectTracker);
    }
    if (m_bTracking2 && !(second == m_rectTracker2)) {
        OnInvertTracker(m_rectTracker2);
        m_rectTracker2 = second;
        OnInvertTracker(m_rectTracker2);
    }
}

void CSplitterWnd::RunTracking() {
    DragLoop loop(m_hWnd);
    loop.onMove = [this](POINT screen) {
        CPoint p(screen);
        ScreenToClient(&p);
        MoveTrackers(p);
    };
    loop.onKey = [this, &loop](const MSG& key) {
        const int vk = static_cast<int>(key.wParam);
        if (vk != VK_LEFT && vk != VK_RIGHT && vk != VK_UP && vk != VK_DOWN && vk != VK_RETURN) return false;
        if (key.message != WM_KEYDOWN) return true;
        if (vk == VK_RETURN) {
            loop.Finish(true);
            return true;
        }
        const int step = (GetKeyState(VK_CONTROL) & 0x8000) ? 1 : kKeyStep;
        const CRect& down = m_bTracking2 ? m_rectTracker2 : m_rectTracker;
        CPoint at(down.left + m_ptTrackOffset.x, m_rectTracker.top + m_ptTrackOffset.y);
        at.x += vk == VK_LEFT ? -step : vk == VK_RIGHT ? step : 0;
        at.y += vk == VK_UP ? -step : vk == VK_DOWN ? step : 0;
        MoveTrackers(at);
        return true;
    };
    const bool accepted = loop.Run();
    StopTracking(accepted);
}

void CSplitterWnd::StopTracking(BOOL bAccept) {
    if (!m_bTracking) return;
    OnInvertTracker(m_rectTracker);
    if (m_bTracking2) OnInvertTracker(m_rectTracker2);
    m_bTracking = FALSE;
    const BOOL both = m_bTracking2;
    m_bTracking2 = FALSE;
    const int ht = m_htTrack;
    m_htTrack = noHit;
    if (!bAccept) return;
    if (IsColumnBar(ht)) {
        TrackColumnSize(m_rectTracker.left, ht - vSplitterBar1);
    } else if (IsRowBar(ht)) {
        TrackRowSize(m_rectTracker.top, ht - hSplitterBar1);
    } else if (both) {
        TrackRowSize(m_rectTracker.top, (ht - splitterIntersection1) / 15);
        TrackColumnSize(m_rectTracker2.left, (ht - splitterIntersection1) % 15);
    }
    RecalcLayout();
}

void CSplitterWnd::TrackRowSize(int y, int row) {
    const int size = y - RowStart(row);
    // Dragged below its minimum, the row goes out of sight.
    m_pRowInfo[row].nIdealSize = size < m_pRowInfo[row].nMinSize ? 0 : std::max(0, size);
}

void CSplitterWnd::TrackColumnSize(int x, int col) {
    const int size = x - ColumnStart(col);
    m_pColInfo[col].nIdealSize = size < m_pColInfo[col].nMinSize ? 0 : std::max(0, size);
}

BOOL CSplitterWnd::DoKeyboardSplit() {
    const int ht = m_nCols > 1 ? static_cast<int>(vSplitterBar1) : m_nRows > 1 ? static_cast<int>(hSplitterBar1) : 0;
    if (ht == noHit || m_bTracking) return FALSE;
    StartTracking(ht);
    return TRUE;
}

// ---- Messages ----

BEGIN_MESSAGE_MAP(CSplitterWnd, CWnd)
ON_WM_PAINT()
ON_WM_SIZE()
ON_WM_LBUTTONDOWN()
ON_WM_SETCURSOR()
END_MESSAGE_MAP()

void CSplitterWnd::OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    // Whatever no pane covers (the panes clip themselves out).
    dc.FillSolidRect(&client, GetSysColor(COLOR_BTNFACE));
    for (int col = 0; col < m_nCols - 1; ++col) {
        CRect bar;
        GetHitRect(vSplitterBar1 + col, bar);
        bar.DeflateRect(m_cxBorder, 0);
        OnDrawSplitter(&dc, splitBar, bar);
    }
    for (int row = 0; row < m_nRows - 1; ++row) {
        CRect bar;
        GetHitRect(hSplitterBar1 + row, bar);
        bar.DeflateRect(0, m_cyBorder);
        OnDrawSplitter(&dc, splitBar, bar);
    }
    for (int row = 0; row < m_nRows - 1; ++row) {
        for (int col = 0; col < m_nCols - 1; ++col) {
            CRect across, down, both;
            GetHitRect(hSplitterBar1 + row, across);
            GetHitRect(vSplitterBar1 + col, down);
            across.DeflateRect(0, m_cyBorder);
            down.DeflateRect(m_cxBorder, 0);
            if (both.IntersectRect(across, down)) OnDrawSplitter(&dc, splitIntersection, both);
        }
    }
    for (int row = 0; row < m_nRows; ++row) {
        for (int col = 0; col < m_nCols; ++col) {
            CRect pane = PaneRect(row, col);
            if (pane.IsRectEmpty()) continue;
            pane.InflateRect(m_cxBorder, m_cyBorder);
            OnDrawSplitter(&dc, splitBorder, pane);
        }
    }
}

void CSplitterWnd::OnSize(UINT nType, int cx, int cy) {
    CWnd::OnSize(nType, cx, cy);
    if (nType != SIZE_MINIMIZED) RecalcLayout();
}

void CSplitterWnd::OnLButtonDown(UINT, CPoint point) {
    const int ht = HitTest(point);
    if (ht == noHit || m_bTracking) {
        Default();
        return;
    }
    StartTracking(ht);
}

BOOL CSplitterWnd::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT) {
    if (pWnd && pWnd->m_hWnd == m_hWnd && nHitTest == HTCLIENT) {
        CPoint pt;
        GetCursorPos(&pt);
        ScreenToClient(&pt);
        const int ht = HitTest(pt);
        LPCSTR shape = IsColumnBar(ht) ? IDC_SIZEWE : IsRowBar(ht) ? IDC_SIZENS : IsIntersection(ht) ? IDC_SIZEALL : nullptr;
        if (shape) {
            ::SetCursor(LoadCursorA(nullptr, shape));
            return TRUE;
        }
    }
    return static_cast<BOOL>(Default());
}
