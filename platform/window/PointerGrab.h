#pragma once
// For as long as it lives, the pointer's input reaches the top-level window of `hwnd` wherever
// the pointer is on the screen, not only over the program's windows (the menu loop: a click
// elsewhere must close the menu). Releases the grab it took, and only that.

#include "platform/window/WindowTypes.h"

class PointerGrab {
public:
    explicit PointerGrab(HWND hwnd);
    ~PointerGrab();
    PointerGrab(const PointerGrab&) = delete;
    PointerGrab& operator=(const PointerGrab&) = delete;

    bool Held() const { return held_; }

private:
    bool held_ = false;
};
