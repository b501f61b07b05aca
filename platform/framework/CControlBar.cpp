#include "platform/framework/CControlBar.h"

#include <algorithm>
#include <cstring>

#include "platform/framework/AfxMsg.h"
#include "platform/framework/CDockBar.h"
#include "platform/framework/CDockContext.h"
#include "platform/framework/CMiniDockFrameWnd.h"
#include "platform/framework/CPaintDC.h"
#include "platform/framework/CWindowDC.h"
#include "platform/framework/StringTable.h"
#include "platform/graphics/SystemColors.h"
#include "platform/window/Windows.h"

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

namespace {

constexpr UINT_PTR kFlyByTimer = 0xE000;  // is the pointer still over the bar? (controls use small ids)
constexpr UINT kFlyByInterval = 100;
constexpr int kGripperRoom = 7;  // the gripper (3) and the space on each side of it (2)

bool IsMouseMessage(UINT message) {
    return message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN || message == WM_LBUTTONUP ||
           message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDOWN || message == WM_RBUTTONUP ||
           message == WM_MBUTTONDOWN || message == WM_MBUTTONUP;
}

// The window's own rectangle, in window coordinates.
CRect WindowArea(const CWnd& wnd) {
    CRect r;
    wnd.GetWindowRect(&r);
    return CRect(0, 0, r.Width(), r.Height());
}

}  // namespace

CControlBar::CControlBar() = default;

CControlBar::~CControlBar() {
    // A bar that goes while its window lives is not destroyed through its handlers.
    if (m_hWnd) ForgetDockSite();
    if (m_hWndToolTip && ::IsWindow(m_hWndToolTip)) ::DestroyWindow(m_hWndToolTip);
}

void CControlBar::ForgetDockSite() {
    if (m_pDockBar) {
        CDockBar* dock = m_pDockBar;
        if (dock != this) dock->RemoveControlBar(this);
        m_pDockBar = nullptr;
    }
    // The frame may be going itself: only a frame whose window still has it hears of it.
    if (m_pDockSite && m_pDockSite->m_hWnd && FromHandlePermanent(m_pDockSite->m_hWnd) == m_pDockSite)
        m_pDockSite->RemoveControlBar(this);
    if (CFrameWnd* parent = GetParentFrame(); parent && parent != m_pDockSite) parent->RemoveControlBar(this);
    m_pDockSite = nullptr;
}

void CControlBar::SetBarStyle(DWORD dwStyle) {
    if (m_dwStyle == dwStyle) return;
    m_dwStyle = dwStyle;
    if (m_hWnd) {
        RecalcNonClient();
        Invalidate();
    }
}

void CControlBar::SetBorders(int cxLeft, int cyTop, int cxRight, int cyBottom) {
    m_cxLeftBorder = cxLeft;
    m_cyTopBorder = cyTop;
    m_cxRightBorder = cxRight;
    m_cyBottomBorder = cyBottom;
    if (m_hWnd) RecalcNonClient();
}

void CControlBar::RecalcNonClient() {
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    RedrawWindow(nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
}

void CControlBar::CalcInsideRect(CRect& rect, BOOL bHorz) const {
    if (!IsFloating()) {
        const int line = (m_dwStyle & CBRS_BORDER_3D) ? 2 : 1;
        if (m_dwStyle & CBRS_BORDER_LEFT) rect.left += line;
        if (m_dwStyle & CBRS_BORDER_TOP) rect.top += line;
        if (m_dwStyle & CBRS_BORDER_RIGHT) rect.right -= line;
        if (m_dwStyle & CBRS_BORDER_BOTTOM) rect.bottom -= line;
    }
    const bool gripper = (m_dwStyle & (CBRS_GRIPPER | CBRS_FLOATING)) == CBRS_GRIPPER;
    if (bHorz) {
        rect.left += m_cxLeftBorder + (gripper ? kGripperRoom : 0);
        rect.top += m_cyTopBorder;
        rect.right -= m_cxRightBorder;
        rect.bottom -= m_cyBottomBorder;
    } else {
        // Lying on its side, the bar turns its margins with it.
        rect.left += m_cyTopBorder;
        rect.top += m_cxLeftBorder + (gripper ? kGripperRoom : 0);
        rect.right -= m_cyBottomBorder;
        rect.bottom -= m_cxRightBorder;
    }
}

CSize CControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
    CRect inside;
    CalcInsideRect(inside, bHorz);
    return Stretched(CSize(-inside.Width(), -inside.Height()), bStretch, bHorz);
}

CSize CControlBar::Stretched(CSize size, BOOL bStretch, BOOL bHorz) {
    if (bStretch) {
        if (bHorz)
            size.cx = 32767;
        else
            size.cy = 32767;
    }
    return size;
}

