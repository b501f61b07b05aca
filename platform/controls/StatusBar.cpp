#include "platform/controls/StatusBar.h"

#include <algorithm>
#include <cstring>

#include "platform/controls/BarAlignment.h"
#include "platform/controls/ControlInstance.h"
#include "platform/graphics/Edges.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/TextOutput.h"

namespace {

// Borders around and between the panes.
constexpr int kHorizontalBorder = 0;
constexpr int kVerticalBorder = 2;
constexpr int kBetweenPanes = 2;
constexpr int kTextInset = 3;  // from a pane's left and right edges
constexpr int kGripSize = 12;  // the drawn corner; it takes the scroll-bar width from the last pane

LRESULT LengthAndType(std::size_t length, WORD type) {
    return MAKELPARAM(static_cast<int>(std::min<std::size_t>(length, 0xFFFF)), type);
}

void DrawGrip(HDC hdc, const RECT& client) {
    const HPEN light = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DHILIGHT));
    const HPEN dark = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DSHADOW));
    const HGDIOBJ old = SelectObject(hdc, light);
    const int right = client.right - 1, bottom = client.bottom - 1;
    // Three diagonal ridges, each a light line and two dark ones, shortest in the corner.
    for (int ridge = 0; ridge < 3; ++ridge) {
        const int length = kGripSize - 4 * ridge;
        for (int line = 0; line < 3; ++line) {
            SelectObject(hdc, line == 0 ? light : dark);
            const int reach = length - line;
            MoveToEx(hdc, right - reach, bottom, nullptr);
            LineTo(hdc, right + 1, bottom - reach - 1);
        }
    }
    SelectObject(hdc, old);
    DeleteObject(light);
    DeleteObject(dark);
}

}  // namespace

StatusBar::StatusBar(HWND hwnd) : hwnd_(hwnd), panes_(1) {}

void StatusBar::Register() {
    ControlInstance<StatusBar>::Register(STATUSCLASSNAMEA, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW);
}

std::unique_ptr<StatusBar> StatusBar::Make(HWND hwnd, const CREATESTRUCTA& cs) {
    auto bar = std::make_unique<StatusBar>(hwnd);
    if (cs.lpszName && *cs.lpszName) bar->panes_[0].text = cs.lpszName;
    return bar;
}

StatusBar::Pane* StatusBar::PaneAt(WPARAM index) {
    if (index == SB_SIMPLEID) return &simple_;
    return index < panes_.size() ? &panes_[index] : nullptr;
}

BOOL StatusBar::SetText(WPARAM wParam, LPARAM lParam) {
    Pane* pane = PaneAt(wParam & 0xFF);
    if (!pane) return FALSE;
    const auto type = static_cast<WORD>(wParam & 0xFF00);
    if (type & SBT_OWNERDRAW) {
        pane->data = lParam;
        pane->text.clear();
    } else {
        pane->data = 0;
        pane->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
    }
    pane->type = type;
    // Only what shows is repainted: simple mode shows the simple pane alone.
    if ((pane == &simple_) == simpleMode_) {
        RECT r;
        if (simpleMode_) {
            GetClientRect(hwnd_, &r);
            InvalidateRect(hwnd_, &r, TRUE);
        } else if (GetRect(wParam & 0xFF, &r)) {
            InvalidateRect(hwnd_, &r, TRUE);
        }
    }
    return TRUE;
}

LRESULT StatusBar::GetText(WPARAM index, char* out) {
    const Pane* pane = PaneAt(index & 0xFF);
    if (!pane) return 0;
    if (pane->type & SBT_OWNERDRAW) return pane->data;
    if (out) std::memcpy(out, pane->text.c_str(), pane->text.size() + 1);
    return LengthAndType(pane->text.size(), pane->type);
}

BOOL StatusBar::SetParts(int count, const int* rights) {
    if (count <= 0 || count > kMaxParts || !rights) return FALSE;
    panes_.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) panes_[i].right = rights[i];
    InvalidateRect(hwnd_, nullptr, TRUE);
    return TRUE;
}

bool StatusBar::ShowsGrip() {
    if (!(GetWindowLongPtrA(hwnd_, GWL_STYLE) & SBARS_SIZEGRIP)) return false;
    // A maximized frame cannot be sized: no grip.
    const HWND top = GetAncestor(hwnd_, GA_ROOT);
    return !(top && (GetWindowLongPtrA(top, GWL_STYLE) & WS_MAXIMIZE));
}

BOOL StatusBar::GetRect(WPARAM index, RECT* r) {
    if (!r) return FALSE;
    RECT client;
    GetClientRect(hwnd_, &client);
    const LONG gripRoom = ShowsGrip() ? std::min<LONG>(GetSystemMetrics(SM_CXVSCROLL), client.right) : 0;
    if (simpleMode_) {
        *r = RECT{kHorizontalBorder, kVerticalBorder, client.right - gripRoom, client.bottom};
        return TRUE;
    }
    if (index >= panes_.size()) return FALSE;
    LONG left = kHorizontalBorder;
    for (std::size_t i = 0;; ++i) {
        const bool toEnd = panes_[i].right < 0;
        const LONG right = toEnd ? client.right - gripRoom : panes_[i].right;
        if (i == index) {
            *r = RECT{left, kVerticalBorder, std::max(left, right), client.bottom};
            return TRUE;
        }
        left = std::max(left, right) + kBetweenPanes;
    }
}

