#pragma once
// Moving, sizing, stacking, showing and hiding a window, on the thread that owns it (where its
// surface is drawn). SetWindowPos and ShowWindow are these, run on the owner's thread.

#include "platform/window/WindowLock.h"
#include "platform/window/WindowTypes.h"

class WindowPlacement {
public:
    // `byDesktop`: the desktop made the change and its driver knows it already.
    static BOOL Set(HWND hwnd, HWND insertAfter, int x, int y, int width, int height, UINT flags, bool byDesktop)
        EXCLUDES(gWindowLock);
    static BOOL Show(HWND hwnd, int command) EXCLUDES(gWindowLock);
    // The non-client thickness the window procedure asks for (WM_NCCALCSIZE).
    static void ComputeInsets(HWND hwnd) EXCLUDES(gWindowLock);
};
