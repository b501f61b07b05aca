#pragma once
// What the simple controls share: asking the parent for their colours, reading their caption,
// and the messages every captioned control answers alike.

#include <string>

#include "platform/graphics/GdiTypes.h"
#include "platform/window/WindowTypes.h"

class ControlSupport {
public:
    // A control class: double clicks unless `style` says otherwise, the cursor given, no
    // background (controls paint it all). False when the class could not be registered.
    static bool Register(const char* name, WNDPROC proc, LPCSTR cursor, UINT style = CS_DBLCLKS);
    // Sends `message` (a WM_CTLCOLOR*) to the parent of a child control with `hdc` set to the
    // control's default colours; the parent's brush, or the default answer when it gives none.
    static HBRUSH AskColors(HWND control, HDC hdc, UINT message, int text, int back);
    static std::string Caption(HWND control);
    // WM_SETTEXT, WM_SETFONT, WM_GETFONT, WM_ERASEBKGND (the control paints all in WM_PAINT) and
    // WM_ENABLE, each followed by a repaint: true when `message` was one of them.
    static bool Captioned(HWND control, HFONT& font, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
};
