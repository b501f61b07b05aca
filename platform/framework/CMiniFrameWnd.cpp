#include "platform/framework/CMiniFrameWnd.h"

#include <algorithm>
#include <cstring>

#include "platform/framework/AfxMsg.h"
#include "platform/framework/CFont.h"
#include "platform/framework/CWindowDC.h"
#include "platform/framework/DragLoop.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/SystemColors.h"
#include "platform/window/Windows.h"

IMPLEMENT_DYNCREATE(CMiniFrameWnd, CFrameWnd)

namespace {

constexpr int kCloseBox = 13;  // square, inside the caption
constexpr int kMinClient = 8;  // what sizing leaves at least

CRect WindowArea(const CWnd& wnd) {
    CRect r;
    wnd.GetWindowRect(&r);
    return CRect(0, 0, r.Width(), r.Height());
}

void MakeFont(CFont& font, int weight, int height, const char* face) {
    LOGFONTA lf{};
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    lf.lfWeight = weight;
    if (face) {
        lf.lfHeight = height;
        std::strncpy(lf.lfFaceName, face, sizeof lf.lfFaceName - 1);
    }
    font.CreateFontIndirect(&lf);
}

}  // namespace

CMiniFrameWnd::CMiniFrameWnd() = default;
CMiniFrameWnd::~CMiniFrameWnd() = default;

BOOL CMiniFrameWnd::Create(LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, const RECT& rect,
                           CWnd* pParentWnd, UINT) {
    m_bSizable = (dwStyle & (MFS_THICKFRAME | MFS_4THICKFRAME)) != 0;
    m_strTitle = lpWindowName ? lpWindowName : "";
    // A popup: the desktop frames only normal top-level windows, and this frame is drawn here.
    const DWORD style = (dwStyle & ~(WS_CHILD | WS_CAPTION | WS_THICKFRAME | WS_BORDER)) | WS_POPUP | WS_CLIPCHILDREN;
    return CWnd::CreateEx(WS_EX_TOOLWINDOW, lpClassName ? lpClassName : AFX_WNDFRAMEORVIEW, lpWindowName, style,
                          rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, SafeHwnd(pParentWnd),
                          nullptr, nullptr);
}

BOOL CMiniFrameWnd::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!cs.lpszClass) cs.lpszClass = AFX_WNDFRAMEORVIEW;
    cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
    return TRUE;
}

void CMiniFrameWnd::CalcBorders(LPRECT lpClientRect, DWORD) {
    lpClientRect->left -= kBorder;
    lpClientRect->top -= kBorder + kCaptionHeight;
    lpClientRect->right += kBorder;
    lpClientRect->bottom += kBorder;
}

CRect CMiniFrameWnd::CloseBoxRect() const {
    const CRect window = WindowArea(*this);
    const int top = kBorder + (kCaptionHeight - kCloseBox) / 2;
    return CRect(window.right - kBorder - 1 - kCloseBox, top, window.right - kBorder - 1, top + kCloseBox);
}

LRESULT CMiniFrameWnd::HitTest(CPoint screen) const {
    CRect window;
    GetWindowRect(&window);
    if (!window.PtInRect(screen)) return HTNOWHERE;
    const CPoint p(screen.x - window.left, screen.y - window.top);
    const int w = window.Width(), h = window.Height();
    if (CloseBoxRect().PtInRect(p)) return HTCLOSE;
    if (m_bSizable) {
        const bool left = p.x < kBorder, right = p.x >= w - kBorder;
        const bool top = p.y < kBorder, bottom = p.y >= h - kBorder;
        if (top) return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
        if (bottom) return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
        if (left) return HTLEFT;
        if (right) return HTRIGHT;
    }
    if (p.y < kBorder + kCaptionHeight) return HTCAPTION;
    CRect client;
    GetClientRect(&client);
    ClientToScreen(&client);
    // A fixed frame's border moves it, as its caption does.
    return client.PtInRect(screen) ? HTCLIENT : HTCAPTION;
}

BEGIN_MESSAGE_MAP(CMiniFrameWnd, CFrameWnd)
ON_WM_NCCALCSIZE()
ON_WM_NCPAINT()
ON_WM_NCHITTEST()
ON_WM_NCLBUTTONDOWN()
ON_MESSAGE(WM_SETTEXT, &CMiniFrameWnd::OnSetText)
END_MESSAGE_MAP()

void CMiniFrameWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS* lpncsp) {
    RECT& r = lpncsp->rgrc[0];
    r.left += kBorder;
    r.top += kBorder + kCaptionHeight;
    r.right = std::max(r.left, r.right - kBorder);
    r.bottom = std::max(r.top, r.bottom - kBorder);
}

void CMiniFrameWnd::OnNcPaint() {
    CWindowDC dc(this);
    const CRect window = WindowArea(*this);
    CRect client;
    GetClientRect(&client);
    client.OffsetRect(kBorder, kBorder + kCaptionHeight);
    dc.ExcludeClipRect(&client);
    CRect frame = window;
    dc.DrawEdge(&frame, EDGE_RAISED, BF_RECT | BF_ADJUST);
    dc.FillSolidRect(&frame, GetSysColor(COLOR_BTNFACE));
    PaintCaption(dc, window, m_bClosePressed);
}

