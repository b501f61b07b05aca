#pragma once
// Control tests: a recording parent window on the headless display, the controls' classes
// registered, and keys typed as a person would.

#include <string>
#include <vector>

#include "platform/controls/CommCtrl.h"
#include "tests/platform/window/WindowTesting.h"

class ControlTest : public WindowTest {
protected:
    void SetUp() override;

    // A child control of `parent` (the recording top-level window by default), id 100.
    HWND Control(const char* cls, const char* text, DWORD style, const RECT& r, DWORD exStyle = 0);

    // Injects a key with Shift and/or Control held, then takes the input.
    enum Modifier { kNone = 0, kShift = 1, kControl = 2 };
    void Press(int vk, int modifiers = kNone);
    void Type(const std::string& text);

    // The notification codes (WM_COMMAND's high word) the parent got from `control`, in order.
    std::vector<WORD> Notifications(HWND control) const;

    // The colours on the screen at a window's client point, and of its whole client area (rows
    // top down).
    COLORREF PixelAt(HWND hwnd, int x, int y);
    std::vector<COLORREF> ClientPixels(HWND hwnd);

    HWND parent = nullptr;
};
