#pragma once
// The window system's state: every window and class, the threads that have queues, focus,
// capture, the pointer, and the display driver. One lock guards it all; it is never held while
// a window procedure runs.

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/graphics/Region.h"
#include "platform/window/ThreadQueue.h"
#include "platform/window/Window.h"

class DisplayDriver;

struct WindowClass {
    std::string name;
    UINT style = 0;
    WNDPROC proc = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
};

class WindowManager {
public:
    static WindowManager& Instance();

    std::recursive_mutex& Lock() { return lock_; }

    // Windows.
    std::shared_ptr<Window> Find(HWND hwnd);
    std::shared_ptr<Window> Create(const WindowClass& cls, DWORD exStyle, DWORD style, Window* parent);
    void Remove(Window& w);  // out of the tree and the registry
    std::vector<std::shared_ptr<Window>> WindowsOfThread(ThreadQueue& thread);
    const std::vector<Window*>& TopLevels() const { return topLevels_; }
    void Raise(Window& w);                      // to the top of its siblings
    void PlaceAfter(Window& w, Window* after);  // null: the top

    // Classes (names compared without case).
    bool AddClass(const WindowClass& cls);
    bool RemoveClass(const std::string& name);
    const WindowClass* FindClass(const std::string& name);

    // Geometry.
    static Window* TopLevelOf(Window* w);
    // Where the window's client (or whole window) area starts, in its top-level's coordinates.
    static POINT ClientOffset(Window* w);
    static POINT WindowOffset(Window* w);
    static POINT ScreenOfClient(Window* w);
    // What of the window (client or whole) shows, in its top-level's coordinates: inside every
    // ancestor, not under a sibling above it, its visible children cut out.
    static Region VisibleArea(Window* w, bool client);
    // The deepest visible window under a point of `top`'s coordinates.
    static Window* ChildAt(Window* top, POINT inTop);
    static bool IsShown(Window* w);  // visible, and every ancestor too

    // Invalidation: `area` in top-level coordinates, handed to `root` and every window below it
    // that it falls on.
    void InvalidateArea(Window* root, const Region& area, bool erase);
    void InvalidateClient(Window* w, const Region& client, bool erase);

    // Threads.
    void ThreadStarted(ThreadQueue& q);
    void ThreadEnding(ThreadQueue& q);
    bool ThreadAlive(ThreadQueue* q);
    ThreadQueue* ThreadById(DWORD id);

    // Input state.
    HWND focus = nullptr;
    HWND capture = nullptr;
    HWND active = nullptr;
    POINT cursorPos{0, 0};
    HCURSOR cursor = nullptr;
    BYTE asyncKeys[256] = {};

    // The driver, chosen on first use: X11 when a display answers, headless otherwise.
    DisplayDriver& Driver();
    void UseDriver(std::unique_ptr<DisplayDriver> driver);

    // Atoms.
    ATOM AddAtom(const std::string& name);
    bool DeleteAtom(ATOM atom);
    ATOM FindAtom(const std::string& name);
    std::string AtomName(ATOM atom);

    // Hooks.
    HHOOK NextHookHandle() { return reinterpret_cast<HHOOK>(++hookCounter_); }

    WindowManager() = default;  // through Instance() only

private:
    std::recursive_mutex lock_;
    std::unordered_map<HWND, std::shared_ptr<Window>> windows_;
    std::vector<Window*> topLevels_;
    std::map<std::string, WindowClass> classes_;
    std::set<ThreadQueue*> threads_;
    std::unique_ptr<DisplayDriver> driver_;
    std::uintptr_t nextHandle_ = 0x10000;
    std::map<std::string, std::pair<ATOM, int>> atoms_;  // name: atom, references
    ATOM nextAtom_ = 0xC000;
    std::uintptr_t hookCounter_ = 0;
};
