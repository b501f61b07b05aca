#include "platform/kernel/Futex.h"

#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <ctime>

namespace kernel {
namespace {

// The vectored wait came with Linux 5.16; the constants are spelled out for older headers.
constexpr long kSysFutexWaitv = 449;
constexpr std::uint32_t kFutex2SizeU32 = 0x02;

struct FutexWaitv {
    std::uint64_t val;
    std::uint64_t uaddr;
    std::uint32_t flags;
    std::uint32_t reserved;
};

timespec ToTimespec(Futex::Clock::time_point t) {
    auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
    return timespec{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
}

bool IsUnbounded(Futex::Clock::time_point t) { return t == Futex::Clock::time_point::max(); }

}  // namespace

void Futex::Wait(std::atomic<std::uint32_t>* word, std::uint32_t expected, Clock::time_point deadline) {
    timespec abs = ToTimespec(deadline);
    // FUTEX_WAIT_BITSET takes an absolute CLOCK_MONOTONIC time; no FUTEX_PRIVATE_FLAG, since the
    // word lives in a shared mapping.
    syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(word), FUTEX_WAIT_BITSET, expected,
            IsUnbounded(deadline) ? nullptr : &abs, nullptr, FUTEX_BITSET_MATCH_ANY);
}

void Futex::WaitAny(const WaitItem* items, std::size_t count, Clock::time_point deadline) {
    if (count == 1) {
        Wait(items[0].word, items[0].expected, deadline);
        return;
    }
    FutexWaitv waiters[64];
    if (count > sizeof waiters / sizeof waiters[0]) count = sizeof waiters / sizeof waiters[0];
    for (std::size_t i = 0; i < count; ++i)
        waiters[i] = FutexWaitv{items[i].expected, reinterpret_cast<std::uintptr_t>(items[i].word), kFutex2SizeU32, 0};
    timespec abs = ToTimespec(deadline);
    long r = syscall(kSysFutexWaitv, waiters, static_cast<unsigned>(count), 0u, IsUnbounded(deadline) ? nullptr : &abs,
                     CLOCK_MONOTONIC);
    if (r == -1 && errno == ENOSYS) {
        // Older kernel: nap on the first word for at most a millisecond, so that changes of the
        // others are seen soon after.
        auto nap = Clock::now() + std::chrono::milliseconds(1);
        Wait(items[0].word, items[0].expected, deadline < nap ? deadline : nap);
    }
}

void Futex::WakeAll(std::atomic<std::uint32_t>* word) {
    syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(word), FUTEX_WAKE, INT_MAX, nullptr, nullptr, 0);
}

}  // namespace kernel
