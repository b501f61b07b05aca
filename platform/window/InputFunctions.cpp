// Focus, activation, capture, the cursor and the keyboard's state.

#include "platform/kernel/LastError.h"
#include "platform/window/DisplayDriver.h"
#include "platform/window/WindowManager.h"
#include "platform/window/Windows.h"

namespace {

WindowManager& Manager() { return WindowManager::Instance(); }

constexpr UINT kDoubleClickTime = 500;
constexpr std::uintptr_t kFirstCursor = 32512, kLastCursor = 32650;
constexpr DWORD ERROR_RESOURCE_NAME_NOT_FOUND = 1814;

short KeyStateOf(BYTE state) {
    short result = state & 1;
    if (state & 0x80) result = static_cast<short>(result | 0x8000);
    return result;
}

}  // namespace

HWND SetFocus(HWND hwnd) {
    if (hwnd) {
        if (!IsWindow(hwnd)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        if (!IsWindowEnabled(hwnd)) return nullptr;
        const HWND top = GetAncestor(hwnd, GA_ROOT);
        if (GetActiveWindow() != top) SetActiveWindow(top);
    }
    HWND old;
    {
        Mutex::Guard guard(gWindowLock);
        old = Manager().focus;
        if (old == hwnd) return old;
        Manager().focus = hwnd;
    }
    if (old && IsWindow(old)) SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (hwnd && GetFocus() == hwnd) SendMessageA(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    return old;
}

HWND GetFocus() {
    Mutex::Guard guard(gWindowLock);
    return Manager().focus;
}

HWND SetActiveWindow(HWND hwnd) {
    const HWND top = hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr;
    if (hwnd && !top) return nullptr;
    HWND old;
    {
        Mutex::Guard guard(gWindowLock);
        old = Manager().active;
        if (old == top) return old;
        Manager().active = top;
    }
    if (old && IsWindow(old)) SendMessageA(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(top));
    if (!top) {
        // Nothing of ours is active: the keyboard goes elsewhere.
        const HWND focus = GetFocus();
        if (focus && (focus == old || IsChild(old, focus))) SetFocus(nullptr);
        return old;
    }
    if (GetActiveWindow() == top)
        SendMessageA(top, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), reinterpret_cast<LPARAM>(old));
    return old;
}

HWND GetActiveWindow() {
    Mutex::Guard guard(gWindowLock);
    return Manager().active;
}

BOOL SetForegroundWindow(HWND hwnd) {
    if (!IsWindow(hwnd)) return FALSE;
    SetActiveWindow(hwnd);
    return TRUE;
}

HWND GetForegroundWindow() { return GetActiveWindow(); }

HWND SetCapture(HWND hwnd) {
    if (!IsWindow(hwnd)) return nullptr;
    HWND old;
    {
        Mutex::Guard guard(gWindowLock);
        old = Manager().capture;
        Manager().capture = hwnd;
    }
    if (old && old != hwnd && IsWindow(old)) SendMessageA(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    return old;
}

BOOL ReleaseCapture() {
    HWND old;
    {
        Mutex::Guard guard(gWindowLock);
        old = Manager().capture;
        Manager().capture = nullptr;
    }
    if (old && IsWindow(old)) SendMessageA(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() {
    Mutex::Guard guard(gWindowLock);
    return Manager().capture;
}

HCURSOR LoadCursorA(HINSTANCE, LPCSTR name) {
    const auto id = reinterpret_cast<std::uintptr_t>(name);
    // The system's cursors only: their handles are their ids.
    if (!IS_INTRESOURCE(name) || id < kFirstCursor || id > kLastCursor) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<HCURSOR>(id);
}

HCURSOR SetCursor(HCURSOR cursor) {
    HCURSOR old;
    {
        Mutex::Guard guard(gWindowLock);
        old = Manager().cursor;
        Manager().cursor = cursor;
    }
    if (old != cursor) Manager().Driver()->SetCursor(cursor);
    return old;
}

HCURSOR GetCursor() {
    Mutex::Guard guard(gWindowLock);
    return Manager().cursor;
}

BOOL GetCursorPos(POINT* p) {
    if (!p) return FALSE;
    Mutex::Guard guard(gWindowLock);
    *p = Manager().cursorPos;
    return TRUE;
}

short GetKeyState(int vk) { return KeyStateOf(ThreadQueue::Current().keyState[vk & 0xFF]); }

short GetAsyncKeyState(int vk) {
    Mutex::Guard guard(gWindowLock);
    return static_cast<short>(KeyStateOf(Manager().asyncKeys[vk & 0xFF]) & 0x8000);
}

UINT GetDoubleClickTime() { return kDoubleClickTime; }
