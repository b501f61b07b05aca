// Sending, posting and taking messages; timers; hooks.

#include <algorithm>

#include "platform/kernel/LastError.h"
#include "platform/kernel/Threads.h"
#include "platform/window/LockedWindow.h"
#include "platform/window/MessageDelivery.h"
#include "platform/window/WindowManager.h"
#include "platform/window/Windows.h"

namespace {

WindowManager& Manager() { return WindowManager::Instance(); }

constexpr UINT kMinimumTimer = 10;                             // milliseconds, as the system's USER_TIMER_MINIMUM
std::uintptr_t gNextTimerId GUARDED_BY(gWindowLock) = 0x7F00;  // ids of timers without a window

// System messages whose parameters point into the sender's memory: a posted copy would outlive
// what it points to.
bool CarriesPointer(UINT message) {
    switch (message) {
        case WM_CREATE:
        case WM_NCCREATE:
        case WM_SETTEXT:
        case WM_GETTEXT:
        case WM_GETMINMAXINFO:
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
        case WM_WINDOWPOSCHANGING:
        case WM_WINDOWPOSCHANGED:
        case WM_NOTIFY:
        case WM_STYLECHANGING:
        case WM_STYLECHANGED:
        case WM_NCCALCSIZE:
            return true;
        default:
            return false;
    }
}

MSG Stamped(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG m{hwnd, message, wParam, lParam, GetTickCount(), {}, 0};
    GetCursorPos(&m.pt);
    return m;
}

// ANSI text of a typed character: Windows-1252 has Latin-1's letters from 0xA0 up.
WPARAM AnsiOf(DWORD c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
    return c == 0x20AC ? 0x80 : '?';
}

}  // namespace

LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (MessageDelivery::OwnerOf(hwnd)) {
        case MessageDelivery::Owner::Caller:
            return MessageDelivery::Call(hwnd, message, wParam, lParam, true);
        case MessageDelivery::Owner::Other:
            return MessageDelivery::SendAcross(hwnd, message, wParam, lParam);
        default:
            return 0;
    }
}

BOOL SendNotifyMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (MessageDelivery::OwnerOf(hwnd)) {
        case MessageDelivery::Owner::Caller:
            MessageDelivery::Call(hwnd, message, wParam, lParam, true);
            return TRUE;
        case MessageDelivery::Owner::Other:
            // The sender goes on at once: what a pointer names may be gone before it is read.
            if (CarriesPointer(message)) {
                SetLastError(ERROR_MESSAGE_SYNC_ONLY);
                return FALSE;
            }
            return MessageDelivery::SendAcrossNoWait(hwnd, message, wParam, lParam) ? TRUE : FALSE;
        default:
            return FALSE;
    }
}

BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (CarriesPointer(message)) {
        SetLastError(ERROR_MESSAGE_SYNC_ONLY);
        return FALSE;
    }
    const MSG m = Stamped(hwnd, message, wParam, lParam);
    if (!hwnd) {
        ThreadQueue::Current().Post(m);
        return TRUE;
    }
    LockedWindow w(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    w->thread->Post(m);  // under the manager's lock: the thread cannot end meanwhile
    return TRUE;
}

BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
    if (CarriesPointer(message)) {
        SetLastError(ERROR_MESSAGE_SYNC_ONLY);
        return FALSE;
    }
    const MSG m = Stamped(nullptr, message, wParam, lParam);
    Mutex::Guard guard(gWindowLock);
    ThreadQueue* q = Manager().ThreadById(threadId);
    if (!q) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    q->Post(m);
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    ThreadQueue& q = ThreadQueue::Current();
    {
        Mutex::Guard guard(q.lock);
        q.quitPosted = true;
        q.quitCode = exitCode;
    }
    q.Wake();
}

BOOL GetMessageA(MSG* msg, HWND hwnd, UINT first, UINT last) {
    if (!msg || (hwnd && hwnd != reinterpret_cast<HWND>(-1) && !IsWindow(hwnd))) {
        SetLastError(msg ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER);
        return -1;
    }
    MessageDelivery::Next(msg, hwnd, first, last, true, true);
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT first, UINT last, UINT remove) {
    if (!msg) return FALSE;
    return MessageDelivery::Next(msg, hwnd, first, last, remove & PM_REMOVE, false) ? TRUE : FALSE;
}

