#include "platform/drivers/InputRouter.h"

#include "platform/window/MessageDelivery.h"
#include "platform/window/WindowManager.h"
#include "platform/window/Windows.h"

namespace {

WindowManager& Manager() { return WindowManager::Instance(); }

// Pointer input goes to the thread of the window with the capture, else of the window under the
// pointer.
void RoutePointer(HWND hwnd, RawInput raw) {
    std::lock_guard guard(Manager().Lock());
    Manager().cursorPos = raw.screen;
    auto target = Manager().capture ? Manager().Find(Manager().capture) : nullptr;
    if (target)
        hwnd = WindowManager::TopLevelOf(target.get())->handle;
    else
        target = Manager().Find(hwnd);
    if (!target) return;
    raw.topLevel = hwnd;
    target->thread->PostInput(raw);  // under the manager's lock: the thread cannot end meanwhile
}

void SetAsyncKey(int vk, bool down) {
    BYTE& state = Manager().asyncKeys[vk & 0xFF];
    state = down ? (state | 0x80) : (state & ~0x80);
}

}  // namespace

void InputRouter::PointerMoved(HWND hwnd, POINT screen, DWORD time) {
    RawInput raw;
    raw.kind = RawInput::Kind::Move;
    raw.screen = screen;
    raw.time = time;
    RoutePointer(hwnd, raw);
}

void InputRouter::ButtonChanged(HWND hwnd, POINT screen, Button button, bool down, DWORD time) {
    static constexpr int kKeys[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
    {
        std::lock_guard guard(Manager().Lock());
        SetAsyncKey(kKeys[static_cast<int>(button)], down);
    }
    RawInput raw;
    raw.kind = down ? RawInput::Kind::ButtonDown : RawInput::Kind::ButtonUp;
    raw.screen = screen;
    raw.button = static_cast<int>(button);
    raw.time = time;
    RoutePointer(hwnd, raw);
}

void InputRouter::WheelTurned(HWND hwnd, POINT screen, int delta, DWORD time) {
    RawInput raw;
    raw.kind = RawInput::Kind::Wheel;
    raw.screen = screen;
    raw.wheel = delta;
    raw.time = time;
    RoutePointer(hwnd, raw);
}

void InputRouter::KeyChanged(int vk, bool down, char32_t text, DWORD time) {
    RawInput raw;
    raw.kind = down ? RawInput::Kind::KeyDown : RawInput::Kind::KeyUp;
    raw.vk = vk;
    raw.text = text;
    raw.time = time;
    std::lock_guard guard(Manager().Lock());
    SetAsyncKey(vk, down);
    // Keys go to the thread with the focus, else to the one with the active window.
    for (HWND candidate : {Manager().focus, Manager().active}) {
        if (auto w = candidate ? Manager().Find(candidate) : nullptr) {
            w->thread->PostInput(raw);
            return;
        }
    }
}

void InputRouter::Moved(HWND hwnd, const RECT& screen) {
    PostMessageA(hwnd, kWmDisplayMoved, MAKEWPARAM(screen.left, screen.top),
                 MAKELPARAM(screen.right - screen.left, screen.bottom - screen.top));
}

void InputRouter::Activated(HWND hwnd, bool active) { PostMessageA(hwnd, kWmDisplayActivate, active, 0); }

void InputRouter::Exposed(HWND hwnd) { PostMessageA(hwnd, kWmDisplayExpose, 0, 0); }

void InputRouter::CloseRequested(HWND hwnd) { PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0); }

char32_t InputRouter::TextOfKey(int vk, bool shift) {
    if (vk >= 'A' && vk <= 'Z') return static_cast<char32_t>(shift ? vk : vk + ('a' - 'A'));
    if (vk >= '0' && vk <= '9') return shift ? U")!@#$%^&*("[vk - '0'] : static_cast<char32_t>(vk);
    switch (vk) {
        case VK_SPACE:
            return U' ';
        case VK_RETURN:
            return U'\r';
        case VK_BACK:
            return 8;
        case VK_TAB:
            return U'\t';
        case VK_ESCAPE:
            return 27;
        case 0xBA:
            return shift ? U':' : U';';
        case 0xBB:
            return shift ? U'+' : U'=';
        case 0xBC:
            return shift ? U'<' : U',';
        case 0xBD:
            return shift ? U'_' : U'-';
        case 0xBE:
            return shift ? U'>' : U'.';
        case 0xBF:
            return shift ? U'?' : U'/';
        case 0xC0:
            return shift ? U'~' : U'`';
        case 0xDB:
            return shift ? U'{' : U'[';
        case 0xDC:
            return shift ? U'|' : U'\\';
        case 0xDD:
            return shift ? U'}' : U']';
        case 0xDE:
            return shift ? U'"' : U'\'';
        default:
            return 0;
    }
}
