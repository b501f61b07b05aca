#include "platform/controls/ControlSupport.h"

#include "platform/graphics/Gdi.h"
#include "platform/graphics/SystemColors.h"
#include "platform/window/Windows.h"

bool ControlSupport::Register(const char* name, WNDPROC proc, LPCSTR cursor, UINT style) {
    WNDCLASSA cls{};
    cls.style = style;
    cls.lpfnWndProc = proc;
    cls.hCursor = LoadCursorA(nullptr, cursor);
    cls.lpszClassName = name;
    return RegisterClassA(&cls) != 0;
}

HBRUSH ControlSupport::AskColors(HWND control, HDC hdc, UINT message, int text, int back) {
    SetTextColor(hdc, GetSysColor(text));
    SetBkColor(hdc, GetSysColor(back));
    const bool child = GetWindowLongPtrA(control, GWL_STYLE) & WS_CHILD;
    const HWND parent = child ? GetParent(control) : nullptr;
    const auto wParam = reinterpret_cast<WPARAM>(hdc);
    const auto lParam = reinterpret_cast<LPARAM>(control);
    auto brush = reinterpret_cast<HBRUSH>(parent ? SendMessageA(parent, message, wParam, lParam) : 0);
    return brush ? brush : reinterpret_cast<HBRUSH>(DefWindowProcA(control, message, wParam, lParam));
}

std::string ControlSupport::Caption(HWND control) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool ControlSupport::Captioned(HWND control, HFONT& font, UINT message, WPARAM wParam, LPARAM lParam,
                               LRESULT& result) {
    result = 0;
    switch (message) {
        case WM_SETTEXT:
            result = DefWindowProcA(control, message, wParam, lParam);
            InvalidateRect(control, nullptr, TRUE);
            return true;
        case WM_SETFONT:
            font = reinterpret_cast<HFONT>(wParam);
            if (LOWORD(static_cast<std::uintptr_t>(lParam))) InvalidateRect(control, nullptr, TRUE);
            return true;
        case WM_GETFONT:
            result = reinterpret_cast<LRESULT>(font);
            return true;
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_ENABLE:
            InvalidateRect(control, nullptr, TRUE);
            return true;
        default:
            return false;
    }
}
