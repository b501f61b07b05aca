#pragma once
// The window system's state: every window and class, the threads that have queues, focus,
// capture, the pointer, and the display driver. gWindowLock guards it all; functions that need it
// held say so, and those that take it themselves are called without it.

#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/graphics/Region.h"
#include "platform/window/ThreadQueue.h"
#include "platform/window/Window.h"

class DisplayDriver;

class WindowManager {
public:
    static WindowManager& Instance();

    // Windows.
    Window* Find(HWND hwnd) REQUIRES(gWindowLock);
    bool Exists(HWND hwnd) EXCLUDES(gWindowLock);
    // A new window of `thread`, at the top of its siblings, hidden.
    Window* Create(const WindowClass& cls, DWORD exStyle, DWORD style, Window* parent, ThreadQueue* thread)
        REQUIRES(gWindowLock);
    void Remove(Window& w) REQUIRES(gWindowLock);  // out of the tree and the registry, and freed
    std::vector<HWND> WindowsOfThread(ThreadQueue& thread) EXCLUDES(gWindowLock);
    const std::vector<Window*>& TopLevels() const REQUIRES(gWindowLock) { return topLevels_; }
    std::vector<Window*>& SiblingsOf(Window& w) REQUIRES(gWindowLock);
    void Raise(Window& w) REQUIRES(gWindowLock);                      // to the top of its siblings
    void PlaceAfter(Window& w, Window* after) REQUIRES(gWindowLock);  // null: the top

    // Classes (names compared without case). What is found is a copy: the table may change as
    // soon as the lock is released.
    bool AddClass(const WindowClass& cls) EXCLUDES(gWindowLock);
    bool RemoveClass(const std::string& name) EXCLUDES(gWindowLock);
    std::optional<WindowClass> FindClass(const std::string& name) EXCLUDES(gWindowLock);

    // Geometry.
    static Window* TopLevelOf(Window* w) REQUIRES(gWindowLock);
    // Where the window's client (or whole window) area starts, in its top-level's coordinates.
    static POINT ClientOffset(Window* w) REQUIRES(gWindowLock);
    static POINT WindowOffset(Window* w) REQUIRES(gWindowLock);
    static POINT ScreenOfClient(Window* w) REQUIRES(gWindowLock);
    // What of the window (client or whole) shows, in its top-level's coordinates: inside every
    // ancestor, not under a sibling above it, its visible children cut out.
    static Region VisibleArea(Window* w, bool client) REQUIRES(gWindowLock);
    // The deepest visible window under a point of `top`'s coordinates.
    static Window* ChildAt(Window* top, POINT inTop) REQUIRES(gWindowLock);
    static bool IsShown(Window* w) REQUIRES(gWindowLock);  // visible, and every ancestor too
    static bool IsAncestor(Window* ancestor, Window* w) REQUIRES(gWindowLock);

    // Invalidation: `area` in top-level coordinates, handed to `root` and every window below it
    // that it falls on.
    void InvalidateArea(Window* root, const Region& area, bool erase) REQUIRES(gWindowLock);
    void InvalidateClient(Window* w, const Region& client, bool erase) REQUIRES(gWindowLock);

    // Threads.
    void ThreadStarted(ThreadQueue& q) EXCLUDES(gWindowLock);
    void ThreadEnding(ThreadQueue& q) EXCLUDES(gWindowLock);
    bool ThreadAlive(ThreadQueue* q) REQUIRES(gWindowLock) { return threads_.count(q) > 0; }
    ThreadQueue* ThreadById(DWORD id) REQUIRES(gWindowLock);
    // Whether a window of the thread has something to paint.
    bool PaintPending(ThreadQueue& q) EXCLUDES(gWindowLock);

    // What the display reports, handed to the threads concerned. Pointer input goes to the thread
    // of the window with the capture, else of the top-level window `hwnd` under the pointer.
    void RoutePointer(HWND hwnd, RawInput raw) EXCLUDES(gWindowLock);
    // Keys go to the thread with the focus, else to the one with the active window.
    void RouteKey(const RawInput& raw) EXCLUDES(gWindowLock);
    void SetAsyncButton(int vk, bool down) EXCLUDES(gWindowLock);
    // Work for the thread of `hwnd`, run there when it next looks at its queue; false when the
    // window is gone.
    bool PostTask(HWND hwnd, std::function<void()> run) EXCLUDES(gWindowLock);

    // Input state.
    HWND focus GUARDED_BY(gWindowLock) = nullptr;
    HWND capture GUARDED_BY(gWindowLock) = nullptr;
    HWND active GUARDED_BY(gWindowLock) = nullptr;
    POINT cursorPos GUARDED_BY(gWindowLock){0, 0};
    HCURSOR cursor GUARDED_BY(gWindowLock) = nullptr;
    BYTE asyncKeys[256] GUARDED_BY(gWindowLock) = {};

    // The display: NoDisplay until a program installs a driver. Callers hold the driver while
    // they use it, so that a new one can be installed meanwhile.
    std::shared_ptr<DisplayDriver> Driver() EXCLUDES(gWindowLock);
    SIZE ScreenSize() EXCLUDES(gWindowLock);
    void UseDriver(std::shared_ptr<DisplayDriver> driver) EXCLUDES(gWindowLock);

    // Atoms.
    ATOM AddAtom(const std::string& name) EXCLUDES(gWindowLock);
    bool DeleteAtom(ATOM atom) EXCLUDES(gWindowLock);
    ATOM FindAtom(const std::string& name) EXCLUDES(gWindowLock);
    std::string AtomName(ATOM atom) EXCLUDES(gWindowLock);

    // Hooks.
    HHOOK NextHookHandle() { return reinterpret_cast<HHOOK>(++hookCounter_); }

    WindowManager() = default;  // through Instance() only

private:
    std::unordered_map<HWND, std::unique_ptr<Window>> windows_ GUARDED_BY(gWindowLock);
    std::vector<Window*> topLevels_ GUARDED_BY(gWindowLock);
    std::map<std::string, WindowClass> classes_ GUARDED_BY(gWindowLock);
    std::set<ThreadQueue*> threads_ GUARDED_BY(gWindowLock);
    std::shared_ptr<DisplayDriver> driver_ GUARDED_BY(gWindowLock);
    std::uintptr_t nextHandle_ GUARDED_BY(gWindowLock) = 0x10000;
    std::map<std::string, std::pair<ATOM, int>> atoms_ GUARDED_BY(gWindowLock);  // name: atom, references
    ATOM nextAtom_ GUARDED_BY(gWindowLock) = 0xC000;
    std::atomic<std::uintptr_t> hookCounter_{0};
};
