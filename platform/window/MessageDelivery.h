#pragma once
// How messages reach window procedures: direct calls on the owning thread, sends across threads,
// and the search of a thread's queue that GetMessage and PeekMessage share. Also the window
// system's own work for a window (tasks), which runs on the window's thread and never reaches a
// window procedure or a hook.

#include <functional>

#include "platform/window/ThreadQueue.h"
#include "platform/window/WindowLock.h"
#include "platform/window/WindowTypes.h"

class MessageDelivery {
public:
    // Nested sends deeper than this are refused: a loop of sends ends instead of the stack.
    static constexpr int kMaxDepth = 256;

    // Whose thread a window is on: the caller's, another's, or none (ERROR_INVALID_WINDOW_HANDLE).
    enum class Owner { None, Caller, Other };
    static Owner OwnerOf(HWND hwnd) EXCLUDES(gWindowLock);

    // The window procedure of a window of the calling thread, after the thread's hooks when
    // `hooked` (sent messages).
    static LRESULT Call(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool hooked) EXCLUDES(gWindowLock);
    // A send to a window of another thread: queued there; the caller answers sends to its own
    // windows while it waits. 0 when the window or its thread goes meanwhile.
    static LRESULT SendAcross(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) EXCLUDES(gWindowLock);
    // ...queued there without waiting for the answer; false when the window or its thread is gone.
    static bool SendAcrossNoWait(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) EXCLUDES(gWindowLock);
    // Runs `task` on the thread that owns `hwnd`: at once when that is the calling thread, else
    // as a send. 0 when the window or its thread goes first.
    static LRESULT RunOnOwner(HWND hwnd, std::function<LRESULT()> task) EXCLUDES(gWindowLock);
    // Answers the messages other threads have sent to this one.
    static void ServeInbox(ThreadQueue& q) EXCLUDES(gWindowLock);
    // The next message for `window` (and its descendants) in [first, last]: false when there is
    // none and `wait` is not set. Sent messages are answered and tasks run on the way.
    static bool Next(MSG* msg, HWND window, UINT first, UINT last, bool remove, bool wait) EXCLUDES(gWindowLock);
    // WM_PAINT to a window of the calling thread; validated afterwards when nothing painted, so a
    // window procedure that paints nothing does not get WM_PAINT for ever.
    static LRESULT Paint(HWND hwnd) EXCLUDES(gWindowLock);
    // Puts on the screen what the thread's windows have drawn.
    static void Present(ThreadQueue& q) EXCLUDES(gWindowLock);
    // The screen lost the window's pixels: all of them go again.
    static void Expose(HWND hwnd) EXCLUDES(gWindowLock);

private:
    // Queues `sent` for the thread of its window and waits for the answer, serving sends meanwhile.
    static LRESULT Deliver(const std::shared_ptr<SentMessage>& sent) EXCLUDES(gWindowLock);
};
