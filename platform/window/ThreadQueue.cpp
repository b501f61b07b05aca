#include "platform/window/ThreadQueue.h"

#include <sched.h>

#include <algorithm>

#include "platform/kernel/Futex.h"
#include "platform/kernel/ThreadIdentity.h"
#include "platform/window/WindowManager.h"

namespace {

constexpr auto kSpin = std::chrono::microseconds(50);
constexpr auto kSpinBeforeYield = std::chrono::microseconds(3);

// Ends with the thread: its windows are destroyed and the messages sent to it answered.
struct QueueHolder {
    std::shared_ptr<ThreadQueue> queue;
    ~QueueHolder() {
        if (queue) WindowManager::Instance().ThreadEnding(*queue);
    }
};

thread_local QueueHolder tQueue;

UINT KindOf(const RawInput& raw) {
    switch (raw.kind) {
        case RawInput::Kind::Move:
            return QS_MOUSEMOVE;
        case RawInput::Kind::KeyDown:
        case RawInput::Kind::KeyUp:
            return QS_KEY;
        default:
            return QS_MOUSEBUTTON;
    }
}

UINT KindOf(const MSG& cooked) {
    if (cooked.message == WM_MOUSEMOVE || cooked.message == WM_NCMOUSEMOVE) return QS_MOUSEMOVE;
    return cooked.message >= WM_KEYFIRST && cooked.message <= WM_KEYLAST ? QS_KEY : QS_MOUSEBUTTON;
}

}  // namespace

ThreadQueue& ThreadQueue::Current() {
    if (!tQueue.queue) {
        tQueue.queue = std::make_shared<ThreadQueue>();
        WindowManager::Instance().ThreadStarted(*tQueue.queue);
    }
    return *tQueue.queue;
}

ThreadQueue::ThreadQueue() : threadId(kernel::ThreadIdentity::CurrentId()) {}
ThreadQueue::~ThreadQueue() = default;

void ThreadQueue::Post(const MSG& msg) {
    {
        Mutex::Guard guard(lock);
        posted.push_back(msg);
    }
    Added(QS_POSTMESSAGE | QS_ALLPOSTMESSAGE);
    Wake();
}

void ThreadQueue::PostInput(const RawInput& raw) {
    {
        Mutex::Guard guard(lock);
        input.push_back(raw);
    }
    Added(KindOf(raw));
    Wake();
}

void ThreadQueue::PostTask(WindowTask task) {
    {
        Mutex::Guard guard(lock);
        tasks.push_back(std::move(task));
    }
    Wake();
}

void ThreadQueue::Send(std::shared_ptr<SentMessage> message) {
    {
        Mutex::Guard guard(lock);
        inbox.push_back(std::move(message));
    }
    Added(QS_SENDMESSAGE);
    Wake();
}

void SentMessage::Answer(LRESULT answer) {
    result = answer;
    const std::shared_ptr<ThreadQueue> waiting = sender;  // `this` may go once `done` is seen
    done.store(true, std::memory_order_release);
    if (waiting) waiting->Wake();
}

std::vector<std::shared_ptr<SentMessage>> ThreadQueue::Forget(HWND hwnd) {
    Mutex::Guard guard(lock);
    posted.erase(std::remove_if(posted.begin(), posted.end(), [&](const MSG& m) { return m.hwnd == hwnd; }),
                 posted.end());
    tasks.erase(std::remove_if(tasks.begin(), tasks.end(), [&](const WindowTask& t) { return t.hwnd == hwnd; }),
                tasks.end());
    timers.erase(std::remove_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.hwnd == hwnd; }),
                 timers.end());
    std::vector<std::shared_ptr<SentMessage>> unanswered;
    const auto kept = std::stable_partition(inbox.begin(), inbox.end(), [&](const auto& m) { return m->hwnd != hwnd; });
    unanswered.assign(kept, inbox.end());
    inbox.erase(kept, inbox.end());
    return unanswered;
}

UINT ThreadQueue::Waiting(Clock::time_point now) {
    UINT kinds = 0;
    for (const MSG& m : cooked) kinds |= KindOf(m);
    Mutex::Guard guard(lock);
    if (!posted.empty()) kinds |= QS_POSTMESSAGE | QS_ALLPOSTMESSAGE;
    if (!inbox.empty()) kinds |= QS_SENDMESSAGE;
    for (const RawInput& raw : input) kinds |= KindOf(raw);
    if (std::any_of(timers.begin(), timers.end(), [&](const Timer& t) { return t.due <= now; })) kinds |= QS_TIMER;
    return kinds;
}

void ThreadQueue::Wake() {
    wake_.fetch_add(1, std::memory_order_seq_cst);
    if (sleepers_.load(std::memory_order_seq_cst) != 0) kernel::Futex::WakeAll(&wake_);
}

void ThreadQueue::Wait(std::uint32_t token, Clock::time_point deadline) {
    const Clock::time_point start = Clock::now();
    const Clock::time_point spinEnd = std::min(deadline, start + kSpin);
    for (unsigned spins = 1;; ++spins) {
        if (wake_.load(std::memory_order_acquire) != token) return;
        if (spins % 16 == 0) {
            const Clock::time_point now = Clock::now();
            if (now >= spinEnd) break;
            if (now - start >= kSpinBeforeYield) sched_yield();
        }
    }
    if (Clock::now() >= deadline) return;
    sleepers_.fetch_add(1, std::memory_order_seq_cst);
    if (wake_.load(std::memory_order_seq_cst) == token) kernel::Futex::Wait(&wake_, token, deadline);
    sleepers_.fetch_sub(1, std::memory_order_relaxed);
}
