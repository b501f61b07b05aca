// Sends between threads: answered on the owner's thread, no dead-lock when threads send to each
// other, and an answer of 0 when the window or its thread goes first.

#include <atomic>
#include <future>
#include <thread>

#include "platform/kernel/Threads.h"
#include "tests/platform/window/WindowTesting.h"

namespace {

class CrossThreadTest : public WindowTest {};

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
                if (SendMessageA(w, WM_USER, static_cast<WPARAM>(uiSends), 0) != uiSends + 1) ++uiWrong;
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

TEST_F(CrossThreadTest, ASendToAWindowThatGoesMeanwhileReturnsZero) {
    // The worker's window is destroyed before the worker ever looks at its queue again.
    std::promise<void> sending;
    auto sendingNow = sending.get_future();
    std::atomic<bool> handled{false};
    WorkerWindow worker([&](HWND hwnd) {
        Recorder::Instance().On(WM_USER + 3, [&](HWND, UINT, WPARAM, LPARAM, bool&) -> LRESULT {
            handled = true;
            return 1;
        });
        sendingNow.wait();
        DestroyWindow(hwnd);
    });
    std::thread sender([&] {
        sending.set_value();
        EXPECT_EQ(SendMessageA(worker.hwnd, WM_USER + 3, 0, 0), 0);
    });
    sender.join();
    EXPECT_FALSE(handled.load());
}

TEST_F(CrossThreadTest, ASendToAThreadThatEndsReturnsZero) {
    std::promise<HWND> created;
    std::promise<void> sent;
    auto sentFuture = sent.get_future();
    std::thread owner([&] {
        created.set_value(Recorder::Instance().Create(nullptr, RECT{0, 0, 10, 10}, WS_POPUP));
        sentFuture.wait();  // ends without ever answering
    });
    const HWND hwnd = created.get_future().get();
    std::thread releaser([&] { sent.set_value(); });
    EXPECT_EQ(SendMessageA(hwnd, WM_USER, 0, 0), 0);
    releaser.join();
    owner.join();
    EXPECT_FALSE(IsWindow(hwnd));
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

}  // namespace
