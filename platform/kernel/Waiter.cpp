#include "platform/kernel/Waiter.h"

#include <sched.h>

#include <algorithm>

#include "platform/kernel/Futex.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define QB_CPU_RELAX() _mm_pause()
#else
#define QB_CPU_RELAX() ((void)0)
#endif

namespace kernel {
namespace {

using Clock = Futex::Clock;

// One pass over the objects; `count` when none could be acquired.
std::size_t TryEach(KernelObject* const* objects, std::size_t count, bool& abandoned) {
    for (std::size_t i = 0; i < count; ++i) {
        AcquireResult r = objects[i]->TryAcquire();
        if (r != AcquireResult::Busy) {
            abandoned = r == AcquireResult::Abandoned;
            return i;
        }
    }
    return count;
}

DWORD Result(std::size_t index, bool abandoned) {
    return static_cast<DWORD>((abandoned ? WAIT_ABANDONED_0 : WAIT_OBJECT_0) + index);
}

}  // namespace

DWORD Waiter::WaitAny(KernelObject* const* objects, std::size_t count, DWORD milliseconds) {
    bool abandoned = false;
    std::size_t hit = TryEach(objects, count, abandoned);
    if (hit < count) return Result(hit, abandoned);
    if (milliseconds == 0) return WAIT_TIMEOUT;

    const Clock::time_point start = Clock::now();
    const Clock::time_point deadline =
        milliseconds == INFINITE ? Clock::time_point::max() : start + std::chrono::milliseconds(milliseconds);
    const Clock::time_point spinEnd = std::min(deadline, start + kSpin);
    const Clock::time_point yieldFrom = start + kSpinBeforeYield;
    for (unsigned spins = 1;; ++spins) {
        hit = TryEach(objects, count, abandoned);
        if (hit < count) return Result(hit, abandoned);
        if (spins % 16 == 0) {
            Clock::time_point now = Clock::now();
            if (now >= spinEnd) break;
            if (now >= yieldFrom) {
                // The thread that will signal may be waiting for this very CPU (a woken thread is
                // often placed beside its waker): let it run. If it did run here, spinning only
                // keeps the two together; sleeping lets the scheduler spread them.
                sched_yield();
                if (Clock::now() - now > kYieldSharedCpu) break;
            }
        }
        QB_CPU_RELAX();
    }

    bool anyMutex =
        std::any_of(objects, objects + count, [](KernelObject* o) { return o->Type() == ObjectType::Mutex; });
    auto ownerCheck = std::chrono::duration_cast<Clock::duration>(kOwnerCheckFirst);
    Futex::WaitItem items[MAXIMUM_WAIT_OBJECTS];
    for (;;) {
        hit = TryEach(objects, count, abandoned);
        if (hit < count) return Result(hit, abandoned);
        Clock::time_point now = Clock::now();
        if (now >= deadline) return WAIT_TIMEOUT;
        if (anyMutex) {
            for (std::size_t i = 0; i < count; ++i)
                if (objects[i]->TakeIfAbandoned() == AcquireResult::Abandoned) return Result(i, true);
        }
        std::size_t prepared = 0;
        while (prepared < count && objects[prepared]->PrepareSleep(items[prepared].word, items[prepared].expected))
            ++prepared;
        if (prepared == count) {
            Clock::time_point wake = deadline;
            if (anyMutex && deadline - now > ownerCheck) wake = now + ownerCheck;
            Futex::WaitAny(items, count, wake);
            ownerCheck = std::min(ownerCheck * 2, std::chrono::duration_cast<Clock::duration>(kOwnerCheckMax));
        }
        for (std::size_t i = 0; i < prepared; ++i) objects[i]->FinishSleep();
    }
}

}  // namespace kernel
