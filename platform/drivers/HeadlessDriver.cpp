#include "platform/drivers/HeadlessDriver.h"

#include "platform/graphics/PngFile.h"
#include "platform/graphics/TextCodec.h"
#include "platform/window/WindowManager.h"
#include "platform/window/Windows.h"

HeadlessDriver& HeadlessDriver::Install(SIZE screen) {
    auto driver = std::make_unique<HeadlessDriver>(screen);
    HeadlessDriver& installed = *driver;
    WindowManager::Instance().UseDriver(std::move(driver));
    return installed;
}

void HeadlessDriver::Create(HWND hwnd, const RECT& screen, bool popup, const std::string& title) {
    Mutex::Guard guard(lock_);
    Shown& w = windows_[hwnd];
    w.rect = screen;
    w.popup = popup;
    w.title = title;
    w.pixels = Surface(screen.right - screen.left, screen.bottom - screen.top);
}

void HeadlessDriver::Destroy(HWND hwnd) {
    Mutex::Guard guard(lock_);
    windows_.erase(hwnd);
}

void HeadlessDriver::Show(HWND hwnd, bool shown, bool maximized) {
    Mutex::Guard guard(lock_);
    auto it = windows_.find(hwnd);
    if (it == windows_.end()) return;
    it->second.shown = shown;
    it->second.maximized = maximized;
}

void HeadlessDriver::Move(HWND hwnd, const RECT& screen) {
    Mutex::Guard guard(lock_);
    auto it = windows_.find(hwnd);
    if (it == windows_.end()) return;
    it->second.rect = screen;
    it->second.pixels.Resize(screen.right - screen.left, screen.bottom - screen.top);
}

void HeadlessDriver::SetTitle(HWND hwnd, const std::string& title) {
    Mutex::Guard guard(lock_);
    auto it = windows_.find(hwnd);
    if (it != windows_.end()) it->second.title = title;
}

void HeadlessDriver::Present(HWND hwnd, const Surface& surface, const RECT& area) {
    Mutex::Guard guard(lock_);
    auto it = windows_.find(hwnd);
    if (it == windows_.end()) return;
    Surface& screen = it->second.pixels;
    if (screen.Width() != surface.Width() || screen.Height() != surface.Height())
        screen.Resize(surface.Width(), surface.Height());
    const RECT r = surface.Clip(area);
    for (LONG y = r.top; y < r.bottom; ++y)
        std::copy(surface.Row(y) + r.left, surface.Row(y) + r.right, screen.Row(y) + r.left);
    ++it->second.presents;
}

void HeadlessDriver::SetCursor(HCURSOR cursor) {
    Mutex::Guard guard(lock_);
    cursor_ = cursor;
}

bool HeadlessDriver::SetClipboardText(const std::string& text) {
    Mutex::Guard guard(lock_);
    clipboard_ = text;
    return true;
}

std::optional<std::string> HeadlessDriver::ClipboardText() {
    Mutex::Guard guard(lock_);
    return clipboard_;
}

DWORD HeadlessDriver::Tick() {
    Mutex::Guard guard(lock_);
    clock_ += 10;
    return clock_;
}

void HeadlessDriver::Advance(DWORD milliseconds) {
    Mutex::Guard guard(lock_);
    clock_ += milliseconds;
}

HWND HeadlessDriver::TopAt(POINT screen) {
    const HWND hwnd = WindowFromPoint(screen);
    return hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr;
}

void HeadlessDriver::MoveMouse(POINT screen) {
    HWND to;
    {
        Mutex::Guard guard(lock_);
        pointer_ = screen;
        to = grabbed_;
    }
    InputRouter::PointerMoved(to ? to : TopAt(screen), screen, Tick());
}

HWND HeadlessDriver::Pointed(bool press, POINT& at) {
    Mutex::Guard guard(lock_);
    at = pointer_;
    // As X does: while a button is down, the pointer stays with the window it went down on.
    if (press) {
        if (buttonsDown_++ == 0) grabbed_ = nullptr;
    } else if (buttonsDown_ > 0 && --buttonsDown_ == 0) {
        const HWND was = grabbed_;
        grabbed_ = nullptr;
        return was;
    }
    return grabbed_;
}

void HeadlessDriver::Press(InputRouter::Button button) {
    POINT at;
    HWND to = Pointed(true, at);
    if (!to) {
        to = TopAt(at);
        Mutex::Guard guard(lock_);
        grabbed_ = to;
    }
    InputRouter::ButtonChanged(to, at, button, true, Tick());
}

