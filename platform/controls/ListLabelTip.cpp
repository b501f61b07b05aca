#include "platform/controls/ListLabelTip.h"

#include <algorithm>

#include "platform/controls/CellText.h"
#include "platform/controls/ControlSupport.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"

namespace {

constexpr char kClassName[] = "SysListView32 LabelTip";
constexpr int kPad = 2;  // between the border and the text

}  // namespace

void ListLabelTip::Register() { ControlSupport::Register(kClassName, Proc, IDC_ARROW, 0); }

ListLabelTip::~ListLabelTip() {
    if (hwnd_) DestroyWindow(hwnd_);
}

void ListLabelTip::Show(int row, int column, const RECT& textRect, std::string_view text, HFONT font) {
    if (ShowsFor(row, column)) return;
    if (!hwnd_) {
        hwnd_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP | WS_BORDER, 0, 0, 0, 0,
                                GetAncestor(list_, GA_ROOT), nullptr, nullptr, nullptr);
        if (!hwnd_) return;
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<std::intptr_t>(this));
    }
    text_ = text;
    SetWindowTextA(hwnd_, text_.c_str());  // what the tip says, for whoever reads windows' texts
    font_ = font;
    row_ = row;
    column_ = column;
    HDC hdc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(hdc, font_);
    const int width = CellText::Width(hdc, text_);
    SelectObject(hdc, old);
    ReleaseDC(hwnd_, hdc);
    // The text stays where the cell shows it; the tip stays on the screen.
    RECT r{textRect.left - kPad - 1, textRect.top, textRect.left + width + kPad + 1, textRect.bottom};
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    if (r.right > screenWidth) OffsetRect(&r, std::max<int>(screenWidth - r.right, -r.left), 0);
    SetWindowPos(hwnd_, HWND_TOPMOST, r.left, r.top, Width(r), Height(r), SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void ListLabelTip::Hide() {
    if (row_ < 0) return;
    row_ = column_ = -1;
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

void ListLabelTip::Paint() {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd_, &ps);
    if (hdc) {
        RECT client;
        GetClientRect(hwnd_, &client);
        FillRect(hdc, &client, GetSysColorBrush(COLOR_INFOBK));
        HGDIOBJ old = SelectObject(hdc, font_);
        SetBkMode(hdc, TRANSPARENT);
        SetTextColor(hdc, GetSysColor(COLOR_INFOTEXT));
        RECT text{client.left + kPad, client.top, client.right, client.bottom};
        CellText::Draw(hdc, text, text_, CellText::kLeft);
        SelectObject(hdc, old);
    }
    EndPaint(hwnd_, &ps);
}

LRESULT CALLBACK ListLabelTip::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ListLabelTip*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
    switch (message) {
        case WM_PAINT:
            self->Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK: {
            // The list gets the mouse as if the tip were not over it.
            POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            MapWindowPoints(hwnd, self->list_, &p, 1);
            return SendMessageA(self->list_, message, wParam, MAKELPARAM(p.x, p.y));
        }
        case WM_MOUSEWHEEL:
            return SendMessageA(self->list_, message, wParam, lParam);
        default:
            return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}
