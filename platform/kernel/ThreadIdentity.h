#pragma once
// Who owns a mutex: a thread, named by its kernel thread id and, to tell it from a later thread
// that reuses the id, by its start time.

#include <cstdint>

namespace kernel {

class ThreadIdentity {
public:
    static std::uint32_t CurrentId();
    // Thread id in the high half, low 32 bits of the start time (clock ticks since boot) in the low.
    static std::uint64_t CurrentStamp();
    // True when thread `tid` has ended. `stamp` is used only if it names `tid`; it then also
    // catches a thread id that has been reused since. Unknown means alive.
    static bool IsGone(std::uint32_t tid, std::uint64_t stamp);
    // One system call: false once thread `tid` has ended and been reaped (an unreaped one, or a
    // later thread with the same id, still counts).
    static bool Exists(std::uint32_t tid);
};

}  // namespace kernel
