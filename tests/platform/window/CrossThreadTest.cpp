// Sends between threads: answered on the owner's thread, no dead-lock when threads send to each
// other, and an answer of 0 when the window or its thread goes first.

#include <atomic>
#include <future>
#include <thread>

#include "platform/kernel/Threads.h"
#include "tests/platform/window/WindowTesting.h"

namespace {

class CrossThreadTest : public WindowTest {};

// Waits, without taking anything, until the calling thread's queue holds `kinds` (QS_*).
bool WaitForQueued(UINT kinds) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!(HIWORD(GetQueueStatus(kinds)) & kinds)) {
        if (std::chrono::steady_clock::now() > giveUp) return false;
        std::this_thread::yield();
    }
    return true;
}

// A thread with a window of its own that pumps until told to stop, then destroys its window.
class WorkerWindow {
public:
    explicit WorkerWindow(std::function<void(HWND)> afterCreate = nullptr) {
        std::promise<HWND> created;
        auto ready = created.get_future();
        thread_ = std::thread([this, &created, afterCreate] {
            Recorder& r = Recorder::Instance();
            r.On(WM_USER, [](HWND, UINT, WPARAM w, LPARAM, bool&) -> LRESULT {
                return static_cast<LRESULT>(w) + static_cast<LRESULT>(GetCurrentThreadId());
            });
            HWND hwnd = r.Create(nullptr, RECT{0, 0, 10, 10}, WS_POPUP);
            threadId_ = GetCurrentThreadId();
            created.set_value(hwnd);
            if (afterCreate) afterCreate(hwnd);
            PumpUntil([this] { return stop_.load(); }, std::chrono::minutes(5));
            DestroyWindow(hwnd);
        });
        hwnd = ready.get();
    }
    ~WorkerWindow() {
        stop_ = true;
        PostThreadMessageA(threadId_, WM_NULL, 0, 0);
        thread_.join();
    }
    DWORD ThreadId() const { return threadId_; }

    HWND hwnd = nullptr;

private:
    std::thread thread_;
    std::atomic<bool> stop_{false};
    DWORD threadId_ = 0;
};

TEST_F(CrossThreadTest, ASendRunsOnTheOwnersThreadAndReturnsItsResult) {
    WorkerWindow worker;
    EXPECT_EQ(SendMessageA(worker.hwnd, WM_USER, 5, 0), static_cast<LRESULT>(5 + worker.ThreadId()));
    EXPECT_NE(worker.ThreadId(), GetCurrentThreadId());
    EXPECT_FALSE(DestroyWindow(worker.hwnd)) << "only its own thread destroys a window";
}

TEST_F(CrossThreadTest, ThreadsSendingToEachOtherDoNotDeadlock) {
    HWND ui = TopLevel();
    WorkerWindow worker;
    // The UI's handler sends back to the worker, which is itself waiting in a send to the UI.
    recorder.On(WM_USER + 1, [&](HWND, UINT, WPARAM w, LPARAM, bool&) -> LRESULT {
        return SendMessageA(worker.hwnd, WM_USER, w, 0) - static_cast<LRESULT>(worker.ThreadId());
    });
    std::atomic<LRESULT> answer{-1};
    std::thread sender([&] { answer = SendMessageA(ui, WM_USER + 1, 40, 0); });
    EXPECT_TRUE(PumpUntil([&] { return answer.load() != -1; }));
    sender.join();
    EXPECT_EQ(answer.load(), 40);
}

TEST_F(CrossThreadTest, AWorkerSendsThousandsWhileTheUiSendsBack) {
    HWND ui = TopLevel();
    constexpr int kSends = 5000;
    std::atomic<int> answeredOnUi{0};
    const DWORD uiThread = GetCurrentThreadId();
    recorder.On(WM_USER + 2, [&](HWND, UINT, WPARAM w, LPARAM, bool&) -> LRESULT {
        if (GetCurrentThreadId() == uiThread) ++answeredOnUi;
        return static_cast<LRESULT>(w) * 2;
    });
    // The worker is a loader: it sends one message per record and has a window the UI sends to.
    std::atomic<int> wrong{0}, workerDone{0};
    std::atomic<HWND> workerWindow{nullptr};
    std::thread loader([&] {
        Recorder& r = Recorder::Instance();
        r.On(WM_USER, [](HWND, UINT, WPARAM w, LPARAM, bool&) -> LRESULT { return static_cast<LRESULT>(w) + 1; });
        workerWindow = r.Create(nullptr, RECT{0, 0, 10, 10}, WS_POPUP);
        for (int i = 0; i < kSends; ++i)
            if (SendMessageA(ui, WM_USER + 2, static_cast<WPARAM>(i), 0) != 2 * i) ++wrong;
        workerDone = 1;
        PostMessageA(ui, WM_NULL, 0, 0);
    });
    int uiSends = 0, uiWrong = 0;
    EXPECT_TRUE(PumpUntil(
        [&] {
            if (HWND w = workerWindow.load(); w && !workerDone) {
                // The worker may finish between the look and the send; its thread's end then
                // answers zero, which is right. Only an answer while it still works must be its own.
                const LRESULT answer = SendMessageA(w, WM_USER, static_cast<WPARAM>(uiSends), 0);
                if (answer != uiSends + 1 && !workerDone) ++uiWrong;
                ++uiSends;
            }
            return workerDone.load() == 1;
        },
        std::chrono::minutes(5)));
    loader.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(uiWrong, 0);
    EXPECT_EQ(answeredOnUi.load(), kSends);
    EXPECT_FALSE(IsWindow(workerWindow.load())) << "a thread's windows end with it";
}

