#pragma once
// The menu bar of top-level windows: laid out in rows in the non-client area above the client,
// drawn there, hit-tested for HTMENU, hot under the pointer, and the start of the menu loop from
// a press or the menu keys. DefWindowProc reaches it through MenuBarHost.

#include "platform/window/MenuBarHost.h"

class MenuBar : public MenuBarHost {
public:
    // Makes the bar DefWindowProc's host; once per process, from any thread.
    static void Install();

    // Screen rectangle of a bar item of the window, as last laid out.
    static bool ItemScreenRect(HWND hwnd, HMENU menu, int position, RECT* r);
    // The bar item under a screen point, or -1.
    static int ItemAt(HWND hwnd, HMENU menu, POINT screen);
    // Draws the bar again with its items' states.
    static void Redraw(HWND hwnd);

protected:
    int BarHeight(HWND hwnd, HMENU menu, int width) override;
    void Paint(HWND hwnd, HMENU menu, HDC windowDc, const RECT& bar) override;
    int LaidOutHeight(HMENU menu) override;
    void TrackMouse(HWND hwnd, POINT screen) override;
    void TrackKey(HWND hwnd, UINT key) override;
    void Hover(HWND hwnd, HMENU menu, POINT screen, bool onBar) override;

private:
    static POINT Origin(HWND hwnd, HMENU menu);  // the bar's corner on the screen
    static void SetHot(HWND hwnd, HMENU menu, int position);
    static void CALLBACK CheckPointer(HWND, UINT, std::uintptr_t, DWORD);
};
