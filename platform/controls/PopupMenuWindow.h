#pragma once
// The popup menu window, class "#32768": a top-level WS_POPUP | WS_BORDER window with
// WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE, owned by the window whose menu it shows. Created so
// that a WH_CALLWNDPROC hook sees its creation and MN_SIZEWINDOW and may subclass it: its
// frame is whatever WM_NCCALCSIZE then says, its size what WM_WINDOWPOSCHANGING leaves.
// Its items are drawn in WM_PAINT only; the menu loop moves the selection.

#include "platform/graphics/GdiTypes.h"
#include "platform/window/WindowTypes.h"

class PopupMenuWindow {
public:
    static void Register();  // once per process

    // Creates the window for a laid-out popup of `content` size, places it next to `anchor`
    // (screen): below it for a bar item (`below`), else to its right, moved to stay on the
    // screen; shows it without activating. Null on failure.
    static HWND Open(HWND owner, HMENU menu, SIZE content, const RECT& anchor, bool below);
    // TrackPopupMenu's placement: at `at` with the TPM_* alignment, off `exclude` if given.
    static HWND OpenAt(HWND owner, HMENU menu, SIZE content, POINT at, UINT flags, const RECT* exclude);
    static void Close(HWND popup);

    static HMENU MenuOf(HWND popup);
    static HWND WindowOf(HMENU menu);  // the calling thread's window showing it, or null
    static void Select(HWND popup, int position);
    static int Selected(HWND popup);
    // The item under a screen point (-1: none), and whether the point is in the window at all.
    static int ItemAt(HWND popup, POINT screen, bool* inside = nullptr);
    static bool ItemScreenRect(HWND popup, int position, RECT* r);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static HWND Create(HWND owner, HMENU menu, SIZE content, POINT at);
};