CSize CControlBar::CalcDynamicLayout(int, DWORD dwMode) {
    return CalcFixedLayout((dwMode & LM_STRETCH) != 0, (dwMode & LM_HORZ) != 0);
}

INT_PTR CControlBar::OnToolHitTest(CPoint, TOOLINFOA*) const { return -1; }

void CControlBar::EnableDocking(DWORD dwDockStyle) {
    m_dwDockStyle = dwDockStyle;
    if (!dwDockStyle) {
        m_pDockContext.reset();
        return;
    }
    if (!m_pDockContext) m_pDockContext = std::make_unique<CDockContext>(this);
    // Wherever it is docked, its notices keep going to the frame it was made in.
    if (!m_hWndOwner && m_hWnd) m_hWndOwner = ::GetParent(m_hWnd);
}

CFrameWnd* CControlBar::GetDockingFrame() const {
    if (m_pDockSite) return m_pDockSite;
    CFrameWnd* frame = GetParentFrame();
    if (frame && frame->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd))) frame = frame->GetParentFrame();
    return frame;
}

void CControlBar::DoPaint(CDC*) {}

void CControlBar::DrawBorders(CDC* pDC, CRect& rect) {
    if (IsFloating()) return;
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    // A plain border is one raised line; a 3D one an etched groove of two.
    const bool etched = (m_dwStyle & CBRS_BORDER_3D) != 0;
    const COLORREF topLeft = etched ? shadow : light;
    if (m_dwStyle & CBRS_BORDER_TOP) {
        pDC->FillSolidRect(rect.left, rect.top, rect.Width(), 1, topLeft);
        if (etched) pDC->FillSolidRect(rect.left, rect.top + 1, rect.Width(), 1, light);
        rect.top += etched ? 2 : 1;
    }
    if (m_dwStyle & CBRS_BORDER_BOTTOM) {
        pDC->FillSolidRect(rect.left, rect.bottom - 1, rect.Width(), 1, etched ? light : shadow);
        if (etched) pDC->FillSolidRect(rect.left, rect.bottom - 2, rect.Width(), 1, shadow);
        rect.bottom -= etched ? 2 : 1;
    }
    if (m_dwStyle & CBRS_BORDER_LEFT) {
        pDC->FillSolidRect(rect.left, rect.top, 1, rect.Height(), topLeft);
        if (etched) pDC->FillSolidRect(rect.left + 1, rect.top, 1, rect.Height(), light);
        rect.left += etched ? 2 : 1;
    }
    if (m_dwStyle & CBRS_BORDER_RIGHT) {
        pDC->FillSolidRect(rect.right - 1, rect.top, 1, rect.Height(), etched ? light : shadow);
        if (etched) pDC->FillSolidRect(rect.right - 2, rect.top, 1, rect.Height(), shadow);
        rect.right -= etched ? 2 : 1;
    }
}

void CControlBar::DrawGripper(CDC* pDC, const CRect& rect) {
    if ((m_dwStyle & (CBRS_GRIPPER | CBRS_FLOATING)) != CBRS_GRIPPER) return;
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
    // One raised bar, 3 pixels thick, across the bar at its leading end.
    if (m_dwStyle & CBRS_ORIENT_HORZ)
        pDC->Draw3dRect(rect.left + 2, rect.top + m_cyTopBorder, 3, rect.Height() - m_cyTopBorder - m_cyBottomBorder,
                        light, shadow);
    else
        pDC->Draw3dRect(rect.left + m_cyTopBorder, rect.top + 2, rect.Width() - m_cyTopBorder - m_cyBottomBorder, 3,
                        light, shadow);
}

CRect CControlBar::InsideOfWindow() const {
    CRect window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    ClientToScreen(&client);
    client.OffsetRect(-window.left, -window.top);
    return client;
}

void CControlBar::SetStatusText(INT_PTR nHit) {
    m_nFlyBy = nHit;
    if (CFrameWnd* frame = GetDockingFrame(); frame && frame->m_hWnd)
        frame->SendMessage(WM_SETMESSAGESTRING, nHit >= 0 ? static_cast<WPARAM>(nHit) : AFX_IDS_IDLEMESSAGE);
    if (nHit >= 0 && (m_dwStyle & CBRS_FLYBY) && !m_bFlyByTimer && m_hWnd) {
        // No message says that the pointer left: look for it.
        SetTimer(kFlyByTimer, kFlyByInterval);
        m_bFlyByTimer = true;
    }
}

