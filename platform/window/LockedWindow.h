#pragma once
// The way to a window's fields: the window of a handle with the window manager's lock held for
// as long as this lives. Empty (false) when there is no such window; the lock is held either way.
// Nothing that sends a message, waits or calls the display driver may run while one lives.

#include "platform/window/Window.h"

class SCOPED_CAPABILITY LockedWindow {
public:
    explicit LockedWindow(HWND hwnd) ACQUIRE(gWindowLock);
    ~LockedWindow() RELEASE();
    LockedWindow(const LockedWindow&) = delete;
    LockedWindow& operator=(const LockedWindow&) = delete;

    explicit operator bool() const { return window_ != nullptr; }
    Window* operator->() const { return window_; }
    Window& operator*() const { return *window_; }
    Window* Get() const { return window_; }

private:
    Window* window_;
};
