#pragma once
// The hook that gives the icon menus their menu windows: a call-window-procedure hook of the
// user-interface thread sees each "#32768" window made (WM_CREATE) and sized (MN_SIZEWINDOW),
// and subclasses it once. The old procedure is kept in the window property "OldMenuProc" (the
// name also held as a global atom), the window goes into a map with its styles and menu, and
// the drawing style in use decides its frame. When the window goes (WM_NCDESTROY) everything is
// given back: the procedure, the property and the atom, the styles, and its menu hears that the
// popup closed.
//
// The hook and the map belong to the thread that installed it.

#include <vector>

#include "widgets/IconMenuStyle.h"

class IconMenuWindowHook {
public:
    // Installs the hook for the calling thread, once: whether it is installed.
    static bool Install();
    static void Uninstall();
    static bool Installed();

    // The calling thread's subclassed menu windows, oldest first.
    static std::vector<IconMenuWindow> Windows();

    static constexpr const char* kOldProcProperty = "OldMenuProc";

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MenuProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static void Subclass(HWND hwnd);
    static void Restore(const IconMenuWindow& window);
};