TEST_F(CrossThreadTest, ASendToAWindowThatGoesMeanwhileIsAnsweredZeroAtOnce) {
    // The worker destroys its window once the send is queued, and does not look at its queue
    // again until the sender has its answer: the window's going must give it.
    std::promise<LRESULT> answer;
    std::promise<bool> answeredFirst;
    auto answered = answer.get_future();
    auto first = answeredFirst.get_future();
    std::atomic<bool> handled{false};
    WorkerWindow worker([&](HWND hwnd) {
        Recorder::Instance().On(WM_USER + 3, [&](HWND, UINT, WPARAM, LPARAM, bool&) -> LRESULT {
            handled = true;
            return 1;
        });
        if (!WaitForQueued(QS_SENDMESSAGE)) return answeredFirst.set_value(false);
        DestroyWindow(hwnd);
        answeredFirst.set_value(answered.wait_for(std::chrono::seconds(30)) == std::future_status::ready);
    });
    std::thread sender([&] { answer.set_value(SendMessageA(worker.hwnd, WM_USER + 3, 0, 0)); });
    sender.join();
    ASSERT_EQ(first.wait_for(std::chrono::minutes(1)), std::future_status::ready);
    EXPECT_TRUE(first.get()) << "answered when the window went, not when its thread looked again";
    EXPECT_EQ(answered.get(), 0);
    EXPECT_FALSE(handled.load());
}

