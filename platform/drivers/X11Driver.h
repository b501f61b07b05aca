#pragma once
// The X11 display: each top-level window is an X window (popups bypass the window manager), the
// windows' pixels are put on it as they are drawn (through shared memory where the server offers
// it), and a thread of the driver's own turns X events into input and desktop events.

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "platform/window/DisplayDriver.h"
#include "platform/window/Mutex.h"

class X11Clipboard;

class X11Driver : public DisplayDriver {
public:
    // Null when the display does not answer (null name: $DISPLAY).
    static std::unique_ptr<X11Driver> Open(const char* displayName);
    ~X11Driver() override;
    X11Driver(const X11Driver&) = delete;
    X11Driver& operator=(const X11Driver&) = delete;

    const char* Name() const override { return "x11"; }
    SIZE ScreenSize() override;
    void Create(HWND hwnd, const RECT& screen, bool popup, const std::string& title) override;
    void Destroy(HWND hwnd) override;
    void Show(HWND hwnd, bool shown, bool maximized) override;
    void Move(HWND hwnd, const RECT& screen) override;
    void SetTitle(HWND hwnd, const std::string& title) override;
    void Present(HWND hwnd, const Surface& surface, const RECT& area) override;
    void SetCursor(HCURSOR cursor) override;
    bool GrabPointer(HWND hwnd) override;
    void UngrabPointer() override;
    bool SetClipboardText(const std::string& text) override;
    std::optional<std::string> ClipboardText() override;

    // The X window showing `hwnd` (0: none): for tests that look at the server's side.
    unsigned long XWindowOf(HWND hwnd) EXCLUDES(lock_);
    bool UsesSharedMemory() EXCLUDES(lock_);

    struct Connection;  // the Xlib state, kept out of this header
    X11Driver();        // through Open only

private:
    struct Window;
    void Run();
    void Handle(void* event);
    HWND Find(unsigned long xid) EXCLUDES(lock_);
    void Kick();  // wakes the event thread: another thread's X call may have read its events

    std::unique_ptr<Connection> x_;  // what it holds is fixed once open
    std::unique_ptr<X11Clipboard> clipboard_;
    Mutex lock_;
    std::map<HWND, std::unique_ptr<Window>> windows_ GUARDED_BY(lock_);
    std::map<unsigned long, HWND> byXid_ GUARDED_BY(lock_);
    bool shm_ GUARDED_BY(lock_) = false;  // pixels go through MIT-SHM (off once the server refuses it)
    std::map<HCURSOR, unsigned long> cursors_ GUARDED_BY(lock_);
    unsigned long currentCursor_ GUARDED_BY(lock_) = 0;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    int wakePipe_[2] = {-1, -1};
};