void HeadlessDriver::Release(InputRouter::Button button) {
    POINT at;
    const HWND grabbed = Pointed(false, at);
    InputRouter::ButtonChanged(grabbed ? grabbed : TopAt(at), at, button, false, Tick());
}

void HeadlessDriver::Click(POINT screen, InputRouter::Button button) {
    MoveMouse(screen);
    Press(button);
    Release(button);
}

void HeadlessDriver::DoubleClick(POINT screen) {
    Click(screen);
    Click(screen);
}

void HeadlessDriver::Wheel(int delta) {
    POINT at;
    {
        Mutex::Guard guard(lock_);
        at = pointer_;
    }
    InputRouter::WheelTurned(TopAt(at), at, delta, Tick());
}

void HeadlessDriver::Key(int vk, bool down) { Key(vk, down, down ? InputRouter::TextOfKey(vk, Shifted()) : 0); }

void HeadlessDriver::Key(int vk, bool down, char32_t text) {
    if (vk == VK_SHIFT) {
        Mutex::Guard guard(lock_);
        shift_ = down;
    }
    InputRouter::KeyChanged(vk, down, text, Tick());
}

bool HeadlessDriver::Shifted() {
    Mutex::Guard guard(lock_);
    return shift_;
}

void HeadlessDriver::KeyPress(int vk) {
    Key(vk, true);
    Key(vk, false);
}

void HeadlessDriver::Type(const std::string& utf8) {
    for (char32_t c : TextCodec::Decode(utf8)) {
        if (c == U'\n') c = U'\r';
        // The key that types it, with or without shift; a character no key types comes alone.
        int vk = VK_PACKET;
        bool shift = false;
        for (int candidate = 0x08; candidate <= 0xDE && vk == VK_PACKET; ++candidate) {
            for (bool s : {false, true}) {
                if (InputRouter::TextOfKey(candidate, s) == c) {
                    vk = candidate;
                    shift = s;
                    break;
                }
            }
        }
        const bool wasShifted = Shifted();
        if (shift != wasShifted) Key(VK_SHIFT, shift, 0);
        Key(vk, true, c);
        Key(vk, false, 0);
        if (shift != wasShifted) Key(VK_SHIFT, wasShifted, 0);
    }
}

void HeadlessDriver::MoveByDesktop(HWND hwnd, const RECT& screen) {
    Move(hwnd, screen);
    InputRouter::Moved(hwnd, screen);
}

void HeadlessDriver::Activate(HWND hwnd, bool active) { InputRouter::Activated(hwnd, active); }

void HeadlessDriver::Expose(HWND hwnd) {
    {
        Mutex::Guard guard(lock_);
        auto it = windows_.find(hwnd);
        if (it == windows_.end()) return;
        Surface& pixels = it->second.pixels;
        pixels.Fill(RECT{0, 0, pixels.Width(), pixels.Height()}, 0);
    }
    InputRouter::Exposed(hwnd);
}

void HeadlessDriver::RequestClose(HWND hwnd) { InputRouter::CloseRequested(hwnd); }

bool HeadlessDriver::IsShown(HWND hwnd) {
    Mutex::Guard guard(lock_);
    auto it = windows_.find(hwnd);
    return it != windows_.end() && it->second.shown;
}

bool HeadlessDriver::IsMaximized(HWND hwnd) {
    Mutex::Guard guard(lock_);
    auto it = windows_.find(hwnd);
    return it != windows_.end() && it->second.maximized;
}

std::string HeadlessDriver::Title(HWND hwnd) {
    Mutex::Guard guard(lock_);
    auto it = windows_.find(hwnd);
    return it == windows_.end() ? std::string() : it->second.title;
}

HCURSOR HeadlessDriver::Cursor() {
    Mutex::Guard guard(lock_);
    return cursor_;
}

Surface HeadlessDriver::Pixels(HWND hwnd) {
    Mutex::Guard guard(lock_);
    auto it = windows_.find(hwnd);
    return it == windows_.end() ? Surface() : it->second.pixels;
}

std::string HeadlessDriver::Snapshot(HWND hwnd, const std::string& path) {
    const Surface pixels = Pixels(hwnd);
    if (pixels.Width() == 0 || pixels.Height() == 0) return "no such window on the screen";
    return PngFile::Write(pixels, path);
}

int HeadlessDriver::Presents(HWND hwnd) {
    Mutex::Guard guard(lock_);
    auto it = windows_.find(hwnd);
    return it == windows_.end() ? 0 : it->second.presents;
}
