// Messages on one thread: posting, filters, quitting, translation, hooks, timers, idle time.

#include "platform/kernel/LastError.h"
#include "platform/window/ModalLoop.h"
#include "tests/platform/window/WindowTesting.h"

namespace {

class MessageQueueTest : public WindowTest {};

TEST_F(MessageQueueTest, PostedMessagesComeInOrderAndFiltersPickAmongThem) {
    HWND top = TopLevel();
    HWND child = recorder.Create(top, RECT{0, 0, 10, 10});
    PumpAll();
    PostMessageA(top, WM_USER + 1, 1, 0);
    PostMessageA(child, WM_USER + 2, 2, 0);
    PostMessageA(top, WM_USER + 3, 3, 0);
    PostMessageA(nullptr, WM_USER + 4, 4, 0);

    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER + 3, WM_USER + 3, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    ASSERT_TRUE(PeekMessageA(&msg, child, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 2);
    ASSERT_TRUE(PeekMessageA(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE)) << "the thread's own";
    EXPECT_EQ(msg.message, WM_USER + 4);
    EXPECT_EQ(msg.hwnd, nullptr);
    std::vector<WPARAM> rest;
    while (PeekMessageA(&msg, nullptr, WM_USER, WM_USER + 10, PM_REMOVE)) rest.push_back(msg.wParam);
    EXPECT_EQ(rest, (std::vector<WPARAM>{1, 3}));

    // A parent's filter takes its children's messages too.
    PostMessageA(child, WM_USER + 5, 0, 0);
    EXPECT_TRUE(PeekMessageA(&msg, top, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, child);
}

TEST_F(MessageQueueTest, QuitComesAfterWhatWasPostedBeforeIt) {
    HWND top = TopLevel();
    PostMessageA(top, WM_USER, 0, 0);
    PostQuitMessage(3);
    MSG msg;
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.message, WM_USER);
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_EQ(GetMessageA(&msg, reinterpret_cast<HWND>(0x5678), 0, 0), -1) << "no such window";
}

TEST_F(MessageQueueTest, MessagesThatCarryPointersCannotBePosted) {
    HWND top = TopLevel();
    for (UINT m : {WM_SETTEXT, WM_GETTEXT, WM_NOTIFY, WM_WINDOWPOSCHANGED, WM_DRAWITEM}) {
        SetLastError(0);
        EXPECT_FALSE(PostMessageA(top, m, 0, 0)) << m;
        EXPECT_EQ(GetLastError(), ERROR_MESSAGE_SYNC_ONLY);
    }
    EXPECT_TRUE(PostMessageA(top, WM_USER + 100, 0, 0)) << "the application's own messages are its business";
    EXPECT_FALSE(PostMessageA(reinterpret_cast<HWND>(0x5678), WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(MessageQueueTest, TranslationPutsTheCharacterNext) {
    HWND top = TopLevel();
    SetFocus(top);
    PumpAll();
    display->KeyPress('A');
    PostMessageA(top, WM_USER, 0, 0);
    MSG msg;
    std::vector<UINT> order;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        order.push_back(msg.message);
        if (msg.message == WM_CHAR) {
            EXPECT_EQ(msg.wParam, static_cast<WPARAM>('a'));
        }
        TranslateMessage(&msg);
    }
    // Posted messages come before input, and the character before either.
    EXPECT_EQ(order, (std::vector<UINT>{WM_USER, WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
}

TEST_F(MessageQueueTest, HooksSeeSentMessagesOnlyAndChain) {
    HWND top = TopLevel();
    static std::vector<std::pair<int, UINT>> seen;
    static HHOOK first, second;
    seen.clear();
    first = SetWindowsHookExA(
        WH_CALLWNDPROC,
        [](int code, WPARAM w, LPARAM l) -> LRESULT {
            if (reinterpret_cast<CWPSTRUCT*>(l)->message >= 0x1E2)
                seen.emplace_back(1, reinterpret_cast<CWPSTRUCT*>(l)->message);
            return CallNextHookEx(first, code, w, l);
        },
        nullptr, 0);
    second = SetWindowsHookExA(
        WH_CALLWNDPROC,
        [](int code, WPARAM w, LPARAM l) -> LRESULT {
            if (reinterpret_cast<CWPSTRUCT*>(l)->message >= 0x1E2)
                seen.emplace_back(2, reinterpret_cast<CWPSTRUCT*>(l)->message);
            return CallNextHookEx(second, code, w, l);
        },
        nullptr, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(SetWindowsHookExA(WH_CALLWNDPROC, nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(SetWindowsHookExA(
                  WH_CALLWNDPROC, [](int, WPARAM, LPARAM) -> LRESULT { return 0; }, nullptr, 999999),
              nullptr)
        << "hooks on another thread are refused";

    SendMessageA(top, 0x1E2, 0, 0);
    PostMessageA(top, WM_USER, 0, 0);
    PumpAll();
    EXPECT_EQ(seen, (std::vector<std::pair<int, UINT>>{{2, 0x1E2u}, {1, 0x1E2u}})) << "the newest first";
    EXPECT_EQ(recorder.Count(top, WM_USER), 1);

    UnhookWindowsHookEx(second);
    UnhookWindowsHookEx(first);
    seen.clear();
    SendMessageA(top, 0x1E2, 0, 0);
    EXPECT_TRUE(seen.empty());
}

TEST_F(MessageQueueTest, SendsThatRecurseWithoutEndAreCutOff) {
    HWND top = TopLevel();
    int depth = 0, deepest = 0;
    recorder.On(WM_USER, [&](HWND h, UINT m, WPARAM, LPARAM, bool&) -> LRESULT {
        deepest = std::max(deepest, ++depth);
        SendMessageA(h, m, 0, 0);
        --depth;
        return 1;
    });
    EXPECT_EQ(SendMessageA(top, WM_USER, 0, 0), 1);
    EXPECT_GT(deepest, 100);
    EXPECT_LE(deepest, 256);
    EXPECT_EQ(GetLastError(), ERROR_STACK_OVERFLOW);
}

TEST_F(MessageQueueTest, TimersFireUntilKilledAndTimerProceduresAreCalled) {
    HWND top = TopLevel();
    PumpAll();
    ASSERT_EQ(SetTimer(top, 7, 10, nullptr), 7u);
    EXPECT_TRUE(PumpUntil([&] { return recorder.Count(top, WM_TIMER) >= 3; }));
    for (const Seen& s : recorder.Log())
        if (s.message == WM_TIMER) {
            EXPECT_EQ(s.wParam, 7u);
        }
    EXPECT_TRUE(KillTimer(top, 7));
    EXPECT_FALSE(KillTimer(top, 7));
    PumpAll();
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, top, WM_TIMER, WM_TIMER, PM_NOREMOVE));

    static int calls;
    calls = 0;
    const std::uintptr_t id = SetTimer(nullptr, 0, 10, [](HWND, UINT, std::uintptr_t, DWORD) { ++calls; });
    ASSERT_NE(id, 0u);
    EXPECT_TRUE(PumpUntil([] { return calls >= 2; }));
    KillTimer(nullptr, id);

    // A destroyed window's timers go with it.
    SetTimer(top, 1, 10, nullptr);
    DestroyWindow(top);
    EXPECT_FALSE(KillTimer(top, 1));
}

TEST_F(MessageQueueTest, IdleTimeRunsTheHookUntilItHasNothingMoreToDo) {
    HWND top = TopLevel();
    PumpAll();
    std::vector<long> counts;
    SetThreadIdleHook([&](long count) {
        counts.push_back(count);
        if (count == 2) PostMessageA(top, WM_USER, 0, 0);  // work arrives while idle
        return count < 2;
    });
    MSG msg;
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_USER);
    EXPECT_EQ(counts, (std::vector<long>{0, 1, 2}));
    // The next empty queue starts a new round.
    PostMessageA(top, WM_USER + 1, 0, 0);
    SetThreadIdleHook([&](long count) {
        counts.push_back(count);
        PostMessageA(top, WM_USER + 2, 0, 0);
        return false;
    });
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_USER + 1);
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_USER + 2);
    EXPECT_EQ(counts.back(), 0);
    SetThreadIdleHook(nullptr);
}

TEST_F(MessageQueueTest, AModalLoopRunsUntilItsConditionAndPassesAQuitOn) {
    HWND top = TopLevel();
    bool ended = false;
    recorder.On(WM_USER, [&](HWND, UINT, WPARAM, LPARAM, bool& handled) {
        handled = true;
        ended = true;
        return LRESULT{0};
    });
    std::vector<UINT> filtered;
    PostMessageA(top, WM_USER + 1, 0, 0);
    PostMessageA(top, WM_USER, 0, 0);
    PostMessageA(top, WM_USER + 2, 0, 0);  // after the condition holds: left for the next loop
    EXPECT_EQ(ModalLoop::Run([&] { return ended; },
                             [&](MSG& m) {
                                 filtered.push_back(m.message);
                                 return m.message == WM_USER + 1;  // consumed: never dispatched
                             }),
              ModalLoop::Result::Done);
    EXPECT_EQ(filtered, (std::vector<UINT>{WM_USER + 1, WM_USER}));
    EXPECT_EQ(recorder.Count(top, WM_USER + 1), 0);

    EXPECT_EQ(recorder.Count(top, WM_USER + 2), 0);

    // A quit ends the inner loop (after what was posted before it) and is there again for the
    // outer one.
    PostQuitMessage(3);
    EXPECT_EQ(ModalLoop::Run([] { return false; }), ModalLoop::Result::Quit);
    EXPECT_EQ(recorder.Count(top, WM_USER + 2), 1);
    MSG msg;
    EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(MessageQueueTest, QueueStatusSaysWhatIsThereAndWhatIsNew) {
    HWND top = TopLevel();
    PumpAll();
    EXPECT_EQ(GetQueueStatus(QS_ALLINPUT), 0u);
    PostMessageA(top, WM_USER, 0, 0);
    EXPECT_EQ(GetQueueStatus(QS_POSTMESSAGE), MAKELONG(QS_POSTMESSAGE, QS_POSTMESSAGE));
    EXPECT_EQ(GetQueueStatus(QS_POSTMESSAGE), MAKELONG(0, QS_POSTMESSAGE)) << "no longer new";
    InvalidateRect(top, nullptr, FALSE);
    EXPECT_EQ(HIWORD(GetQueueStatus(QS_PAINT | QS_TIMER)), QS_PAINT) << "only the kinds asked for";
    display->MoveMouse(OnScreen(top, 5, 5));
    display->KeyPress('A');
    EXPECT_EQ(HIWORD(GetQueueStatus(QS_INPUT)), QS_MOUSEMOVE | QS_KEY);
    PumpAll();
    EXPECT_EQ(GetQueueStatus(QS_ALLINPUT), 0u) << "taking empties it";
    SetTimer(top, 1, 10, nullptr);
    EXPECT_TRUE(PumpUntil([] { return HIWORD(GetQueueStatus(QS_TIMER)) == QS_TIMER; }, std::chrono::seconds(30)));
    KillTimer(top, 1);
}

}  // namespace
