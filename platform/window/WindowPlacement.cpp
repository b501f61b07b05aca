#include "platform/window/WindowPlacement.h"

#include <algorithm>

#include "platform/window/DisplayDriver.h"
#include "platform/window/LockedWindow.h"
#include "platform/window/WindowManager.h"
#include "platform/window/Windows.h"

namespace {

WindowManager& Manager() { return WindowManager::Instance(); }

// A window's area in its top-level's coordinates.
Region AreaInTop(Window* w) REQUIRES(gWindowLock) {
    const POINT o = WindowManager::WindowOffset(w);
    return Region(RECT{o.x, o.y, o.x + w->Width(), o.y + w->Height()});
}

void Restack(Window& w, HWND insertAfter) REQUIRES(gWindowLock) {
    if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST) {
        Manager().Raise(w);
    } else if (insertAfter == HWND_BOTTOM) {
        const auto& siblings = Manager().SiblingsOf(w);
        Manager().PlaceAfter(w, siblings.empty() ? nullptr : siblings.back());
    } else if (Window* after = Manager().Find(insertAfter); after && after->parent == w.parent) {
        Manager().PlaceAfter(w, after);
    }
}

}  // namespace

void WindowPlacement::ComputeInsets(HWND hwnd) {
    RECT r;
    {
        LockedWindow w(hwnd);
        if (!w) return;
        r = w->rect;
    }
    SendMessageA(hwnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&r));
    LockedWindow w(hwnd);
    if (!w) return;
    w->insets = RECT{std::max<LONG>(0, r.left - w->rect.left), std::max<LONG>(0, r.top - w->rect.top),
                     std::max<LONG>(0, w->rect.right - r.right), std::max<LONG>(0, w->rect.bottom - r.bottom)};
}

BOOL WindowPlacement::Show(HWND hwnd, int command) {
    bool wasVisible, topLevel, maximized;
    HWND owner;
    RECT r;
    {
        LockedWindow w(hwnd);
        if (!w) return FALSE;
        wasVisible = w->Visible();
        topLevel = w->IsTopLevel();
        maximized = w->maximized;
        owner = w->owner;
        r = w->rect;
    }
    if (command == SW_HIDE) {
        if (!wasVisible) return FALSE;
        SendMessageA(hwnd, WM_SHOWWINDOW, FALSE, 0);
        Set(hwnd, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE, false);
        // The keyboard and the activation leave what is hidden.
        const HWND focus = GetFocus();
        const HWND parent = GetAncestor(hwnd, GA_PARENT);
        if (focus && (focus == hwnd || IsChild(hwnd, focus))) SetFocus(parent);
        if (!parent && GetActiveWindow() == hwnd) SetActiveWindow(owner);
        return TRUE;
    }
    if (!wasVisible) SendMessageA(hwnd, WM_SHOWWINDOW, TRUE, 0);
    UINT flags = SWP_SHOWWINDOW | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE;
    const bool maximize = topLevel && (command == SW_SHOWMAXIMIZED || command == SW_MAXIMIZE);
    const bool restore = command == SW_RESTORE || command == SW_SHOWNORMAL;
    if (maximize || (restore && maximized)) {
        const SIZE screen = Manager().ScreenSize();
        LockedWindow w(hwnd);
        if (!w) return FALSE;
        if (maximize && !w->maximized) {
            w->restored = w->rect;
            r = RECT{0, 0, screen.cx, screen.cy};
            w->maximized = true;
            w->style |= WS_MAXIMIZE;
        } else if (restore) {
            r = w->restored;
            w->maximized = false;
            w->style &= ~WS_MAXIMIZE;
        }
        maximized = w->maximized;
        flags &= ~(SWP_NOMOVE | SWP_NOSIZE);
    }
    const bool activate = command != SW_SHOWNA && command != SW_SHOWNOACTIVATE && command != SW_SHOWMINNOACTIVE;
    if (!activate) flags |= SWP_NOACTIVATE;
    Set(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, flags, false);
    if (topLevel && Manager().Exists(hwnd)) {
        Manager().Driver()->Show(hwnd, true, maximized);
        if (activate) SetActiveWindow(hwnd);
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL WindowPlacement::Set(HWND hwnd, HWND insertAfter, int x, int y, int width, int height, UINT flags,
                          bool byDesktop) {
    WINDOWPOS pos{hwnd, insertAfter, x, y, width, height, flags};
    {
        LockedWindow w(hwnd);
        if (!w) return FALSE;
        if (flags & SWP_NOMOVE) {
            pos.x = w->rect.left;
            pos.y = w->rect.top;
        }
        if (flags & SWP_NOSIZE) {
            pos.cx = w->Width();
            pos.cy = w->Height();
        }
    }
    SendMessageA(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    HWND top;
    Region before;
    bool sized, moved, shownChange, topLevel;
    RECT rect;
    {
        LockedWindow w(hwnd);
        if (!w) return FALSE;
        top = WindowManager::TopLevelOf(w.Get())->handle;
        const bool wasShown = WindowManager::IsShown(w.Get());
        if (wasShown) before = AreaInTop(w.Get());
        sized = pos.cx != w->Width() || pos.cy != w->Height();
        moved = pos.x != w->rect.left || pos.y != w->rect.top;
        w->rect = RECT{pos.x, pos.y, pos.x + std::max(pos.cx, 0), pos.y + std::max(pos.cy, 0)};
        if (!(pos.flags & SWP_NOZORDER)) Restack(*w, insertAfter);
        if (pos.flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
        if (pos.flags & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;
        shownChange = wasShown != WindowManager::IsShown(w.Get());
        if (w->surface && sized) w->surface->Resize(w->Width(), w->Height());
        topLevel = w->IsTopLevel();
        rect = w->rect;
    }
    if (sized || (pos.flags & SWP_FRAMECHANGED)) ComputeInsets(hwnd);
    if (topLevel) {
        const auto driver = Manager().Driver();
        if (pos.flags & SWP_HIDEWINDOW) driver->Show(hwnd, false, false);
        if ((sized || moved) && !byDesktop) driver->Move(hwnd, rect);
    }
    {
        Mutex::Guard guard(gWindowLock);
        Window* w = Manager().Find(hwnd);
        Window* topWindow = Manager().Find(top);
        // A top-level window that only moved keeps its pixels; anything else is drawn again where
        // it was and where it is.
        const bool redraw =
            !(pos.flags & SWP_NOREDRAW) && (sized || shownChange || (moved && !topLevel) ||
                                            (pos.flags & SWP_FRAMECHANGED) || !(pos.flags & SWP_NOZORDER));
        if (w && topWindow && redraw) {
            Region area = before;
            if (WindowManager::IsShown(w)) area.Add(AreaInTop(w));
            if (w->IsTopLevel() && WindowManager::IsShown(w)) area = AreaInTop(w);
            Manager().InvalidateArea(topWindow, area, true);
        }
    }
    // What did not change is not announced.
    if (!moved) pos.flags |= SWP_NOMOVE;
    if (!sized) pos.flags |= SWP_NOSIZE;
    SendMessageA(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    return TRUE;
}
