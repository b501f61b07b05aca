#include "tests/platform/window/WindowTesting.h"

#include <algorithm>

#include "platform/kernel/Threads.h"
#include "platform/window/WindowManager.h"

Recorder& Recorder::Instance() {
    thread_local Recorder recorder;
    return recorder;
}

const char* Recorder::Class(UINT style, HCURSOR cursor, HBRUSH background) {
    const std::string key = std::to_string(style) + "/" + std::to_string(reinterpret_cast<std::uintptr_t>(cursor)) +
                            "/" + std::to_string(reinterpret_cast<std::uintptr_t>(background));
    auto it = classes_.find(key);
    if (it != classes_.end()) return it->second.c_str();
    // Classes are process-wide: each thread's recorder registers its own names.
    const std::string name = "Recorder " + std::to_string(GetCurrentThreadId()) + " " + key;
    WNDCLASSA cls{};
    cls.style = style;
    cls.lpfnWndProc = Proc;
    cls.hCursor = cursor;
    cls.hbrBackground = background;
    cls.lpszClassName = name.c_str();
    RegisterClassA(&cls);
    return classes_.emplace(key, name).first->second.c_str();
}

HWND Recorder::Create(HWND parent, const RECT& r, DWORD style, DWORD exStyle, int id, const char* cls) {
    return CreateWindowExA(exStyle, cls ? cls : Class(), "", style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                           parent, reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr, nullptr);
}

std::vector<UINT> Recorder::MessagesOf(HWND hwnd, const std::vector<UINT>& only) const {
    std::vector<UINT> out;
    for (const Seen& s : seen_)
        if (s.hwnd == hwnd && (only.empty() || std::find(only.begin(), only.end(), s.message) != only.end()))
            out.push_back(s.message);
    return out;
}

int Recorder::Count(HWND hwnd, UINT message) const {
    return static_cast<int>(std::count_if(seen_.begin(), seen_.end(),
                                          [&](const Seen& s) { return s.hwnd == hwnd && s.message == message; }));
}

LRESULT CALLBACK Recorder::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Recorder& self = Instance();
    self.seen_.push_back(Seen{hwnd, message, wParam, lParam});
    auto it = self.handlers_.find(message);
    if (it != self.handlers_.end()) {
        Handler handler = it->second;  // a handler may replace itself
        bool handled = true;
        const LRESULT result = handler(hwnd, message, wParam, lParam, handled);
        if (handled) return result;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    // A timer bounds each wait, so that the deadline is seen even when nothing comes.
    const std::uintptr_t tick = SetTimer(nullptr, 0, 50, nullptr);
    bool reached = done();
    while (!reached && std::chrono::steady_clock::now() < deadline) {
        MSG msg;
        if (GetMessageA(&msg, nullptr, 0, 0) <= 0) break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        reached = done();
    }
    KillTimer(nullptr, tick);
    return reached;
}

void PumpAll() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void WindowTest::SetUp() {
    display = &HeadlessDriver::Install();
    recorder.Clear();
}

void UseDisplay(std::unique_ptr<DisplayDriver> driver) { WindowManager::Instance().UseDriver(std::move(driver)); }

void DestroyAllWindows() {
    std::vector<HWND> left;
    {
        Mutex::Guard guard(gWindowLock);
        for (Window* top : WindowManager::Instance().TopLevels()) left.push_back(top->handle);
    }
    for (HWND hwnd : left) DestroyWindow(hwnd);
}

void WindowTest::TearDown() {
    // Whatever a test left behind goes, so that the next one starts on an empty screen.
    DestroyAllWindows();
    ReleaseCapture();
    PumpAll();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    recorder.Clear();
}

HWND WindowTest::TopLevel(DWORD style, const char* cls) {
    return recorder.Create(nullptr, RECT{100, 100, 400, 300}, style, 0, 0, cls);
}

POINT OnScreen(HWND hwnd, int x, int y) {
    POINT p{x, y};
    ClientToScreen(hwnd, &p);
    return p;
}
