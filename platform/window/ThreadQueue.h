#pragma once
// The message queue of one thread: messages posted to its windows, messages sent to them from
// other threads, raw input waiting to become mouse and keyboard messages, its timers and hooks,
// and the window system's own work for its windows (tasks), which no application message can
// reach. A thread waits for its queue briefly spinning, then asleep.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "platform/window/Mutex.h"
#include "platform/window/WindowLock.h"
#include "platform/window/WindowTypes.h"

// A message sent across threads: the sender waits until `done`.
struct SentMessage {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    // The window system's own work, run on the receiving thread instead of a window procedure.
    std::function<LRESULT()> task;
    LRESULT result = 0;
    std::atomic<bool> done{false};
    std::shared_ptr<class ThreadQueue> sender;  // kept alive until it has been woken

    // Hands the sender its result and wakes it.
    void Answer(LRESULT answer);
};

// Work posted to the thread of a window: what the display reported about it.
struct WindowTask {
    HWND hwnd;
    std::function<void()> run;
};

// Input as the display driver reports it, made into messages when the thread takes it.
struct RawInput {
    enum class Kind { Move, ButtonDown, ButtonUp, Wheel, KeyDown, KeyUp } kind = Kind::Move;
    HWND topLevel = nullptr;  // the window under the pointer, or the focus for keys
    POINT screen{};
    int button = 0;  // 0 left, 1 right, 2 middle
    int wheel = 0;
    int vk = 0;
    char32_t text = 0;  // what the key types, if anything
    DWORD time = 0;
};

struct Timer {
    HWND hwnd;
    std::uintptr_t id;
    DWORD interval;
    TIMERPROC proc;
    std::chrono::steady_clock::time_point due;
};

class ThreadQueue : public std::enable_shared_from_this<ThreadQueue> {
public:
    using Clock = std::chrono::steady_clock;

    // The calling thread's queue, made on first use; it goes with the thread.
    static ThreadQueue& Current() EXCLUDES(gWindowLock);

    ThreadQueue();
    ~ThreadQueue();
    ThreadQueue(const ThreadQueue&) = delete;
    ThreadQueue& operator=(const ThreadQueue&) = delete;

    void Post(const MSG& msg) EXCLUDES(lock);
    void PostInput(const RawInput& input) EXCLUDES(lock);
    void PostTask(WindowTask task) EXCLUDES(lock);
    void Send(std::shared_ptr<SentMessage> message) EXCLUDES(lock);
    // Drops what is queued for a window that goes: its posted messages, tasks and timers; the
    // messages sent to it are returned, for the caller to answer outside the lock.
    std::vector<std::shared_ptr<SentMessage>> Forget(HWND hwnd) EXCLUDES(lock);
    // What is waiting (QS_* bits): sent and posted messages, input, timers that are due. Painting
    // is the window manager's to say. The owning thread only.
    UINT Waiting(Clock::time_point now) EXCLUDES(lock);
    // The QS_* kinds queued since the owner last looked, forgotten as they are read.
    UINT TakeAdded(UINT kinds) { return added_.fetch_and(~kinds, std::memory_order_acq_rel) & kinds; }
    // Lets a waiting thread look at its queue again.
    void Wake();
    // A waiter takes the token before it looks at its queue, then waits with it: a Wake between
    // the look and the wait is not lost.
    std::uint32_t Token() const { return wake_.load(std::memory_order_acquire); }
    // Waits until woken (since `token` was taken) or `deadline`: a short spin, then asleep.
    void Wait(std::uint32_t token, Clock::time_point deadline);

    const DWORD threadId;

    Mutex lock;  // guards the containers below
    std::deque<MSG> posted GUARDED_BY(lock);
    std::deque<RawInput> input GUARDED_BY(lock);
    std::deque<WindowTask> tasks GUARDED_BY(lock);
    std::deque<std::shared_ptr<SentMessage>> inbox GUARDED_BY(lock);
    std::vector<Timer> timers GUARDED_BY(lock);
    bool quitPosted GUARDED_BY(lock) = false;
    int quitCode GUARDED_BY(lock) = 0;

    // Only the owning thread touches these.
    std::deque<MSG> cooked;  // input made into messages, not yet taken
    std::vector<std::pair<HHOOK, HOOKPROC>> callWndProcHooks;
    std::function<bool(long)> idleHook;
    long idleCount = 0;
    bool idle = false;  // the idle hook asked not to be called until the next message
    int sendDepth = 0;
    BYTE keyState[256] = {};
    struct Click {
        HWND hwnd = nullptr;
        int button = -1;
        DWORD time = 0;
        POINT at{};
    } lastClick;
    DWORD messageTime = 0;
    POINT messagePos{};

private:
    void Added(UINT kinds) { added_.fetch_or(kinds, std::memory_order_acq_rel); }

    std::atomic<std::uint32_t> wake_{0};
    std::atomic<int> sleepers_{0};
    std::atomic<UINT> added_{0};
};
