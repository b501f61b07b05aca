#pragma once
// How messages reach window procedures: direct calls on the owning thread, sends across threads,
// and the search of a thread's queue that GetMessage and PeekMessage share. Also the window
// system's own messages, which move work onto the thread that owns a window and never reach a
// window procedure.

#include "platform/window/ThreadQueue.h"
#include "platform/window/WindowTypes.h"

// The window system's own messages (in the range the platform keeps for itself).
constexpr UINT kWmRunShowWindow = 0x03E0;    // wParam: the show command
constexpr UINT kWmRunSetWindowPos = 0x03E1;  // lParam: WINDOWPOS*
constexpr UINT kWmDisplayMoved = 0x03E2;     // wParam: MAKEWPARAM(x, y); lParam: MAKELPARAM(width, height)
constexpr UINT kWmDisplayActivate = 0x03E3;  // wParam: TRUE when the desktop made it active
constexpr UINT kWmDisplayExpose = 0x03E4;    // the desktop lost the window's pixels

// A move the desktop made: the driver knows it already.
constexpr UINT kSwpFromDriver = 0x80000000;

class MessageDelivery {
public:
    // Nested sends deeper than this are refused: a loop of sends ends instead of the stack.
    static constexpr int kMaxDepth = 256;

    // The window procedure of a window of the calling thread, after the thread's hooks when
    // `hooked` (sent messages), with the window system's own messages handled first.
    static LRESULT Call(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool hooked);
    // A send to a window of another thread: queued there; the caller answers sends to its own
    // windows while it waits. 0 when the window or its thread goes meanwhile.
    static LRESULT SendAcross(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Answers the messages other threads have sent to this one.
    static void ServeInbox(ThreadQueue& q);
    // The next message for `window` (and its descendants) in [first, last]: false when there is
    // none and `wait` is not set. Sent messages are answered on the way.
    static bool Next(MSG* msg, HWND window, UINT first, UINT last, bool remove, bool wait);
    // WM_PAINT to a window of the calling thread; validated afterwards when nothing painted, so a
    // window procedure that paints nothing does not get WM_PAINT for ever.
    static LRESULT Paint(HWND hwnd);
    // Puts on the screen what the thread's windows have drawn.
    static void Present(ThreadQueue& q);
};
