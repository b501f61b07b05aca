#include "platform/window/MessageDelivery.h"

#include <algorithm>

#include "platform/kernel/LastError.h"
#include "platform/kernel/Threads.h"
#include "platform/window/DisplayDriver.h"
#include "platform/window/InputCooker.h"
#include "platform/window/LockedWindow.h"
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

    static Filter For(HWND window, UINT first, UINT last) EXCLUDES(gWindowLock) {
        Filter f{window, {}, first, last};
        if (!window || window == reinterpret_cast<HWND>(-1)) return f;
        LockedWindow w(window);
        std::vector<Window*> pending;
        if (w) pending.push_back(w.Get());
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

std::shared_ptr<SentMessage> Sent(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto sent = std::make_shared<SentMessage>();
    sent->hwnd = hwnd;
    sent->message = message;
    sent->wParam = wParam;
    sent->lParam = lParam;
    return sent;
}

bool InRange(UINT message, UINT first, UINT last) { return (!first && !last) || (message >= first && message <= last); }

// Runs the window system's own work queued for the thread's windows.
void RunTasks(ThreadQueue& q) EXCLUDES(gWindowLock) {
    for (;;) {
        WindowTask task;
        {
            Mutex::Guard guard(q.lock);
            if (q.tasks.empty()) return;
            task = std::move(q.tasks.front());
            q.tasks.pop_front();
        }
        if (Manager().Exists(task.hwnd)) task.run();
    }
}

bool TakePosted(ThreadQueue& q, MSG* msg, const Filter& filter, bool remove) {
    Mutex::Guard guard(q.lock);
    for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
        if (!filter.Takes(it->hwnd, it->message)) continue;
        *msg = *it;
        if (remove) q.posted.erase(it);
        return true;
    }
    return false;
}

// The first input message that matches, making raw input into messages as far as needed.
bool TakeInput(ThreadQueue& q, MSG* msg, const Filter& filter, bool remove) EXCLUDES(gWindowLock) {
    for (;;) {
        for (auto it = q.cooked.begin(); it != q.cooked.end(); ++it) {
            if (!filter.Takes(it->hwnd, it->message)) continue;
            *msg = *it;
            if (remove) q.cooked.erase(it);
            return true;
        }
        RawInput raw;
        {
            Mutex::Guard guard(q.lock);
            if (q.input.empty()) return false;
            raw = q.input.front();
            q.input.pop_front();
        }
        InputCooker::Cook(q, raw);
    }
}

bool TakeQuit(ThreadQueue& q, MSG* msg, bool remove) {
    Mutex::Guard guard(q.lock);
    if (!q.quitPosted) return false;
    *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(q.quitCode), 0, 0, {}, 0};
    if (remove) q.quitPosted = false;
    return true;
}

// A shown window of the thread with something to paint: parents before their children, top-level
// windows in z-order.
HWND FindPaint(ThreadQueue& q, const Filter& filter) EXCLUDES(gWindowLock) {
    Mutex::Guard guard(gWindowLock);
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
    Mutex::Guard guard(q.lock);
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
    Mutex::Guard guard(q.lock);
    auto next = ThreadQueue::Clock::now() + std::chrono::hours(1);
    for (const Timer& t : q.timers) next = std::min(next, t.due);
    return next;
}

}  // namespace

MessageDelivery::Owner MessageDelivery::OwnerOf(HWND hwnd) {
    ThreadQueue* self = &ThreadQueue::Current();
    LockedWindow w(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return Owner::None;
    }
    return w->thread == self ? Owner::Caller : Owner::Other;
}

LRESULT MessageDelivery::Call(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool hooked) {
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
        LockedWindow w(hwnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        proc = w->proc;
    }
    ++q.sendDepth;
    const LRESULT result = proc ? proc(hwnd, message, wParam, lParam) : DefWindowProcA(hwnd, message, wParam, lParam);
    --q.sendDepth;
    return result;
}

LRESULT MessageDelivery::SendAcross(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return Deliver(Sent(hwnd, message, wParam, lParam));
}

bool MessageDelivery::SendAcrossNoWait(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto sent = Sent(hwnd, message, wParam, lParam);  // no sender: nobody waits to be woken
    LockedWindow w(hwnd);
    if (!w || !Manager().ThreadAlive(w->thread)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    w->thread->Send(std::move(sent));  // under the manager's lock: the thread cannot end in between
    return true;
}

LRESULT MessageDelivery::RunOnOwner(HWND hwnd, std::function<LRESULT()> task) {
    const Owner owner = OwnerOf(hwnd);
    if (owner == Owner::None) return 0;
    if (owner == Owner::Caller) return task();
    auto sent = std::make_shared<SentMessage>();
    sent->hwnd = hwnd;
    sent->task = std::move(task);
    return Deliver(sent);
}

LRESULT MessageDelivery::Deliver(const std::shared_ptr<SentMessage>& sent) {
    ThreadQueue& q = ThreadQueue::Current();
    sent->sender = q.shared_from_this();
    ThreadQueue* target;
    {
        LockedWindow w(sent->hwnd);
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
        if (sent->done.load(std::memory_order_acquire)) break;
        Mutex::Guard guard(gWindowLock);
        if (!Manager().ThreadAlive(target)) break;
    }
    return sent->done.load(std::memory_order_acquire) ? sent->result : 0;
}

void MessageDelivery::ServeInbox(ThreadQueue& q) {
    for (;;) {
        std::shared_ptr<SentMessage> m;
        {
            Mutex::Guard guard(q.lock);
            if (q.inbox.empty()) return;
            m = q.inbox.front();
            q.inbox.pop_front();
        }
        LRESULT answer = 0;
        if (Manager().Exists(m->hwnd))
            answer = m->task ? m->task() : Call(m->hwnd, m->message, m->wParam, m->lParam, true);
        m->Answer(answer);
    }
}

bool MessageDelivery::Next(MSG* msg, HWND window, UINT first, UINT last, bool remove, bool wait) {
    ThreadQueue& q = ThreadQueue::Current();
    q.TakeAdded(QS_ALLINPUT | QS_ALLPOSTMESSAGE);
    for (;;) {
        const auto token = q.Token();
        ServeInbox(q);
        RunTasks(q);
        const Filter filter = Filter::For(window, first, last);
        bool found = TakePosted(q, msg, filter, remove);
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
    int paints;
    {
        LockedWindow w(hwnd);
        if (!w) return 0;
        paints = w->paintCount;
    }
    const LRESULT result = Call(hwnd, WM_PAINT, 0, 0, false);
    bool painted;
    {
        LockedWindow w(hwnd);
        painted = !w || w->paintCount != paints;
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
        Mutex::Guard guard(gWindowLock);
        for (Window* top : Manager().TopLevels()) {
            if (top->thread != &q || top->dirty.IsEmpty() || !top->surface) continue;
            if (top->Visible())
                for (const RECT& area : top->dirty.Rects()) pending.push_back({top->handle, top->surface, area});
            top->dirty.Clear();
        }
    }
    if (pending.empty()) return;
    const auto driver = Manager().Driver();
    for (const Pending& p : pending) driver->Present(p.hwnd, *p.surface, p.area);
}

void MessageDelivery::Expose(HWND hwnd) {
    ThreadQueue* thread;
    {
        LockedWindow w(hwnd);
        if (!w) return;
        w->dirty.Set(RECT{0, 0, w->Width(), w->Height()});
        thread = w->thread;
    }
    Present(*thread);
}
