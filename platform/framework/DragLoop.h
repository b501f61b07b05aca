#pragma once
// A drag with the mouse captured: follows the pointer in the window system's modal loop until the
// left button is released (accepted) or Escape, the right button or a lost capture ends it
// (cancelled). Bar drags, mini-frame moves and sizes, and splitter tracking run on it.

#include <functional>

#include "platform/window/WindowTypes.h"

class DragLoop {
public:
    explicit DragLoop(HWND capture) : capture_(capture) {}

    std::function<void(POINT screen)> onMove;
    // Keys pressed and released during the drag (not Escape); true when used. May call Finish.
    std::function<bool(const MSG& key)> onKey;

    // True when the drag was accepted.
    bool Run();
    // Ends the drag as if the button was released (accept) or Escape pressed.
    void Finish(bool accept);

private:
    bool Filter(const MSG& msg);

    HWND capture_;
    bool done_ = false;
    bool accepted_ = false;
};