void CControlBar::TrackPointer(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!(m_dwStyle & (CBRS_TOOLTIPS | CBRS_FLYBY))) return;
    const CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    const INT_PTR hit = OnToolHitTest(point, &ti);
    if (m_dwStyle & CBRS_TOOLTIPS) {
        if (hit != m_nToolShown && m_hWndToolTip) {
            TOOLINFOA old{};
            old.cbSize = sizeof old;
            old.hwnd = m_hWnd;
            old.uId = static_cast<UINT_PTR>(m_nToolShown);
            if (m_nToolShown >= 0) ::SendMessageA(m_hWndToolTip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&old));
            m_nToolShown = -1;
        }
        if (hit >= 0 && hit != m_nToolShown) {
            if (!m_hWndToolTip) {
                InitCommonControls();
                m_hWndToolTip = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                                  0, 0, 0, 0, m_hWnd, nullptr, nullptr, nullptr);
            }
            ti.hwnd = m_hWnd;
            ti.uId = static_cast<UINT_PTR>(hit);
            ti.lpszText = LPSTR_TEXTCALLBACKA;
            if (m_hWndToolTip && ::SendMessageA(m_hWndToolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)))
                m_nToolShown = hit;
        }
        if (m_hWndToolTip) {
            MSG msg{m_hWnd, message, wParam, lParam, GetMessageTime(), {}, 0};
            GetCursorPos(&msg.pt);
            ::SendMessageA(m_hWndToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
        }
    }
    if (m_dwStyle & CBRS_FLYBY) {
        if (message == WM_MOUSEMOVE && hit != m_nFlyBy) SetStatusText(hit);
    } else if (message == WM_LBUTTONDOWN && hit >= 0) {
        // Without fly-by prompts, a button shows its prompt while it is held down.
        SetStatusText(hit);
    } else if (message == WM_LBUTTONUP && m_nFlyBy >= 0) {
        SetStatusText(-1);
    }
}

BOOL CControlBar::AnswerToolTip(NMTTDISPINFOA* info) {
    // The frame may answer (a TTN_NEEDTEXT handler in its map); otherwise the command's string
    // gives the part after its line feed.
    if (CFrameWnd* frame = GetDockingFrame(); frame && frame->m_hWnd)
        frame->SendMessage(WM_NOTIFY, info->hdr.idFrom, reinterpret_cast<LPARAM>(info));
    if (info->lpszText != info->szText || info->szText[0]) return TRUE;
    std::string tip;
    AfxExtractSubString(tip, AfxLoadString(static_cast<UINT>(info->hdr.idFrom)), 1);
    const std::size_t n = std::min(tip.size(), sizeof info->szText - 1);
    std::memcpy(info->szText, tip.data(), n);
    info->szText[n] = '\0';
    return TRUE;
}

bool CControlBar::ForwardToFrame(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const HWND child =
        message == WM_NOTIFY ? reinterpret_cast<NMHDR*>(lParam)->hwndFrom : reinterpret_cast<HWND>(lParam);
    if (ReflectLastMsg(child, &result)) return true;
    CWnd* owner = GetOwner();
    if (!owner || owner->m_hWnd == m_hWnd || owner->m_hWnd == child) owner = GetDockingFrame();
    if (!owner || !owner->m_hWnd) return false;
    result = owner->SendMessage(message, wParam, lParam);
    return true;
}

