#include "platform/window/MessageDelivery.h"

#include <algorithm>

#include "platform/drivers/DisplayDriver.h"
#include "platform/kernel/LastError.h"
#include "platform/kernel/Threads.h"
#include "platform/window/InputCooker.h"
#include "platform/window/WindowManager.h"
#include "platform/window/Windows.h"

namespace {

WindowManager& Manager() { return WindowManager::Instance(); }

// What a GetMessage or PeekMessage call takes: messages for `window` (null: any; -1: those
// posted to the thread itself) or its descendants, in [first, last] (0, 0: all). The family is
// found once, under the manager's lock, so that queues can be searched under their own lock
// alone.
struct Filter {
    HWND window = nullptr;
    std::vector<HWND> family;
    UINT first = 0, last = 0;

    static Filter For(HWND window, UINT first, UINT last) {
        Filter f{window, {}, first, last};
        if (!window || window == reinterpret_cast<HWND>(-1)) return f;
        std::lock_guard guard(Manager().Lock());
        auto w = Manager().Find(window);
        std::vector<Window*> pending;
        if (w) pending.push_back(w.get());
        while (!pending.empty()) {
            Window* next = pending.back();
            pending.pop_back();
            f.family.push_back(next->handle);
            pending.insert(pending.end(), next->children.begin(), next->children.end());
        }
        return f;
    }
    bool TakesWindow(HWND hwnd) const {
        if (!window) return true;
        if (window == reinterpret_cast<HWND>(-1)) return hwnd == nullptr;
        return std::find(family.begin(), family.end(), hwnd) != family.end();
    }
    bool Takes(HWND hwnd, UINT message) const {
        return ((!first && !last) || (message >= first && message <= last)) && TakesWindow(hwnd);
    }
};

bool InRange(UINT message, UINT first, UINT last) { return (!first && !last) || (message >= first && message <= last); }

bool IsOwnMessage(UINT message) { return message >= kWmRunShowWindow && message <= kWmDisplayExpose; }

// Handles the window system's own messages; false for any other.
bool RunOwnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case kWmRunShowWindow:
            result = ShowWindow(hwnd, static_cast<int>(wParam));
            return true;
        case kWmRunSetWindowPos: {
            const auto* p = reinterpret_cast<const WINDOWPOS*>(lParam);
            result = SetWindowPos(hwnd, p->hwndInsertAfter, p->x, p->y, p->cx, p->cy, p->flags);
            return true;
        }
        case kWmDisplayMoved:
            result = SetWindowPos(hwnd, nullptr, GET_X_LPARAM(static_cast<LPARAM>(wParam)),
                                  GET_Y_LPARAM(static_cast<LPARAM>(wParam)), LOWORD(lParam), HIWORD(lParam),
                                  SWP_NOZORDER | SWP_NOACTIVATE | kSwpFromDriver);
            return true;
        case kWmDisplayActivate:
            if (wParam)
                SetActiveWindow(hwnd);
            else if (GetActiveWindow() == hwnd)
                SetActiveWindow(nullptr);
            result = 0;
            return true;
        case kWmDisplayExpose: {
            auto w = Manager().Find(hwnd);
            if (w) {
                std::lock_guard guard(Manager().Lock());
                w->dirty.Set(RECT{0, 0, w->Width(), w->Height()});
            }
            if (w) MessageDelivery::Present(*w->thread);
            result = 0;
            return true;
        }
        default:
            return false;
    }
}

// The first posted message that matches; the window system's own are run on the way.
enum class Found { None, Message, Ran };

Found TakePosted(ThreadQueue& q, MSG* msg, const Filter& filter, bool remove) {
    MSG own{};
    {
        std::lock_guard guard(q.lock);
        for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
            if (IsOwnMessage(it->message)) {
                own = *it;
                q.posted.erase(it);
                break;
            }
            if (!filter.Takes(it->hwnd, it->message)) continue;
            *msg = *it;
            if (remove) q.posted.erase(it);
            return Found::Message;
        }
    }
    if (!own.message) return Found::None;
    LRESULT ignored;
    if (Manager().Find(own.hwnd)) RunOwnMessage(own.hwnd, own.message, own.wParam, own.lParam, ignored);
    return Found::Ran;
}

