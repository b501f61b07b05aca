#pragma once
// The message queue of one thread: messages posted to its windows, messages sent to them from
// other threads, raw input waiting to become mouse and keyboard messages, its timers and hooks.
// A thread waits for its queue briefly spinning, then asleep.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/window/WindowTypes.h"

// A message sent across threads: the sender waits until `done`.
struct SentMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
    std::atomic<bool> done{false};
    std::shared_ptr<class ThreadQueue> sender;  // kept alive until it has been woken

    // Hands the sender its result and wakes it.
    void Answer(LRESULT answer);
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
    static ThreadQueue& Current();

    ThreadQueue();
    ~ThreadQueue();
    ThreadQueue(const ThreadQueue&) = delete;
    ThreadQueue& operator=(const ThreadQueue&) = delete;

    void Post(const MSG& msg);
    void PostInput(const RawInput& input);
    void Send(std::shared_ptr<SentMessage> message);
    // Drops what is queued for a window that goes: its posted messages and timers; the messages
    // sent to it are returned, for the caller to answer outside the lock.
    std::vector<std::shared_ptr<SentMessage>> Forget(HWND hwnd);
    // Lets a waiting thread look at its queue again.
    void Wake();
    // A waiter takes the token before it looks at its queue, then waits with it: a Wake between
    // the look and the wait is not lost.
    std::uint32_t Token() const { return wake_.load(std::memory_order_acquire); }
    // Waits until woken (since `token` was taken) or `deadline`: a short spin, then asleep.
    void Wait(std::uint32_t token, Clock::time_point deadline);

    const DWORD threadId;

    std::mutex lock;  // guards the containers below
    std::deque<MSG> posted;
    std::deque<RawInput> input;
    std::deque<std::shared_ptr<SentMessage>> inbox;
    std::vector<Timer> timers;
    bool quitPosted = false;
    int quitCode = 0;

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
    std::atomic<std::uint32_t> wake_{0};
    std::atomic<int> sleepers_{0};
};
