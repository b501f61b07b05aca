#pragma once
// The "ScrollBar" control: a bar filling its window, horizontal (SBS_HORZ) or vertical
// (SBS_VERT). It keeps its numbers with the window system (SB_CTL), answers the SBM_ messages
// that the scroll bar functions send it, and reports to its parent with WM_HSCROLL / WM_VSCROLL,
// lParam = the control: from the mouse, and from the arrow, page, Home and End keys while it has
// the focus.

#include "platform/window/ScrollBars.h"

inline constexpr char WC_SCROLLBARA[] = "ScrollBar";

class ScrollBar {
public:
    // Registers the class; CommonControls does, once.
    static bool Register();
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    static void OnPaint(HWND hwnd);
    static void OnButtonDown(HWND hwnd, POINT client);
    static bool OnKey(HWND hwnd, int vk, bool down);
    static LRESULT OnSetScrollInfo(HWND hwnd, const SCROLLINFO* info, bool redraw, int* previous = nullptr);
    static LRESULT OnGetScrollInfo(HWND hwnd, SCROLLINFO* info);
    static LRESULT OnEnableArrows(HWND hwnd, UINT arrows);
};