// The first input message that matches, making raw input into messages as far as needed.
bool TakeInput(ThreadQueue& q, MSG* msg, const Filter& filter, bool remove) {
    for (;;) {
        for (auto it = q.cooked.begin(); it != q.cooked.end(); ++it) {
            if (!filter.Takes(it->hwnd, it->message)) continue;
            *msg = *it;
            if (remove) q.cooked.erase(it);
            return true;
        }
        RawInput raw;
        {
            std::lock_guard guard(q.lock);
            if (q.input.empty()) return false;
            raw = q.input.front();
            q.input.pop_front();
        }
        InputCooker::Cook(q, raw);
    }
}

bool TakeQuit(ThreadQueue& q, MSG* msg, bool remove) {
    std::lock_guard guard(q.lock);
    if (!q.quitPosted) return false;
    *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(q.quitCode), 0, 0, {}, 0};
    if (remove) q.quitPosted = false;
    return true;
}

// A shown window of the thread with something to paint: parents before their children, top-level
// windows in z-order.
HWND FindPaint(ThreadQueue& q, const Filter& filter) {
    std::lock_guard guard(Manager().Lock());
    std::vector<Window*> pending;
    const auto& tops = Manager().TopLevels();
    for (auto it = tops.rbegin(); it != tops.rend(); ++it)
        if ((*it)->thread == &q && (*it)->Visible()) pending.push_back(*it);
    while (!pending.empty()) {
        Window* w = pending.back();
        pending.pop_back();
        if ((!w->invalid.IsEmpty() || w->frameInvalid) && filter.TakesWindow(w->handle)) return w->handle;
        for (auto it = w->children.rbegin(); it != w->children.rend(); ++it)
            if ((*it)->Visible()) pending.push_back(*it);
    }
    return nullptr;
}

bool TakeTimer(ThreadQueue& q, MSG* msg, const Filter& filter, bool remove, ThreadQueue::Clock::time_point now) {
    std::lock_guard guard(q.lock);
    Timer* due = nullptr;
    for (Timer& t : q.timers)
        if (t.due <= now && (!due || t.due < due->due) && filter.TakesWindow(t.hwnd)) due = &t;
    if (!due) return false;
    *msg = MSG{due->hwnd, WM_TIMER, due->id, reinterpret_cast<LPARAM>(due->proc), 0, {}, 0};
    // Timers do not pile up: a late one fires once, then keeps its interval from now.
    if (remove) due->due = now + std::chrono::milliseconds(due->interval);
    return true;
}

ThreadQueue::Clock::time_point NextTimer(ThreadQueue& q) {
    std::lock_guard guard(q.lock);
    auto next = ThreadQueue::Clock::now() + std::chrono::hours(1);
    for (const Timer& t : q.timers) next = std::min(next, t.due);
    return next;
}

}  // namespace

