#pragma once
// The hook that gives the icon menus their menu windows: a call-window-procedure hook of the
// user-interface thread sees each "#32768" window made (WM_CREATE) and sized (MN_SIZEWINDOW),
// and subclasses it once. The old procedure is kept in the window property "OldMenuProc" (the
// name also held as a global atom), the window goes into a map with its styles and menu, and
// the drawing style in use decides its frame. When the window goes (WM_NCDESTROY) everything is
// given back: the procedure, the property and the atom, the styles, and its menu hears that the
// popup closed.
//
// With the process-wide switch on (IconMenuSettings::subclassDialogs), dialog windows
// ("#32770") are subclassed the same way through the property "IconMenuTempHandler", so that the
// icon menus they show are measured, drawn, prepared and searched for mnemonics as a frame's are.
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
    static constexpr const char* kDialogProperty = "IconMenuTempHandler";

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MenuProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static void Subclass(HWND hwnd);
    static LRESULT CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static void SubclassDialog(HWND hwnd);
    static void Restore(const IconMenuWindow& window);
};
