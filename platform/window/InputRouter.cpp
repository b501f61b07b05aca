#include "platform/window/InputRouter.h"

#include "platform/window/MessageDelivery.h"
#include "platform/window/WindowManager.h"
#include "platform/window/WindowPlacement.h"
#include "platform/window/Windows.h"

namespace {

WindowManager& Manager() { return WindowManager::Instance(); }

}  // namespace

void InputRouter::PointerMoved(HWND hwnd, POINT screen, DWORD time) {
    RawInput raw;
    raw.kind = RawInput::Kind::Move;
    raw.screen = screen;
    raw.time = time;
    Manager().RoutePointer(hwnd, raw);
}

void InputRouter::ButtonChanged(HWND hwnd, POINT screen, Button button, bool down, DWORD time) {
    static constexpr int kKeys[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
    Manager().SetAsyncButton(kKeys[static_cast<int>(button)], down);
    RawInput raw;
    raw.kind = down ? RawInput::Kind::ButtonDown : RawInput::Kind::ButtonUp;
    raw.screen = screen;
    raw.button = static_cast<int>(button);
    raw.time = time;
    Manager().RoutePointer(hwnd, raw);
}

void InputRouter::WheelTurned(HWND hwnd, POINT screen, int delta, DWORD time) {
    RawInput raw;
    raw.kind = RawInput::Kind::Wheel;
    raw.screen = screen;
    raw.wheel = delta;
    raw.time = time;
    Manager().RoutePointer(hwnd, raw);
}

void InputRouter::KeyChanged(int vk, bool down, char32_t text, DWORD time) {
    RawInput raw;
    raw.kind = down ? RawInput::Kind::KeyDown : RawInput::Kind::KeyUp;
    raw.vk = vk;
    raw.text = text;
    raw.time = time;
    Manager().RouteKey(raw);
}

void InputRouter::Moved(HWND hwnd, const RECT& screen) {
    Manager().PostTask(hwnd, [hwnd, screen] {
        WindowPlacement::Set(hwnd, nullptr, screen.left, screen.top, screen.right - screen.left,
                             screen.bottom - screen.top, SWP_NOZORDER | SWP_NOACTIVATE, true);
    });
}

void InputRouter::Activated(HWND hwnd, bool active) {
    Manager().PostTask(hwnd, [hwnd, active] {
        if (active)
            SetActiveWindow(hwnd);
        else if (GetActiveWindow() == hwnd)
            SetActiveWindow(nullptr);
    });
}

void InputRouter::Exposed(HWND hwnd) {
    Manager().PostTask(hwnd, [hwnd] { MessageDelivery::Expose(hwnd); });
}

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
