#pragma once
// One window as the window system keeps it. What it was made with (handle, class, thread) never
// changes; every other field is read and written under gWindowLock, which the compiler checks in
// a clang build. Code reaches a window through LockedWindow, or through the tree while it holds
// the lock; window procedures run without it.

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/Region.h"
#include "platform/graphics/Surface.h"
#include "platform/window/WindowLock.h"
#include "platform/window/WindowTypes.h"

class ThreadQueue;

struct WindowClass {
    std::string name;
    UINT style = 0;
    WNDPROC proc = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
};

class Window {
public:
    Window(HWND handle, const WindowClass& cls, ThreadQueue* thread)
        : handle(handle),
          className(cls.name),
          classStyle(cls.style),
          classCursor(cls.cursor),
          classBackground(cls.background),
          thread(thread),
          proc(cls.proc) {}
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    const HWND handle;
    const std::string className;
    const UINT classStyle;
    const HCURSOR classCursor;
    const HBRUSH classBackground;
    ThreadQueue* const thread;  // the thread that created it, whose queue gets its messages

    WNDPROC proc GUARDED_BY(gWindowLock);
    DWORD style GUARDED_BY(gWindowLock) = 0;
    DWORD exStyle GUARDED_BY(gWindowLock) = 0;
    Window* parent GUARDED_BY(gWindowLock) = nullptr;  // null for a top-level window
    HWND owner GUARDED_BY(gWindowLock) = nullptr;
    std::vector<Window*> children GUARDED_BY(gWindowLock);  // z-order: the first is on top
    std::string text GUARDED_BY(gWindowLock);
    RECT rect GUARDED_BY(gWindowLock){};    // in the parent's client coordinates; on the screen for top-levels
    RECT insets GUARDED_BY(gWindowLock){};  // the non-client thickness on each side
    std::intptr_t id GUARDED_BY(gWindowLock) = 0;
    HMENU menu GUARDED_BY(gWindowLock) = nullptr;  // a top-level window's menu bar
    std::intptr_t userData GUARDED_BY(gWindowLock) = 0;
    std::map<std::string, HANDLE> props GUARDED_BY(gWindowLock);

    Region invalid GUARDED_BY(gWindowLock);  // client coordinates
    bool eraseNeeded GUARDED_BY(gWindowLock) = false;
    bool frameInvalid GUARDED_BY(gWindowLock) = false;
    bool destroying GUARDED_BY(gWindowLock) = false;
    bool maximized GUARDED_BY(gWindowLock) = false;
    RECT restored GUARDED_BY(gWindowLock){};     // where a maximized window goes back to
    int paintCount GUARDED_BY(gWindowLock) = 0;  // BeginPaint calls: a WM_PAINT that did not paint is validated

    // Top-level windows: the pixels of the whole window, shared with the contexts drawing into it.
    // Only the owning thread draws into them or resizes them.
    std::shared_ptr<Surface> surface GUARDED_BY(gWindowLock);
    Region dirty GUARDED_BY(gWindowLock);  // top-level coordinates: drawn, not yet put on the screen

    bool IsTopLevel() const REQUIRES(gWindowLock) { return parent == nullptr; }
    bool HasFrame() const REQUIRES(gWindowLock) { return insets.left || insets.top || insets.right || insets.bottom; }
    bool Visible() const REQUIRES(gWindowLock) { return style & WS_VISIBLE; }
    LONG Width() const REQUIRES(gWindowLock) { return rect.right - rect.left; }
    LONG Height() const REQUIRES(gWindowLock) { return rect.bottom - rect.top; }
    // The client area in client coordinates.
    RECT ClientRect() const REQUIRES(gWindowLock) {
        return RECT{0, 0, std::max<LONG>(0, Width() - insets.left - insets.right),
                    std::max<LONG>(0, Height() - insets.top - insets.bottom)};
    }
};
