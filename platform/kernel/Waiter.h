#pragma once
// Waits until one of several objects can be acquired: a short spin first, so that a signal that
// comes within microseconds costs no sleep and wake-up, then a sleep in the kernel.

#include <chrono>
#include <cstddef>

#include "platform/kernel/KernelObject.h"
#include "platform/kernel/WinTypes.h"

namespace kernel {

class Waiter {
public:
    static constexpr auto kSpin = std::chrono::microseconds(50);
    static constexpr auto kSpinBeforeYield = std::chrono::microseconds(3);
    static constexpr auto kYieldSharedCpu = std::chrono::microseconds(5);  // a yield this long ran someone
    // A sleeper on a mutex wakes this often to see whether the owner has died; a thread's death
    // does not wake anyone by itself.
    static constexpr auto kOwnerCheckFirst = std::chrono::milliseconds(5);
    static constexpr auto kOwnerCheckMax = std::chrono::milliseconds(100);
    // Any sleeper looks again at least this often: another process may have cleared the count of
    // sleepers that tells a setter to wake them.
    static constexpr auto kLookAgain = kOwnerCheckMax;

    // WAIT_OBJECT_0 + i, WAIT_ABANDONED_0 + i or WAIT_TIMEOUT; WAIT_FAILED with the last error set
    // for more than MAXIMUM_WAIT_OBJECTS objects (ERROR_INVALID_PARAMETER) or an object whose file
    // was shrunk under it (ERROR_FILE_CORRUPT).
    static DWORD WaitAny(KernelObject* const* objects, std::size_t count, DWORD milliseconds);
};

}  // namespace kernel
