#pragma once
// One window as the window system keeps it. Every field is read and written under the window
// manager's lock; window procedures run without it.

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/Region.h"
#include "platform/graphics/Surface.h"
#include "platform/window/WindowTypes.h"

class ThreadQueue;

class Window {
public:
    HWND handle = nullptr;
    std::string className;
    UINT classStyle = 0;
    HCURSOR classCursor = nullptr;
    HBRUSH classBackground = nullptr;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    Window* parent = nullptr;  // null for a top-level window
    HWND owner = nullptr;
    std::vector<Window*> children;  // z-order: the first is on top
    std::string text;
    RECT rect{};    // in the parent's client coordinates; on the screen for top-levels
    RECT insets{};  // the non-client thickness on each side
    std::intptr_t id = 0;
    HMENU menu = nullptr;  // a top-level window's menu bar
    std::intptr_t userData = 0;
    std::map<std::string, HANDLE> props;
    ThreadQueue* thread = nullptr;  // the thread that created it, whose queue gets its messages

    Region invalid;  // client coordinates
    bool eraseNeeded = false;
    bool frameInvalid = false;
    bool destroying = false;
    bool maximized = false;
    RECT restored{};     // where a maximized window goes back to
    int paintCount = 0;  // BeginPaint calls: a WM_PAINT that did not paint is validated

    // Top-level windows: the pixels of the whole window, shared with the contexts drawing into it.
    std::shared_ptr<Surface> surface;
    Region dirty;  // top-level coordinates: drawn, not yet put on the screen

    bool IsTopLevel() const { return parent == nullptr; }
    bool HasFrame() const { return insets.left || insets.top || insets.right || insets.bottom; }
    bool Visible() const { return style & WS_VISIBLE; }
    LONG Width() const { return rect.right - rect.left; }
    LONG Height() const { return rect.bottom - rect.top; }
    // The client area in client coordinates.
    RECT ClientRect() const {
        return RECT{0, 0, std::max<LONG>(0, Width() - insets.left - insets.right),
                    std::max<LONG>(0, Height() - insets.top - insets.bottom)};
    }
};