LRESULT CControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsMouseMessage(message)) {
        TrackPointer(message, wParam, lParam);
    } else if (message == WM_NOTIFY && lParam) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->hwndFrom && header->hwndFrom == m_hWndToolTip) {
            if (header->code == TTN_NEEDTEXTA) return AnswerToolTip(reinterpret_cast<NMTTDISPINFOA*>(lParam));
            return 0;
        }
        // A child control's notices go on to the frame the bar belongs to.
        LRESULT result = 0;
        if (header->hwndFrom && ::IsChild(m_hWnd, header->hwndFrom) &&
            ForwardToFrame(message, wParam, lParam, result))
            return result;
    } else if (message == WM_COMMAND && lParam) {
        LRESULT result = 0;
        if (::IsChild(m_hWnd, reinterpret_cast<HWND>(lParam)) && ForwardToFrame(message, wParam, lParam, result))
            return result;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_NCCALCSIZE()
ON_WM_NCPAINT()
ON_WM_NCHITTEST()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONDBLCLK()
ON_WM_TIMER()
ON_MESSAGE(WM_SIZEPARENT, &CControlBar::OnSizeParent)
ON_MESSAGE(WM_IDLEUPDATECMDUI, &CControlBar::OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

int CControlBar::OnCreate(LPCREATESTRUCTA lpcs) {
    if (CWnd::OnCreate(lpcs) == -1) return -1;
    if (!m_pDockSite) m_pDockSite = GetParentFrame();
    if (m_pDockSite) m_pDockSite->AddControlBar(this);
    return 0;
}

void CControlBar::OnDestroy() {
    if (m_bFlyByTimer) KillTimer(kFlyByTimer);
    m_bFlyByTimer = false;
    if (m_hWndToolTip && ::IsWindow(m_hWndToolTip)) ::DestroyWindow(m_hWndToolTip);
    m_hWndToolTip = nullptr;
    m_nToolShown = -1;
    ForgetDockSite();
    CWnd::OnDestroy();
}

void CControlBar::OnPaint() {
    CPaintDC dc(this);
    DoPaint(&dc);
}

void CControlBar::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS* lpncsp) {
    // Borders, gripper and margins lie outside the client area.
    CRect inside;
    CalcInsideRect(inside, (m_dwStyle & CBRS_ORIENT_VERT) == 0 || IsFloating());
    RECT& r = lpncsp->rgrc[0];
    r.left += inside.left;
    r.top += inside.top;
    r.right = std::max(r.left, r.right + inside.right);
    r.bottom = std::max(r.top, r.bottom + inside.bottom);
}

void CControlBar::OnNcPaint() {
    CWindowDC dc(this);
    CRect window = WindowArea(*this);
    dc.ExcludeClipRect(InsideOfWindow());
    dc.FillSolidRect(&window, GetSysColor(COLOR_BTNFACE));
    DrawBorders(&dc, window);
    DrawGripper(&dc, window);
}

LRESULT CControlBar::OnNcHitTest(CPoint) {
    // Borders and gripper count as the bar: a press there starts a drag.
    return HTCLIENT;
}

void CControlBar::OnLButtonDown(UINT, CPoint point) {
    // Only a press on no command of a docked (or floating) bar drags it.
    if (m_pDockBar && m_pDockContext && OnToolHitTest(point, nullptr) < 0) {
        ClientToScreen(&point);
        m_pDockContext->StartDrag(point);
        return;
    }
    Default();
}

void CControlBar::OnLButtonDblClk(UINT, CPoint point) {
    if (m_pDockBar && m_pDockContext && OnToolHitTest(point, nullptr) < 0) {
        m_pDockContext->ToggleDocking();
        return;
    }
    Default();
}

void CControlBar::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent != kFlyByTimer) {
        Default();
        return;
    }
    POINT screen;
    GetCursorPos(&screen);
    const HWND under = ::WindowFromPoint(screen);
    if (under == m_hWnd || ::IsChild(m_hWnd, under)) return;
    KillTimer(kFlyByTimer);
    m_bFlyByTimer = false;
    if (m_nFlyBy >= 0) SetStatusText(-1);
}

LRESULT CControlBar::OnSizeParent(WPARAM, LPARAM lParam) {
    auto* layout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    if (!layout || !(GetStyle() & WS_VISIBLE) || !(m_dwStyle & CBRS_ALIGN_ANY) || IsFloating()) return 0;
    CRect rect(layout->rect);
    const CSize available = rect.Size();
    DWORD mode = layout->bStretch ? LM_STRETCH : 0;
    mode |= (m_dwStyle & CBRS_ORIENT_HORZ) ? LM_HORZ | LM_HORZDOCK : LM_VERTDOCK;
    if (layout->hDWP) mode |= LM_COMMIT;
    CSize size = CalcDynamicLayout(-1, mode);
    size.cx = std::max<LONG>(0, std::min(size.cx, available.cx));
    size.cy = std::max<LONG>(0, std::min(size.cy, available.cy));
    if (m_dwStyle & CBRS_ORIENT_HORZ) {
        layout->sizeTotal.cy += size.cy;
        layout->sizeTotal.cx = std::max(layout->sizeTotal.cx, size.cx);
        if (m_dwStyle & CBRS_ALIGN_TOP) {
            layout->rect.top += size.cy;
        } else {
            rect.top = rect.bottom - size.cy;
            layout->rect.bottom -= size.cy;
        }
    } else {
        layout->sizeTotal.cx += size.cx;
        layout->sizeTotal.cy = std::max(layout->sizeTotal.cy, size.cy);
        if (m_dwStyle & CBRS_ALIGN_LEFT) {
            layout->rect.left += size.cx;
        } else {
            rect.left = rect.right - size.cx;
            layout->rect.right -= size.cx;
        }
    }
    rect.right = rect.left + size.cx;
    rect.bottom = rect.top + size.cy;
    AfxRepositionWindow(layout, m_hWnd, &rect);
    return 0;
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM) {
    if (!(GetStyle() & WS_VISIBLE)) return 0;
    if (CFrameWnd* target = GetDockingFrame(); target && target->m_hWnd)
        OnUpdateCmdUI(target, static_cast<BOOL>(wParam));
    return 0;
}