BOOL TranslateMessage(const MSG* msg) {
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) || !msg->lPrivate) return FALSE;
    MSG typed = *msg;
    typed.message = msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
    typed.wParam = AnsiOf(msg->lPrivate);
    typed.lPrivate = 0;
    // The character comes next, before anything posted meanwhile.
    ThreadQueue& q = ThreadQueue::Current();
    {
        Mutex::Guard guard(q.lock);
        q.posted.push_front(typed);
    }
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (!msg) return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
        return 0;
    }
    if (!msg->hwnd || MessageDelivery::OwnerOf(msg->hwnd) != MessageDelivery::Owner::Caller) return 0;
    if (msg->message != WM_PAINT)
        return MessageDelivery::Call(msg->hwnd, msg->message, msg->wParam, msg->lParam, false);
    return MessageDelivery::Paint(msg->hwnd);
}

BOOL WaitMessage() {
    MSG ignored;
    MessageDelivery::Next(&ignored, nullptr, 0, 0, false, true);
    return TRUE;
}

DWORD GetQueueStatus(UINT flags) {
    ThreadQueue& q = ThreadQueue::Current();
    UINT now = q.Waiting(ThreadQueue::Clock::now());
    if ((flags & QS_PAINT) && Manager().PaintPending(q)) now |= QS_PAINT;
    now &= flags;
    const UINT added = q.TakeAdded(flags) & now;
    return MAKELONG(added, now);
}

DWORD GetMessageTime() { return ThreadQueue::Current().messageTime; }

DWORD GetMessagePos() {
    const POINT p = ThreadQueue::Current().messagePos;
    return static_cast<DWORD>(MAKELPARAM(p.x, p.y));
}

LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return proc ? proc(hwnd, message, wParam, lParam) : 0;
}

std::uintptr_t SetTimer(HWND hwnd, std::uintptr_t id, UINT milliseconds, TIMERPROC proc) {
    ThreadQueue* q = &ThreadQueue::Current();
    Mutex::Guard guard(gWindowLock);
    if (hwnd) {
        Window* w = Manager().Find(hwnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        q = w->thread;
    } else {
        // Without a window the system picks the id, unless `id` names a timer to reset.
        Mutex::Guard queueGuard(q->lock);
        const bool exists =
            std::any_of(q->timers.begin(), q->timers.end(), [&](const Timer& t) { return !t.hwnd && t.id == id; });
        if (!id || !exists) id = ++gNextTimerId;
    }
    const UINT interval = std::max(milliseconds, kMinimumTimer);
    {
        Mutex::Guard queueGuard(q->lock);
        auto& timers = q->timers;
        timers.erase(
            std::remove_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; }),
            timers.end());
        timers.push_back(
            Timer{hwnd, id, interval, proc, ThreadQueue::Clock::now() + std::chrono::milliseconds(interval)});
    }
    q->Wake();
    return hwnd && !id ? 1 : id;
}

BOOL KillTimer(HWND hwnd, std::uintptr_t id) {
    ThreadQueue* q = &ThreadQueue::Current();
    Mutex::Guard guard(gWindowLock);
    if (hwnd) {
        Window* w = Manager().Find(hwnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        q = w->thread;
    }
    Mutex::Guard queueGuard(q->lock);
    auto& timers = q->timers;
    const auto end =
        std::remove_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    const bool found = end != timers.end();
    timers.erase(end, timers.end());
    return found ? TRUE : FALSE;
}

HHOOK SetWindowsHookExA(int kind, HOOKPROC proc, HINSTANCE, DWORD threadId) {
    ThreadQueue& q = ThreadQueue::Current();
    if (kind != WH_CALLWNDPROC || !proc) {
        SetLastError(ERROR_INVALID_HOOK_FILTER);
        return nullptr;
    }
    // The hooks of a thread are only touched by that thread: a hook for another one is refused.
    if (threadId != 0 && threadId != q.threadId) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return nullptr;
    }
    const HHOOK hook = Manager().NextHookHandle();
    q.callWndProcHooks.insert(q.callWndProcHooks.begin(), {hook, proc});  // the newest runs first
    return hook;
}

BOOL UnhookWindowsHookEx(HHOOK hook) {
    auto& hooks = ThreadQueue::Current().callWndProcHooks;
    auto it = std::find_if(hooks.begin(), hooks.end(), [&](const auto& h) { return h.first == hook; });
    if (it == hooks.end()) return FALSE;
    hooks.erase(it);
    return TRUE;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
    const auto& hooks = ThreadQueue::Current().callWndProcHooks;
    auto it = std::find_if(hooks.begin(), hooks.end(), [&](const auto& h) { return h.first == hook; });
    if (it == hooks.end() || ++it == hooks.end()) return 0;
    return it->second(code, wParam, lParam);
}

void SetThreadIdleHook(std::function<bool(long count)> hook) {
    ThreadQueue& q = ThreadQueue::Current();
    q.idleHook = std::move(hook);
    q.idle = false;
    q.idleCount = 0;
}
