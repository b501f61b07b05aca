#include "tests/platform/controls/ControlTesting.h"

void ControlTest::SetUp() {
    WindowTest::SetUp();
    InitCommonControls();
    parent = TopLevel(WS_POPUP | WS_VISIBLE);
}

HWND ControlTest::Control(const char* cls, const char* text, DWORD style, const RECT& r, DWORD exStyle) {
    return CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, parent, reinterpret_cast<HMENU>(100), nullptr, nullptr);
}

void ControlTest::Press(int vk, int modifiers) {
    if (modifiers & kShift) display->Key(VK_SHIFT, true);
    if (modifiers & kControl) display->Key(VK_CONTROL, true);
    display->KeyPress(vk);
    if (modifiers & kControl) display->Key(VK_CONTROL, false);
    if (modifiers & kShift) display->Key(VK_SHIFT, false);
    PumpAll();
}

void ControlTest::Type(const std::string& text) {
    display->Type(text);
    PumpAll();
}

std::vector<WORD> ControlTest::Notifications(HWND control) const {
    std::vector<WORD> codes;
    for (const Seen& s : Recorder::Instance().Log())
        if (s.hwnd == parent && s.message == WM_COMMAND && reinterpret_cast<HWND>(s.lParam) == control)
            codes.push_back(HIWORD(s.wParam));
    return codes;
}

COLORREF ControlTest::PixelAt(HWND hwnd, int x, int y) {
    PumpAll();
    const POINT at = OnScreen(hwnd, x, y);
    RECT top;
    GetWindowRect(GetAncestor(hwnd, GA_ROOT), &top);
    const Surface pixels = display->Pixels(GetAncestor(hwnd, GA_ROOT));
    return Surface::ColorOf(pixels.At(at.x - top.left, at.y - top.top));
}

std::vector<COLORREF> ControlTest::ClientPixels(HWND hwnd) {
    PumpAll();
    RECT client, top;
    GetClientRect(hwnd, &client);
    GetWindowRect(GetAncestor(hwnd, GA_ROOT), &top);
    const POINT origin = OnScreen(hwnd, 0, 0);
    const Surface pixels = display->Pixels(GetAncestor(hwnd, GA_ROOT));
    std::vector<COLORREF> out;
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x)
            out.push_back(Surface::ColorOf(pixels.At(origin.x - top.left + x, origin.y - top.top + y)));
    return out;
}
