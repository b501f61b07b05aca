#pragma once
// The gallery's menu look: every item of the frame's menus owner-drawn (bar items flat, popup
// items with the command's toolbar picture in a shaded band, the accelerator right-aligned, a
// flat selection), and the popup windows given their own one-pixel frame and a shadow by a
// WH_CALLWNDPROC hook that subclasses each "#32768" window as it is created.

#include <string>

#include "platform/graphics/GdiTypes.h"
#include "platform/window/WindowTypes.h"

class GalleryMenuStyle {
public:
    // Makes every item of `bar` and its popups owner-drawn (the texts stay with the style) and
    // hooks the calling thread's menu windows. `images` and `disabled` hold one picture a
    // command of `commands` (count of them), in that order; not owned.
    static void Install(HMENU bar, const int* commands, int count, HIMAGELIST images, HIMAGELIST disabled);
    static void Uninstall();

    // The owner's WM_MEASUREITEM and WM_DRAWITEM for menus: true when the item was one of ours.
    static bool Measure(HWND owner, MEASUREITEMSTRUCT& item);
    static bool Draw(const DRAWITEMSTRUCT& item);

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static void MakeOwnerDrawn(HMENU menu, bool bar);
    static void DrawPopupItem(const DRAWITEMSTRUCT& item, const std::string& text);
    static void DrawBarItem(const DRAWITEMSTRUCT& item, const std::string& text);
};
