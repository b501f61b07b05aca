// The futex layer without futex_waitv, and the limits of waiting for several objects.

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/kernel/Futex.h"
#include "platform/kernel/LastError.h"
#include "platform/kernel/Synchronization.h"
#include "platform/kernel/UniqueHandle.h"
#include "tests/platform/kernel/KernelTestSupport.h"

TEST(Futex, RefusedVectoredWaitFallsBackWithoutSpinning) {
    // A kernel without it (ENOSYS), a seccomp filter (EPERM), a call it does not take (EINVAL).
    for (int error : {ENOSYS, EPERM, EINVAL}) {
        const std::vector<std::string> lines = HelperLines({"no-waitv", std::to_string(error)});
        ASSERT_EQ(lines.size(), 3u) << error;
        EXPECT_EQ(lines[0], "available 0") << "asked once, remembered: " << error;
        unsigned result = 0;
        long cpuMs = -1;
        ASSERT_EQ(std::sscanf(lines[1].c_str(), "timeout %u %ld", &result, &cpuMs), 2) << lines[1];
        EXPECT_EQ(result, WAIT_TIMEOUT) << error;
        // A hot loop would burn the whole 500 ms; napping costs a few.
        EXPECT_LT(cpuMs, 150) << "errno " << error << " spun";
        EXPECT_EQ(lines[2], "any " + std::to_string(WAIT_OBJECT_0 + 1)) << error;
    }
}

TEST(Futex, WaitsForMoreObjectsThanTheLimitAreRefused) {
    EXPECT_TRUE(kernel::Futex::VectoredWaitAvailable()) << "this kernel has futex_waitv";
    std::atomic<std::uint32_t> words[kernel::Futex::kMaxWaitItems + 1] = {};
    kernel::Futex::WaitItem items[kernel::Futex::kMaxWaitItems + 1];
    for (std::size_t i = 0; i < std::size(items); ++i) items[i] = {&words[i], 0};
    const auto never = kernel::Futex::Clock::time_point::max();
    EXPECT_FALSE(kernel::Futex::WaitAny(items, std::size(items), never)) << "not cut to the limit and waited";
    EXPECT_FALSE(kernel::Futex::WaitAny(items, 0, never));

    std::vector<UniqueHandle> events;
    std::vector<HANDLE> handles;
    for (DWORD i = 0; i <= MAXIMUM_WAIT_OBJECTS; ++i) {
        events.emplace_back(CreateEventA(nullptr, TRUE, TRUE, nullptr));
        handles.push_back(events.back().Get());
    }
    EXPECT_EQ(WaitForMultipleObjects(MAXIMUM_WAIT_OBJECTS + 1, handles.data(), FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(WaitForMultipleObjects(MAXIMUM_WAIT_OBJECTS, handles.data(), FALSE, 0), WAIT_OBJECT_0);
}
