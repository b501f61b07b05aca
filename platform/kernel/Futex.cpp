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
// Without the vectored wait, a sleeper naps on the first word this long at a time, so that
// changes of the others are seen soon after.
constexpr auto kFallbackNap = std::chrono::milliseconds(1);

struct FutexWaitv {
    std::uint64_t val;
    std::uint64_t uaddr;
    std::uint32_t flags;
    std::uint32_t reserved;
};

enum class Support : int { Unknown, Available, Unavailable };
std::atomic<Support> gVectored{Support::Unknown};

timespec ToTimespec(Futex::Clock::time_point t) {
    auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
    return timespec{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
}

bool IsUnbounded(Futex::Clock::time_point t) { return t == Futex::Clock::time_point::max(); }

long WaitV(FutexWaitv* waiters, std::size_t count, const timespec* deadline) {
    return syscall(kSysFutexWaitv, waiters, static_cast<unsigned>(count), 0u, deadline, CLOCK_MONOTONIC);
}

// The answers of a working futex_waitv; anything else (ENOSYS, EPERM from seccomp, EINVAL)
// means it cannot serve here, and asking again would only return at once again.
bool IsWaitOutcome(int error) { return error == EAGAIN || error == ETIMEDOUT || error == EINTR; }

}  // namespace

void Futex::Wait(std::atomic<std::uint32_t>* word, std::uint32_t expected, Clock::time_point deadline) {
    timespec abs = ToTimespec(deadline);
    // FUTEX_WAIT_BITSET takes an absolute CLOCK_MONOTONIC time; no FUTEX_PRIVATE_FLAG, since the
    // word lives in a shared mapping.
    syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(word), FUTEX_WAIT_BITSET, expected,
            IsUnbounded(deadline) ? nullptr : &abs, nullptr, FUTEX_BITSET_MATCH_ANY);
}

bool Futex::VectoredWaitAvailable() {
    Support known = gVectored.load(std::memory_order_relaxed);
    if (known == Support::Unknown) {
        // A word that differs from the expected value: a working call returns EAGAIN at once.
        std::uint32_t word = 1;
        FutexWaitv probe{0, reinterpret_cast<std::uintptr_t>(&word), kFutex2SizeU32, 0};
        const timespec now = ToTimespec(Clock::now());
        const bool works = WaitV(&probe, 1, &now) == 0 || IsWaitOutcome(errno);
        known = works ? Support::Available : Support::Unavailable;
        gVectored.store(known, std::memory_order_relaxed);
    }
    return known == Support::Available;
}

bool Futex::WaitAny(const WaitItem* items, std::size_t count, Clock::time_point deadline) {
    if (count == 0 || count > kMaxWaitItems) return false;
    if (count == 1) {
        Wait(items[0].word, items[0].expected, deadline);
        return true;
    }
    if (VectoredWaitAvailable()) {
        FutexWaitv waiters[kMaxWaitItems];
        for (std::size_t i = 0; i < count; ++i)
            waiters[i] =
                FutexWaitv{items[i].expected, reinterpret_cast<std::uintptr_t>(items[i].word), kFutex2SizeU32, 0};
        timespec abs = ToTimespec(deadline);
        if (WaitV(waiters, count, IsUnbounded(deadline) ? nullptr : &abs) == 0 || IsWaitOutcome(errno)) return true;
        // Refused after all (a filter installed since the probe): nap from now on.
        gVectored.store(Support::Unavailable, std::memory_order_relaxed);
    }
    auto nap = Clock::now() + kFallbackNap;
    Wait(items[0].word, items[0].expected, deadline < nap ? deadline : nap);
    return true;
}

void Futex::WakeAll(std::atomic<std::uint32_t>* word) {
    syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(word), FUTEX_WAKE, INT_MAX, nullptr, nullptr, 0);
}

}  // namespace kernel
