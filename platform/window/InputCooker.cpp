#include "platform/window/InputCooker.h"

#include <cstdlib>

#include "platform/window/LockedWindow.h"
#include "platform/window/WindowManager.h"
#include "platform/window/Windows.h"

namespace {

WindowManager& Manager() { return WindowManager::Instance(); }

constexpr int kButtonKeys[3] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
constexpr int kDoubleClickReach = 2;  // pixels either way: a 4 by 4 square, as the system's metrics say

bool Down(const ThreadQueue& q, int vk) { return q.keyState[vk] & 0x80; }

// A window takes mouse input only while it and its parents are enabled.
bool TakesInput(Window* w) REQUIRES(gWindowLock) {
    for (; w; w = w->parent)
        if (w->style & WS_DISABLED) return false;
    return true;
}

// A popup without a caption (a menu, a tool tip) does not take the activation from its owner.
bool Activates(const Window* top) REQUIRES(gWindowLock) {
    return !(top->style & WS_POPUP) || (top->style & WS_CAPTION) == WS_CAPTION;
}

void Push(ThreadQueue& q, const MSG& msg) {
    // Moves not yet taken collapse into the latest: a slow window does not lag behind the pointer.
    if (msg.message == WM_MOUSEMOVE && !q.cooked.empty()) {
        MSG& last = q.cooked.back();
        if (last.message == WM_MOUSEMOVE && last.hwnd == msg.hwnd && last.wParam == msg.wParam) {
            last = msg;
            return;
        }
    }
    q.cooked.push_back(msg);
}

void CookMouse(ThreadQueue& q, const RawInput& raw) EXCLUDES(gWindowLock) {
    const int button = raw.button >= 0 && raw.button < 3 ? raw.button : 0;
    if (raw.kind == RawInput::Kind::ButtonDown) q.keyState[kButtonKeys[button]] |= 0x80;
    if (raw.kind == RawInput::Kind::ButtonUp) q.keyState[kButtonKeys[button]] &= ~0x80;

    HWND target = nullptr, top = nullptr;
    bool captured = false, enabled = true, doubleClicks = false, activates = false;
    {
        Mutex::Guard guard(gWindowLock);
        Window* w = Manager().capture ? Manager().Find(Manager().capture) : nullptr;
        if (w && w->thread == &q) {
            captured = true;
        } else {
            Window* under = Manager().Find(raw.topLevel);
            if (!under || under->thread != &q || !WindowManager::IsShown(under)) return;
            w = WindowManager::ChildAt(under, POINT{raw.screen.x - under->rect.left, raw.screen.y - under->rect.top});
            enabled = TakesInput(w);
        }
        target = w->handle;
        Window* topWindow = WindowManager::TopLevelOf(w);
        top = topWindow->handle;
        activates = Activates(topWindow);
        doubleClicks = w->classStyle & CS_DBLCLKS;
    }
    const LPARAM screen = MAKELPARAM(raw.screen.x, raw.screen.y);

    if (raw.kind == RawInput::Kind::Wheel) {
        // The wheel turns what has the focus; over a window of another program, what is under it.
        HWND to = target;
        if (HWND focus = GetFocus()) {
            LockedWindow f(focus);
            if (f && f->thread == &q) to = focus;
        }
        Push(q, MSG{to, WM_MOUSEWHEEL, MAKEWPARAM(static_cast<int>(InputCooker::MouseKeys(q)), raw.wheel), screen,
                    raw.time, raw.screen, 0});
        return;
    }

    const int index = raw.kind == RawInput::Kind::Move ? -1 : button;
    UINT client = WM_MOUSEMOVE, nonClient = WM_NCMOUSEMOVE;
    if (index >= 0) {
        const UINT step = raw.kind == RawInput::Kind::ButtonUp ? 1 : 0;
        client = WM_LBUTTONDOWN + 3 * index + step;
        nonClient = WM_NCLBUTTONDOWN + 3 * index + step;
    }
    LRESULT hit = HTCLIENT;
    if (!captured) {
        hit = enabled ? SendMessageA(target, WM_NCHITTEST, 0, screen) : HTERROR;
        if (raw.kind != RawInput::Kind::ButtonUp)
            SendMessageA(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(hit, client));
        if (hit == HTERROR || hit == HTNOWHERE || !IsWindow(target)) return;
    }

    if (raw.kind == RawInput::Kind::ButtonDown) {
        if (activates && GetActiveWindow() != top) SetActiveWindow(top);
        const ThreadQueue::Click& last = q.lastClick;
        const bool again = doubleClicks && last.hwnd == target && last.button == button &&
                           raw.time - last.time <= GetDoubleClickTime() &&
                           std::abs(raw.screen.x - last.at.x) <= kDoubleClickReach &&
                           std::abs(raw.screen.y - last.at.y) <= kDoubleClickReach;
        if (again) {
            client += 2;
            nonClient += 2;
            q.lastClick = ThreadQueue::Click{};
        } else {
            q.lastClick = ThreadQueue::Click{target, button, raw.time, raw.screen};
        }
    }

    if (hit == HTCLIENT) {
        POINT p = raw.screen;
        ScreenToClient(target, &p);
        Push(q, MSG{target, client, InputCooker::MouseKeys(q), MAKELPARAM(p.x, p.y), raw.time, raw.screen, 0});
    } else {
        Push(q, MSG{target, nonClient, static_cast<WPARAM>(hit), screen, raw.time, raw.screen, 0});
    }
}

void CookKey(ThreadQueue& q, const RawInput& raw) EXCLUDES(gWindowLock) {
    const bool down = raw.kind == RawInput::Kind::KeyDown;
    const int vk = raw.vk & 0xFF;
    BYTE& state = q.keyState[vk];
    const bool wasDown = state & 0x80;
    if (down) {
        if (!wasDown) state ^= 1;
        state |= 0x80;
    } else {
        state &= ~0x80;
    }

    HWND target = nullptr;
    POINT cursor;
    {
        Mutex::Guard guard(gWindowLock);
        cursor = Manager().cursorPos;
        for (HWND candidate : {Manager().focus, Manager().active}) {
            Window* w = candidate ? Manager().Find(candidate) : nullptr;
            if (w && w->thread == &q) {
                target = candidate;
                break;
            }
        }
    }
    if (!target) return;

    const bool alt = Down(q, VK_MENU), ctrl = Down(q, VK_CONTROL);
    const bool system = (alt && !ctrl) || vk == VK_F10 || vk == VK_MENU;
    const UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    DWORD lParam = 1;
    if (alt) lParam |= 1u << 29;
    if (wasDown) lParam |= 1u << 30;
    if (!down) lParam |= 3u << 30;
    DWORD typed = down ? static_cast<DWORD>(raw.text) : 0;
    if (ctrl && !alt && typed) {
        // Control with a letter types the control character; with anything else, nothing.
        const DWORD upper = typed & ~0x20u;
        typed = upper >= 'A' && upper <= 'Z' ? upper - 'A' + 1 : 0;
    }
    Push(q, MSG{target, message, static_cast<WPARAM>(vk), static_cast<LPARAM>(lParam), raw.time, cursor, typed});
}

}  // namespace

WPARAM InputCooker::MouseKeys(const ThreadQueue& q) {
    WPARAM keys = 0;
    if (Down(q, VK_LBUTTON)) keys |= MK_LBUTTON;
    if (Down(q, VK_RBUTTON)) keys |= MK_RBUTTON;
    if (Down(q, VK_MBUTTON)) keys |= MK_MBUTTON;
    if (Down(q, VK_SHIFT)) keys |= MK_SHIFT;
    if (Down(q, VK_CONTROL)) keys |= MK_CONTROL;
    return keys;
}

void InputCooker::Cook(ThreadQueue& q, const RawInput& raw) {
    if (raw.kind == RawInput::Kind::KeyDown || raw.kind == RawInput::Kind::KeyUp)
        CookKey(q, raw);
    else
        CookMouse(q, raw);
}