void CMiniFrameWnd::PaintCaption(CDC& dc, const CRect& window, bool closePressed) {
    CRect caption(kBorder, kBorder, window.right - kBorder, kBorder + kCaptionHeight);
    dc.FillSolidRect(&caption, GetSysColor(COLOR_ACTIVECAPTION));
    CRect close = CloseBoxRect();
    CFont title;
    MakeFont(title, FW_BOLD, 0, nullptr);
    CFont* old = dc.SelectObject(&title);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(GetSysColor(COLOR_CAPTIONTEXT));
    CRect text(caption.left + 3, caption.top, close.left - 2, caption.bottom);
    dc.DrawText(GetWindowText(), &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    // The close box: a small button with the cross.
    dc.FillSolidRect(&close, GetSysColor(COLOR_BTNFACE));
    CRect edge = close;
    dc.DrawEdge(&edge, closePressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
    CFont marlett;
    MakeFont(marlett, FW_NORMAL, -(kCloseBox - 6), "Marlett");
    dc.SelectObject(&marlett);
    dc.SetTextColor(GetSysColor(COLOR_BTNTEXT));
    if (closePressed) edge.OffsetRect(1, 1);
    dc.DrawText("r", &edge, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    dc.SelectObject(old);
}

LRESULT CMiniFrameWnd::OnNcHitTest(CPoint point) { return HitTest(point); }

void CMiniFrameWnd::OnNcLButtonDown(UINT nHitTest, CPoint point) {
    switch (nHitTest) {
        case HTCAPTION:
            TrackMove(point);
            return;
        case HTCLOSE:
            // The close may destroy this frame: nothing after it.
            if (TrackCloseBox()) SendMessage(WM_CLOSE);
            return;
        case HTLEFT:
        case HTRIGHT:
        case HTTOP:
        case HTBOTTOM:
        case HTTOPLEFT:
        case HTTOPRIGHT:
        case HTBOTTOMLEFT:
        case HTBOTTOMRIGHT:
            TrackSize(static_cast<int>(nHitTest), point);
            return;
        default:
            Default();
    }
}

LRESULT CMiniFrameWnd::OnSetText(WPARAM, LPARAM) {
    const LRESULT result = Default();
    RedrawWindow(nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
    return result;
}

void CMiniFrameWnd::TrackMove(CPoint start) {
    CRect window;
    GetWindowRect(&window);
    const CPoint origin = window.TopLeft();
    DragLoop loop(m_hWnd);
    loop.onMove = [&](POINT p) {
        SetWindowPos(nullptr, origin.x + p.x - start.x, origin.y + p.y - start.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    if (!loop.Run()) SetWindowPos(nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CMiniFrameWnd::TrackSize(int nHitTest, CPoint start) {
    CRect original;
    GetWindowRect(&original);
    const int least = 2 * kBorder + kMinClient;
    DragLoop loop(m_hWnd);
    loop.onMove = [&](POINT p) {
        CRect r = original;
        const int dx = p.x - start.x, dy = p.y - start.y;
        if (nHitTest == HTLEFT || nHitTest == HTTOPLEFT || nHitTest == HTBOTTOMLEFT)
            r.left = std::min<LONG>(r.left + dx, r.right - least);
        if (nHitTest == HTRIGHT || nHitTest == HTTOPRIGHT || nHitTest == HTBOTTOMRIGHT)
            r.right = std::max<LONG>(r.right + dx, r.left + least);
        if (nHitTest == HTTOP || nHitTest == HTTOPLEFT || nHitTest == HTTOPRIGHT)
            r.top = std::min<LONG>(r.top + dy, r.bottom - least - kCaptionHeight);
        if (nHitTest == HTBOTTOM || nHitTest == HTBOTTOMLEFT || nHitTest == HTBOTTOMRIGHT)
            r.bottom = std::max<LONG>(r.bottom + dy, r.top + least + kCaptionHeight);
        SetWindowPos(nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    };
    if (!loop.Run())
        SetWindowPos(nullptr, original.left, original.top, original.Width(), original.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CMiniFrameWnd::TrackCloseBox() {
    const auto over = [this](POINT screen) {
        CRect window;
        GetWindowRect(&window);
        return CloseBoxRect().PtInRect(CPoint(screen.x - window.left, screen.y - window.top));
    };
    const auto press = [this](bool pressed) {
        if (m_bClosePressed == pressed) return;
        m_bClosePressed = pressed;
        RedrawWindow(nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    };
    press(true);
    bool inside = true;
    DragLoop loop(m_hWnd);
    loop.onMove = [&](POINT p) {
        inside = over(p);
        press(inside);
    };
    const bool released = loop.Run();
    press(false);
    return released && inside;
}