int StatusBar::BarHeight() {
    TEXTMETRICA tm{};
    if (HDC hdc = GetDC(hwnd_)) {
        const HGDIOBJ old = SelectObject(hdc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
        GetTextMetricsA(hdc, &tm);
        SelectObject(hdc, old);
        ReleaseDC(hwnd_, hdc);
    }
    // The text area, a pane's frame above and below it, and the border above the panes.
    return std::max<int>(tm.tmHeight, minHeight_) + 2 + 2 * kVerticalBorder;
}

void StatusBar::Align() { BarAlignment::Apply(hwnd_, BarHeight(), true); }

void StatusBar::PaintPane(HDC hdc, const Pane& pane, RECT r) {
    if (!(pane.type & SBT_NOBORDERS))
        DrawEdge(hdc, &r, (pane.type & SBT_POPOUT) ? BDR_RAISEDOUTER : BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    if ((pane.type & SBT_OWNERDRAW) || pane.text.empty()) return;
    InflateRect(&r, -kTextInset + 1, 0);
    const HRGN clip = CreateRectRgnIndirect(&r);
    SaveDC(hdc);
    SelectClipRgn(hdc, clip);
    // Tabs split the text into a left, a centred and a right part.
    static constexpr UINT kAlign[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
    std::size_t start = 0;
    for (int part = 0; part < 3 && start <= pane.text.size(); ++part) {
        std::size_t end = (pane.type & SBT_NOTABPARSING) || part == 2 ? std::string::npos : pane.text.find('\t', start);
        if (end == std::string::npos) end = pane.text.size();
        RECT box = r;
        DrawTextA(hdc, pane.text.c_str() + start, static_cast<int>(end - start), &box,
                  kAlign[part] | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        start = end + 1;
    }
    RestoreDC(hdc, -1);
    DeleteObject(clip);
}

void StatusBar::Paint() {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd_, &ps);
    if (!hdc) return;
    RECT client;
    GetClientRect(hwnd_, &client);
    const HBRUSH back = backColor_ == CLR_DEFAULT ? GetSysColorBrush(COLOR_3DFACE) : CreateSolidBrush(backColor_);
    FillRect(hdc, &client, back);
    if (backColor_ != CLR_DEFAULT) DeleteObject(back);
    const HGDIOBJ oldFont = SelectObject(hdc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, GetSysColor(COLOR_BTNTEXT));
    RECT r;
    if (simpleMode_) {
        GetRect(0, &r);
        PaintPane(hdc, simple_, r);
    } else {
        for (std::size_t i = 0; i < panes_.size(); ++i) {
            RECT overlap;
            if (GetRect(i, &r) && IntersectRect(&overlap, &r, &ps.rcPaint)) PaintPane(hdc, panes_[i], r);
        }
    }
    if (ShowsGrip()) DrawGrip(hdc, client);
    SelectObject(hdc, oldFont);
    EndPaint(hwnd_, &ps);
}

LRESULT StatusBar::Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case SB_SETTEXTA:
            return SetText(wParam, lParam);
        case SB_GETTEXTA:
            return GetText(wParam, reinterpret_cast<char*>(lParam));
        case SB_GETTEXTLENGTHA: {
            const Pane* pane = PaneAt(wParam & 0xFF);
            return pane ? LengthAndType(pane->text.size(), pane->type) : 0;
        }
        case SB_SETPARTS:
            return SetParts(static_cast<int>(wParam), reinterpret_cast<const int*>(lParam));
        case SB_GETPARTS: {
            auto* out = reinterpret_cast<int*>(lParam);
            const std::size_t n = std::min<std::size_t>(wParam, panes_.size());
            for (std::size_t i = 0; out && i < n; ++i) out[i] = panes_[i].right;
            return static_cast<LRESULT>(panes_.size());
        }
        case SB_GETBORDERS: {
            auto* out = reinterpret_cast<int*>(lParam);
            if (!out) return FALSE;
            out[0] = kHorizontalBorder;
            out[1] = kVerticalBorder;
            out[2] = kBetweenPanes;
            return TRUE;
        }
        case SB_SETMINHEIGHT:
            minHeight_ = std::max(0, static_cast<int>(wParam));
            return 0;
        case SB_SIMPLE:
            if (simpleMode_ != (wParam != 0)) {
                simpleMode_ = wParam != 0;
                InvalidateRect(hwnd, nullptr, TRUE);
            }
            return 0;
        case SB_ISSIMPLE:
            return simpleMode_;
        case SB_GETRECT:
            return GetRect(wParam, reinterpret_cast<RECT*>(lParam));
        case SB_SETBKCOLOR: {
            const COLORREF previous = backColor_;
            backColor_ = static_cast<COLORREF>(lParam);
            InvalidateRect(hwnd, nullptr, TRUE);
            return previous;
        }
        case WM_SETTEXT:
            DefWindowProcA(hwnd, message, wParam, lParam);
            return SetText(0, lParam);
        case WM_GETTEXT: {
            if (wParam == 0 || !lParam) return 0;
            const std::size_t n = std::min<std::size_t>(wParam - 1, panes_[0].text.size());
            std::memcpy(reinterpret_cast<char*>(lParam), panes_[0].text.data(), n);
            reinterpret_cast<char*>(lParam)[n] = '\0';
            return static_cast<LRESULT>(n);
        }
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(panes_[0].text.size());
        case WM_SETFONT:
            font_ = reinterpret_cast<HFONT>(wParam);
            Align();
            if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font_);
        case WM_SIZE:
            Align();
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // painting covers the whole client area
        case WM_PAINT:
            Paint();
            return 0;
        default:
            return ControlInstance<StatusBar>::Default(STATUSCLASSNAMEA, hwnd, message, wParam, lParam);
    }
}
