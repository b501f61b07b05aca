#pragma once
// Thin wrappers over the futex system calls, for words in memory shared between processes.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>

namespace kernel {

class Futex {
public:
    using Clock = std::chrono::steady_clock;  // CLOCK_MONOTONIC, as the futex calls expect

    struct WaitItem {
        std::atomic<std::uint32_t>* word;
        std::uint32_t expected;
    };

    // The most words WaitAny takes at once (futex_waitv itself takes 128).
    static constexpr std::size_t kMaxWaitItems = 64;

    // Sleeps while *word == expected, until woken or until `deadline` (Clock::time_point::max()
    // for none). Spurious returns happen; callers re-check their condition.
    static void Wait(std::atomic<std::uint32_t>* word, std::uint32_t expected, Clock::time_point deadline);

    // Sleeps while every item's word holds its expected value, until one is woken or `deadline`.
    // False, without waiting, for no items or more than kMaxWaitItems.
    static bool WaitAny(const WaitItem* items, std::size_t count, Clock::time_point deadline);

    static void WakeAll(std::atomic<std::uint32_t>* word);

    // Whether futex_waitv serves WaitAny here. Asked of the kernel once; a kernel without it, or a
    // seccomp filter that refuses it, makes WaitAny nap on the first word instead.
    static bool VectoredWaitAvailable();
};

}  // namespace kernel
