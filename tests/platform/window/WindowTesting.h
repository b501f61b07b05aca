#pragma once
// Window tests: a headless display, a window class that records what it gets, and pumping the
// calling thread's queue until a condition holds.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/drivers/HeadlessDriver.h"
#include "platform/graphics/Gdi.h"
#include "platform/window/Windows.h"

// One message as a recording window saw it.
struct Seen {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// A window class whose procedure records every message and then runs an optional handler per
// message before falling back to DefWindowProc. One per thread and name.
class Recorder {
public:
    using Handler = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM, bool& handled)>;

    static Recorder& Instance();

    // Registers (once) a recording class with these styles and cursor; its name.
    const char* Class(UINT style = 0, HCURSOR cursor = nullptr, HBRUSH background = nullptr);

    HWND Create(HWND parent, const RECT& r, DWORD style = WS_CHILD | WS_VISIBLE, DWORD exStyle = 0, int id = 0,
                const char* cls = nullptr);

    void On(UINT message, Handler handler) { handlers_[message] = std::move(handler); }
    void Clear() {
        seen_.clear();
        handlers_.clear();
    }
    std::vector<Seen>& Log() { return seen_; }
    // The messages (of `only` if not empty) one window got, in order.
    std::vector<UINT> MessagesOf(HWND hwnd, const std::vector<UINT>& only = {}) const;
    int Count(HWND hwnd, UINT message) const;

    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    std::vector<Seen> seen_;
    std::map<UINT, Handler> handlers_;
    std::map<std::string, std::string> classes_;
};

// Makes `driver` the window system's display.
void UseDisplay(std::unique_ptr<DisplayDriver> driver);
// Destroys every top-level window left, and with them all others.
void DestroyAllWindows();

// Takes and dispatches messages until `done` holds (checked between messages and while idle);
// false if it does not within the time-out.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(30));
// Takes and dispatches everything queued now, then returns.
void PumpAll();

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A visible top-level window at (100, 100) on the screen, 300 by 200.
    HWND TopLevel(DWORD style = WS_POPUP | WS_VISIBLE, const char* cls = nullptr);

    HeadlessDriver* display = nullptr;
    Recorder& recorder = Recorder::Instance();
};

// Screen point of a window's client point.
POINT OnScreen(HWND hwnd, int x, int y);
