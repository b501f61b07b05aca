// Events and the waits: reset modes, time-outs, waiting for any of several objects, and signals
// that cross processes.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/kernel/FileMapping.h"
#include "platform/kernel/LastError.h"
#include "platform/kernel/Synchronization.h"
#include "platform/kernel/UniqueHandle.h"
#include "tests/platform/kernel/KernelTestSupport.h"
#include "tests/support/TestNames.h"

TEST(Event, ResetModes) {
    struct Case {
        BOOL manual;
        DWORD secondWait;
    };
    for (Case c : {Case{FALSE, WAIT_TIMEOUT}, Case{TRUE, WAIT_OBJECT_0}}) {
        UniqueHandle e(CreateEventA(nullptr, c.manual, FALSE, nullptr));
        ASSERT_TRUE(e);
        EXPECT_EQ(WaitForSingleObject(e.Get(), 0), WAIT_TIMEOUT);
        ASSERT_TRUE(SetEvent(e.Get()));
        ASSERT_TRUE(SetEvent(e.Get())) << "signals do not add up";
        EXPECT_EQ(WaitForSingleObject(e.Get(), 0), WAIT_OBJECT_0);
        EXPECT_EQ(WaitForSingleObject(e.Get(), 0), c.secondWait) << "manual " << c.manual;
        ASSERT_TRUE(ResetEvent(e.Get()));
        EXPECT_EQ(WaitForSingleObject(e.Get(), 0), WAIT_TIMEOUT);
    }
}

TEST(Event, InitialStateAndAccessRights) {
    const std::string name = GlobalName(UniqueName("rights"));
    UniqueHandle e(CreateEventA(nullptr, TRUE, TRUE, name.c_str()));
    ASSERT_TRUE(e);
    UniqueHandle waitOnly(OpenEventA(SYNCHRONIZE, FALSE, name.c_str()));
    ASSERT_TRUE(waitOnly);
    EXPECT_EQ(WaitForSingleObject(waitOnly.Get(), 0), WAIT_OBJECT_0);
    EXPECT_FALSE(SetEvent(waitOnly.Get()));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    UniqueHandle modifyOnly(OpenEventA(EVENT_MODIFY_STATE, FALSE, name.c_str()));
    EXPECT_EQ(WaitForSingleObject(modifyOnly.Get(), 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

TEST(Wait, TimesOutAfterRoughlyItsTime) {
    UniqueHandle e(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForSingleObject(e.Get(), 30), WAIT_TIMEOUT);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
}

TEST(Wait, SleeperIsWokenBySetFromAnotherThread) {
    UniqueHandle e(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    std::atomic<DWORD> result{WAIT_FAILED};
    std::thread waiter([&] { result = WaitForSingleObject(e.Get(), INFINITE); });
    // Give it every chance to be asleep already; correctness does not depend on it.
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    SetEvent(e.Get());
    waiter.join();
    EXPECT_EQ(result, WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(e.Get(), 0), WAIT_TIMEOUT) << "the waiter consumed the signal";
}

TEST(Wait, AnyOfSeveralReportsTheFirstReadyIndex) {
    UniqueHandle a(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    UniqueHandle b(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    UniqueHandle m(CreateMutexA(nullptr, FALSE, nullptr));
    const HANDLE all[3] = {a.Get(), b.Get(), m.Get()};
    EXPECT_EQ(WaitForMultipleObjects(3, all, FALSE, 0), WAIT_OBJECT_0 + 2) << "the free mutex";
    std::thread([&] { EXPECT_EQ(WaitForMultipleObjects(2, all, FALSE, 0), WAIT_TIMEOUT); }).join();

    SetEvent(b.Get());
    SetEvent(a.Get());
    EXPECT_EQ(WaitForMultipleObjects(2, all, FALSE, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForMultipleObjects(2, all, FALSE, 0), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(WaitForMultipleObjects(2, all, FALSE, 0), WAIT_TIMEOUT);

    std::atomic<DWORD> result{WAIT_FAILED};
    std::thread waiter([&] { result = WaitForMultipleObjectsEx(2, all, FALSE, INFINITE, TRUE); });
    SetEvent(b.Get());
    waiter.join();
    EXPECT_EQ(result, WAIT_OBJECT_0 + 1);
}

TEST(Wait, BadArgumentsFail) {
    UniqueHandle section(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, nullptr));
    UniqueHandle e(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    const HANDLE two[2] = {e.Get(), e.Get()};
    EXPECT_EQ(WaitForSingleObject(section.Get(), 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
    EXPECT_EQ(WaitForMultipleObjects(0, two, FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(WaitForMultipleObjects(2, two, TRUE, 0), WAIT_FAILED) << "waiting for all is not offered";
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(Wait, SignalFromAnotherProcessWakesASleeper) {
    const std::string name = GlobalName(UniqueName("cross"));
    auto setter = StartHolder("event", name);
    ASSERT_TRUE(setter);
    UniqueHandle e(OpenEventA(SYNCHRONIZE, FALSE, name.c_str()));
    ASSERT_TRUE(e);
    for (int round = 0; round < 200; ++round) {
        std::atomic<DWORD> result{WAIT_FAILED};
        std::thread waiter([&] { result = WaitForSingleObject(e.Get(), INFINITE); });
        ASSERT_TRUE(Command(*setter, "set"));
        waiter.join();
        ASSERT_EQ(result, WAIT_OBJECT_0) << round;
    }
}
