// Mutex ownership: per thread, recursive, and handed over when the owner dies.

#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <thread>

#include "platform/kernel/LastError.h"
#include "platform/kernel/Synchronization.h"
#include "platform/kernel/UniqueHandle.h"
#include "tests/platform/kernel/KernelTestSupport.h"
#include "tests/support/TestNames.h"

namespace {

DWORD WaitFromOtherThread(HANDLE h, DWORD ms, bool release = true) {
    DWORD result = WAIT_FAILED;
    std::thread([&] {
        result = WaitForSingleObject(h, ms);
        if (release && (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED)) ReleaseMutex(h);
    }).join();
    return result;
}

}  // namespace

TEST(Mutex, OwnedByAThreadAndRecursive) {
    UniqueHandle m(CreateMutexA(nullptr, FALSE, GlobalName(UniqueName("recursive")).c_str()));
    ASSERT_TRUE(m);
    ASSERT_EQ(WaitForSingleObject(m.Get(), 0), WAIT_OBJECT_0);
    ASSERT_EQ(WaitForSingleObject(m.Get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitFromOtherThread(m.Get(), 0), WAIT_TIMEOUT);

    bool released = true;
    std::thread([&] { released = ReleaseMutex(m.Get()); }).join();
    EXPECT_FALSE(released) << "only the owner releases";

    EXPECT_TRUE(ReleaseMutex(m.Get()));
    EXPECT_EQ(WaitFromOtherThread(m.Get(), 0), WAIT_TIMEOUT) << "owned once more";
    EXPECT_TRUE(ReleaseMutex(m.Get()));
    EXPECT_EQ(WaitFromOtherThread(m.Get(), 0), WAIT_OBJECT_0);
    EXPECT_FALSE(ReleaseMutex(m.Get()));
    EXPECT_EQ(GetLastError(), ERROR_NOT_OWNER);
}

TEST(Mutex, InitialOwnerOnlyWhenCreated) {
    const std::string name = GlobalName(UniqueName("initial"));
    UniqueHandle m(CreateMutexA(nullptr, TRUE, name.c_str()));
    ASSERT_TRUE(m);
    EXPECT_EQ(WaitFromOtherThread(m.Get(), 0), WAIT_TIMEOUT);
    UniqueHandle again;
    std::thread([&] { again = UniqueHandle(CreateMutexA(nullptr, TRUE, name.c_str())); }).join();
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS) << "last error is per thread";
    EXPECT_TRUE(ReleaseMutex(m.Get()));
    EXPECT_FALSE(ReleaseMutex(m.Get())) << "the second creation did not own it";
}

TEST(Mutex, WaiterGetsItWhenReleased) {
    UniqueHandle m(CreateMutexA(nullptr, TRUE, nullptr));
    ASSERT_TRUE(m);
    std::atomic<DWORD> result{WAIT_FAILED};
    std::atomic<bool> waiting{false};
    std::thread waiter([&] {
        waiting = true;
        result = WaitForSingleObject(m.Get(), INFINITE);
        ReleaseMutex(m.Get());
    });
    while (!waiting) std::this_thread::yield();
    ReleaseMutex(m.Get());
    waiter.join();
    EXPECT_EQ(result, WAIT_OBJECT_0);
}

TEST(Mutex, OwnerThreadEndingAbandonsIt) {
    UniqueHandle m(CreateMutexA(nullptr, FALSE, nullptr));
    ASSERT_TRUE(m);
    std::thread([&] { ASSERT_EQ(WaitForSingleObject(m.Get(), 0), WAIT_OBJECT_0); }).join();
    EXPECT_EQ(WaitForSingleObject(m.Get(), INFINITE), WAIT_ABANDONED);
    EXPECT_TRUE(ReleaseMutex(m.Get())) << "the abandoned mutex is owned by its new waiter";
    EXPECT_EQ(WaitFromOtherThread(m.Get(), 0), WAIT_OBJECT_0) << "and reported abandoned once only";
}

TEST(Mutex, OwnerProcessKilledAbandonsItToASleepingWaiter) {
    const std::string name = GlobalName(UniqueName("killed-owner"));
    auto owner = StartHolder("mutex", name);
    ASSERT_TRUE(owner);
    ASSERT_TRUE(Command(*owner, "lock"));
    UniqueHandle m(OpenMutexA(SYNCHRONIZE, FALSE, name.c_str()));
    ASSERT_TRUE(m);
    EXPECT_EQ(WaitForSingleObject(m.Get(), 0), WAIT_TIMEOUT);

    std::atomic<DWORD> result{WAIT_FAILED};
    std::thread waiter([&] { result = WaitForSingleObject(m.Get(), INFINITE); });
    owner->Kill(SIGKILL);
    owner->Wait();
    waiter.join();
    EXPECT_EQ(result, WAIT_ABANDONED);
}

TEST(Mutex, SeveralThreadsTakeTurns) {
    UniqueHandle m(CreateMutexA(nullptr, FALSE, GlobalName(UniqueName("turns")).c_str()));
    ASSERT_TRUE(m);
    long counter = 0;  // guarded by the mutex alone
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 5000; ++i) {
                ASSERT_EQ(WaitForSingleObject(m.Get(), INFINITE), WAIT_OBJECT_0);
                long seen = counter;
                if (i % 64 == 0) std::this_thread::yield();  // let others pile up behind it
                counter = seen + 1;
                ReleaseMutex(m.Get());
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(counter, 20000);
}
