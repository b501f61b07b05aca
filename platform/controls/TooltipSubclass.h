#pragma once
// TTF_SUBCLASS: a tool's window gets a window procedure in front of its own that relays its mouse
// messages to the tooltips watching it, then passes every message on. The original procedure
// comes back when the last tooltip lets go, unless someone subclassed the window after us (then
// ours stays in the chain and only passes messages on); a destroyed window is forgotten.

#include "platform/window/WindowTypes.h"

class TooltipSubclass {
public:
    static void Watch(HWND window, HWND tooltip);
    static void Unwatch(HWND window, HWND tooltip);
    // Every window `tooltip` watches.
    static void UnwatchAll(HWND tooltip);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};
