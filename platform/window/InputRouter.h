#pragma once
// Where the display drivers report what happens on the desktop, from any thread: pointer and key
// input go to the queue of the thread that owns the window concerned; moves, activation and
// exposure become the window system's own work for that thread, close requests a WM_SYSCOMMAND.

#include <string>

#include "platform/window/WindowTypes.h"

class InputRouter {
public:
    enum class Button { Left = 0, Right = 1, Middle = 2 };

    // The pointer over top-level window `hwnd` (null: over none of ours), at a screen point.
    static void PointerMoved(HWND hwnd, POINT screen, DWORD time);
    static void ButtonChanged(HWND hwnd, POINT screen, Button button, bool down, DWORD time);
    static void WheelTurned(HWND hwnd, POINT screen, int delta, DWORD time);
    // A key by virtual-key code; `text` is the character it types (0: none).
    static void KeyChanged(int vk, bool down, char32_t text, DWORD time);

    static void Moved(HWND hwnd, const RECT& screen);
    static void Activated(HWND hwnd, bool active);
    static void Exposed(HWND hwnd);
    static void CloseRequested(HWND hwnd);

    // What a key types with the shift state given, on a US keyboard: for drivers that have only
    // the virtual-key code.
    static char32_t TextOfKey(int vk, bool shift);
};
