#pragma once
// A display in memory: each top-level window's pixels are kept as they were last put on the
// "screen", and tests inject input as a person would give it. The pointer and the clock are
// virtual: every injected event moves the clock on, so double clicks depend on the test alone.
//
// Injection only queues the input; the windows' threads take it when they next look at their
// queues.

#include <map>
#include <string>

#include "platform/window/DisplayDriver.h"
#include "platform/window/InputRouter.h"
#include "platform/window/Mutex.h"

class HeadlessDriver : public DisplayDriver {
public:
    // Makes a headless driver the window system's display and returns it.
    static HeadlessDriver& Install(SIZE screen = SIZE{1280, 1024});

    explicit HeadlessDriver(SIZE screen) : screen_(screen) {}

    const char* Name() const override { return "headless"; }
    SIZE ScreenSize() override { return screen_; }
    void Create(HWND hwnd, const RECT& screen, bool popup, const std::string& title) override;
    void Destroy(HWND hwnd) override;
    void Show(HWND hwnd, bool shown, bool maximized) override;
    void Move(HWND hwnd, const RECT& screen) override;
    void SetTitle(HWND hwnd, const std::string& title) override;
    void Present(HWND hwnd, const Surface& surface, const RECT& area) override;
    void SetCursor(HCURSOR cursor) override;
    // The clipboard is kept here as it was given, for tests to read and fill.
    bool SetClipboardText(const std::string& text) override;
    std::optional<std::string> ClipboardText() override;

    // Input, at screen points.
    void MoveMouse(POINT screen);
    void Press(InputRouter::Button button = InputRouter::Button::Left);
    void Release(InputRouter::Button button = InputRouter::Button::Left);
    void Click(POINT screen, InputRouter::Button button = InputRouter::Button::Left);
    void DoubleClick(POINT screen);
    void Wheel(int delta);
    void Key(int vk, bool down);
    void KeyPress(int vk);  // down and up, typing what the key types
    void Type(const std::string& utf8);
    // Lets time pass on the virtual clock (between clicks, say).
    void Advance(DWORD milliseconds);

    // The desktop's doings.
    void MoveByDesktop(HWND hwnd, const RECT& screen);
    void Activate(HWND hwnd, bool active);
    void Expose(HWND hwnd);
    void RequestClose(HWND hwnd);

    // What is on the screen.
    bool IsShown(HWND hwnd);
    bool IsMaximized(HWND hwnd);
    std::string Title(HWND hwnd);
    HCURSOR Cursor();
    // The window's pixels as last presented (black where nothing was); empty for no window.
    Surface Pixels(HWND hwnd);
    // Writes them as PNG: empty on success, else what went wrong.
    std::string Snapshot(HWND hwnd, const std::string& path);
    int Presents(HWND hwnd);  // how many times pixels went to the screen

private:
    struct Shown {
        RECT rect{};
        bool popup = false;
        bool shown = false;
        bool maximized = false;
        std::string title;
        Surface pixels;
        int presents = 0;
    };

    DWORD Tick() EXCLUDES(lock_);
    HWND TopAt(POINT screen);  // the highest shown window under a point, by the window system's order
    HWND Pointed(bool press, POINT& at) EXCLUDES(lock_);  // counts buttons; the window holding the pointer
    void Key(int vk, bool down, char32_t text) EXCLUDES(lock_);
    bool Shifted() EXCLUDES(lock_);

    Mutex lock_;
    const SIZE screen_;
    std::map<HWND, Shown> windows_ GUARDED_BY(lock_);
    HCURSOR cursor_ GUARDED_BY(lock_) = nullptr;
    POINT pointer_ GUARDED_BY(lock_){0, 0};
    HWND grabbed_ GUARDED_BY(lock_) = nullptr;  // the window a held button went down on
    int buttonsDown_ GUARDED_BY(lock_) = 0;
    DWORD clock_ GUARDED_BY(lock_) = 1000;
    bool shift_ GUARDED_BY(lock_) = false;
    std::optional<std::string> clipboard_ GUARDED_BY(lock_);
};