LRESULT MessageDelivery::Call(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool hooked) {
    LRESULT result = 0;
    if (IsOwnMessage(message) && RunOwnMessage(hwnd, message, wParam, lParam, result)) return result;
    ThreadQueue& q = ThreadQueue::Current();
    if (q.sendDepth >= kMaxDepth) {
        SetLastError(ERROR_STACK_OVERFLOW);
        return 0;
    }
    if (hooked && !q.callWndProcHooks.empty()) {
        CWPSTRUCT cwp{lParam, wParam, message, hwnd};
        const HOOKPROC first = q.callWndProcHooks.front().second;
        ++q.sendDepth;
        first(HC_ACTION, TRUE, reinterpret_cast<LPARAM>(&cwp));
        --q.sendDepth;
    }
    WNDPROC proc;
    {
        auto w = Manager().Find(hwnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        std::lock_guard guard(Manager().Lock());
        proc = w->proc;
    }
    ++q.sendDepth;
    result = proc ? proc(hwnd, message, wParam, lParam) : DefWindowProcA(hwnd, message, wParam, lParam);
    --q.sendDepth;
    return result;
}

LRESULT MessageDelivery::SendAcross(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    ThreadQueue& q = ThreadQueue::Current();
    auto sent = std::make_shared<SentMessage>();
    sent->hwnd = hwnd;
    sent->message = message;
    sent->wParam = wParam;
    sent->lParam = lParam;
    sent->sender = q.shared_from_this();
    ThreadQueue* target;
    {
        std::lock_guard guard(Manager().Lock());
        auto w = Manager().Find(hwnd);
        if (!w || !Manager().ThreadAlive(w->thread)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        target = w->thread;
        target->Send(sent);  // under the manager's lock: the thread cannot end in between
    }
    while (!sent->done.load(std::memory_order_acquire)) {
        const auto token = q.Token();
        ServeInbox(q);
        if (sent->done.load(std::memory_order_acquire)) break;
        // The receiver answers, or its window's destruction or its thread's end does; the time-out
        // only bounds each wait.
        q.Wait(token, ThreadQueue::Clock::now() + std::chrono::seconds(1));
        if (!sent->done.load(std::memory_order_acquire) && !Manager().ThreadAlive(target)) break;
    }
    return sent->done.load(std::memory_order_acquire) ? sent->result : 0;
}

void MessageDelivery::ServeInbox(ThreadQueue& q) {
    for (;;) {
        std::shared_ptr<SentMessage> m;
        {
            std::lock_guard guard(q.lock);
            if (q.inbox.empty()) return;
            m = q.inbox.front();
            q.inbox.pop_front();
        }
        m->Answer(Manager().Find(m->hwnd) ? Call(m->hwnd, m->message, m->wParam, m->lParam, true) : 0);
    }
}

bool MessageDelivery::Next(MSG* msg, HWND window, UINT first, UINT last, bool remove, bool wait) {
    ThreadQueue& q = ThreadQueue::Current();
    for (;;) {
        const auto token = q.Token();
        ServeInbox(q);
        const Filter filter = Filter::For(window, first, last);
        bool found = false;
        switch (TakePosted(q, msg, filter, remove)) {
            case Found::Ran:
                continue;
            case Found::Message:
                found = true;
                break;
            case Found::None:
                break;
        }
        if (!found) found = TakeInput(q, msg, filter, remove);
        if (!found) found = TakeQuit(q, msg, remove);
        if (!found && InRange(WM_PAINT, first, last)) {
            if (HWND hwnd = FindPaint(q, filter)) {
                *msg = MSG{hwnd, WM_PAINT, 0, 0, 0, {}, 0};
                found = true;
            }
        }
        const auto now = ThreadQueue::Clock::now();
        if (!found && InRange(WM_TIMER, first, last)) found = TakeTimer(q, msg, filter, remove, now);
        if (found) {
            if (!msg->time) {  // made now: painting, timers, quitting
                msg->time = GetTickCount();
                GetCursorPos(&msg->pt);
            }
            if (remove) {
                q.messageTime = msg->time;
                q.messagePos = msg->pt;
                if (msg->message != WM_PAINT) {
                    q.idle = false;
                    q.idleCount = 0;
                }
            }
            return true;
        }
        Present(q);
        if (!wait) return false;
        if (q.idleHook && !q.idle) {
            const auto hook = q.idleHook;
            if (!hook(q.idleCount++)) q.idle = true;
            continue;
        }
        q.Wait(token, NextTimer(q));
    }
}

LRESULT MessageDelivery::Paint(HWND hwnd) {
    auto w = Manager().Find(hwnd);
    if (!w) return 0;
    int paints;
    {
        std::lock_guard guard(Manager().Lock());
        paints = w->paintCount;
    }
    const LRESULT result = Call(hwnd, WM_PAINT, 0, 0, false);
    bool painted;
    {
        std::lock_guard guard(Manager().Lock());
        painted = w->paintCount != paints;
    }
    if (!painted) ValidateRect(hwnd, nullptr);
    return result;
}

void MessageDelivery::Present(ThreadQueue& q) {
    struct Pending {
        HWND hwnd;
        std::shared_ptr<Surface> surface;
        RECT area;
    };
    std::vector<Pending> pending;
    {
        std::lock_guard guard(Manager().Lock());
        for (Window* top : Manager().TopLevels()) {
            if (top->thread != &q || top->dirty.IsEmpty() || !top->surface) continue;
            if (top->Visible()) pending.push_back({top->handle, top->surface, top->dirty.Bounds()});
            top->dirty.Clear();
        }
    }
    if (pending.empty()) return;
    DisplayDriver& driver = Manager().Driver();
    for (const Pending& p : pending) driver.Present(p.hwnd, *p.surface, p.area);
}