TEST_F(CrossThreadTest, ASendToAThreadThatEndsIsAnsweredZeroWhenItsWindowGoes) {
    std::promise<HWND> created;
    std::promise<LRESULT> answer;
    auto answered = answer.get_future();
    std::atomic<bool> handled{false}, queued{false}, answeredInTime{false};
    std::thread owner([&] {
        Recorder& r = Recorder::Instance();
        r.On(WM_USER, [&](HWND, UINT, WPARAM, LPARAM, bool&) -> LRESULT {
            handled = true;
            return 1;
        });
        // The target is owned by `last`, so whichever the ending thread takes first, the target
        // goes before `last` does.
        const HWND last = r.Create(nullptr, RECT{0, 0, 10, 10}, WS_POPUP);
        const HWND target = r.Create(last, RECT{0, 0, 10, 10}, WS_POPUP);
        r.On(WM_DESTROY, [&, last](HWND hwnd, UINT, WPARAM, LPARAM, bool& done) -> LRESULT {
            if (hwnd == last)
                answeredInTime = answered.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
            done = false;
            return 0;
        });
        created.set_value(target);
        queued = WaitForQueued(QS_SENDMESSAGE);  // then ends without ever answering
    });
    const HWND hwnd = created.get_future().get();
    std::thread sender([&] { answer.set_value(SendMessageA(hwnd, WM_USER, 0, 0)); });
    owner.join();
    sender.join();
    EXPECT_TRUE(queued.load());
    EXPECT_TRUE(answeredInTime.load()) << "answered when its window went, not once the thread was gone";
    EXPECT_EQ(answered.get(), 0);
    EXPECT_FALSE(handled.load());
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(CrossThreadTest, WindowsMadeWhileAThreadEndsGoWithIt) {
    HWND late = nullptr;
    std::thread owner([&] {
        Recorder& r = Recorder::Instance();
        HWND first = r.Create(nullptr, RECT{0, 0, 10, 10}, WS_POPUP);
        r.On(WM_DESTROY, [&, first](HWND hwnd, UINT, WPARAM, LPARAM, bool& handled) -> LRESULT {
            if (hwnd == first) late = Recorder::Instance().Create(nullptr, RECT{0, 0, 10, 10}, WS_POPUP);
            handled = false;
            return 0;
        });
    });
    owner.join();
    ASSERT_NE(late, nullptr);
    EXPECT_FALSE(IsWindow(late)) << "no window outlives its thread";
    EXPECT_FALSE(PostMessageA(late, WM_USER, 0, 0));
}

TEST_F(CrossThreadTest, PostsFromOtherThreadsWakeTheOwner) {
    HWND ui = TopLevel();
    std::thread poster([&] {
        for (int i = 0; i < 100; ++i) PostMessageA(ui, WM_USER + 4, static_cast<WPARAM>(i), 0);
    });
    EXPECT_TRUE(PumpUntil([&] { return recorder.Count(ui, WM_USER + 4) == 100; }));
    poster.join();
    WPARAM expected = 0;
    for (const Seen& s : recorder.Log())
        if (s.message == WM_USER + 4) {
            EXPECT_EQ(s.wParam, expected++) << "in the order posted";
        }
}

TEST_F(CrossThreadTest, TakingWithAWindowFilterWhileAnotherThreadPosts) {
    HWND ui = TopLevel();
    HWND child = recorder.Create(ui, RECT{0, 0, 10, 10});
    constexpr int kPosts = 3000;
    std::thread poster([&] {
        for (int i = 0; i < kPosts; ++i) PostMessageA(child, WM_USER + 5, static_cast<WPARAM>(i), 0);
    });
    // The filter's family is looked up while the poster holds the window system's lock.
    int taken = 0;
    MSG msg;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (taken < kPosts && std::chrono::steady_clock::now() < deadline)
        if (PeekMessageA(&msg, ui, WM_USER + 5, WM_USER + 5, PM_REMOVE)) ++taken;
    poster.join();
    EXPECT_EQ(taken, kPosts);
}

// The numbers the window system once used for its own work are the application's like any other:
// whatever their parameters, they reach the window procedure and nothing else.
TEST_F(CrossThreadTest, EveryMessageNumberIsTheApplicationsOwn) {
    HWND ui = TopLevel();
    constexpr UINT kFirst = 0x03D0, kLast = 0x03EF;
    constexpr WPARAM kJunk = ~WPARAM{0};
    constexpr LPARAM kJunkPointer = 0x10;
    for (UINT m = kFirst; m <= kLast; ++m) {
        EXPECT_TRUE(PostMessageA(ui, m, kJunk, kJunkPointer)) << m;
        EXPECT_TRUE(PostThreadMessageA(GetCurrentThreadId(), m, kJunk, kJunkPointer)) << m;
        SendMessageA(ui, m, kJunk, kJunkPointer);
    }
    std::thread other([&] {
        for (UINT m = kFirst; m <= kLast; ++m) {
            SendMessageA(ui, m, kJunk, kJunkPointer);
            PostMessageA(ui, m, kJunk, kJunkPointer);
        }
    });
    const int perNumber = 4;  // posted and sent from here, sent and posted from the other thread
    EXPECT_TRUE(PumpUntil([&] {
        for (UINT m = kFirst; m <= kLast; ++m)
            if (recorder.Count(ui, m) < perNumber) return false;
        return true;
    }));
    other.join();
    PumpAll();
    for (UINT m = kFirst; m <= kLast; ++m) EXPECT_EQ(recorder.Count(ui, m), perNumber) << m;
    for (const Seen& seen : recorder.Log())
        if (seen.message >= kFirst && seen.message <= kLast) {
            EXPECT_EQ(seen.wParam, kJunk);
            EXPECT_EQ(seen.lParam, kJunkPointer);
        }
    EXPECT_TRUE(IsWindowVisible(ui));
}

// What a window is made of changes under the window system's lock, whichever thread changes it
// (a ThreadSanitizer build sees any access without it).
TEST_F(CrossThreadTest, FieldsChangedFromAnotherThreadWhileTheOwnerShowsAndMovesTheWindow) {
    HWND ui = TopLevel();
    HWND child = recorder.Create(ui, RECT{0, 0, 20, 20});
    std::atomic<bool> done{false};
    std::atomic<int> rounds{0};
    std::thread other([&] {
        char name[64];
        RECT r;
        for (int i = 0; !done; ++i) {
            SetWindowLongPtrA(child, GWL_STYLE, GetWindowLongPtrA(child, GWL_STYLE) ^ WS_TABSTOP);
            SetWindowLongPtrA(child, GWL_EXSTYLE, GetWindowLongPtrA(child, GWL_EXSTYLE) ^ WS_EX_TRANSPARENT);
            SetWindowLongPtrA(ui, GWLP_USERDATA, i);
            SetPropA(child, "round", reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(i)));
            GetWindowRect(child, &r);
            GetClassNameA(child, name, sizeof name);
            IsWindowVisible(child);
            InvalidateRect(child, nullptr, TRUE);
            rounds = i + 1;
        }
    });
    // The owner shows, hides, moves, reframes and paints meanwhile; the rounds give a
    // ThreadSanitizer build a fair chance to see a field read without the lock.
    for (int round = 0; round < 10000; ++round) {
        ShowWindow(child, round % 2 ? SW_HIDE : SW_SHOW);
        SetWindowPos(ui, nullptr, 100 + round % 5, 100, 300, 200, SWP_NOZORDER);
        SetWindowPos(child, nullptr, round % 7, 0, 20, 20, SWP_NOZORDER | SWP_FRAMECHANGED);
        UpdateWindow(ui);
    }
    done = true;
    other.join();
    const int last = rounds - 1;
    EXPECT_EQ(GetWindowLongPtrA(ui, GWLP_USERDATA), last);
    EXPECT_EQ(GetPropA(child, "round"), reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(last)));
    EXPECT_EQ((GetWindowLongPtrA(child, GWL_STYLE) & WS_TABSTOP) != 0, rounds % 2 == 1);
    EXPECT_EQ((GetWindowLongPtrA(child, GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0, rounds % 2 == 1);
}

}  // namespace
