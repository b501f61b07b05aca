#include "platform/kernel/Waiter.h"

#include <sched.h>

#include <algorithm>

#include "platform/kernel/Futex.h"
#include "platform/kernel/LastError.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define QB_CPU_RELAX() _mm_pause()
#else
#define QB_CPU_RELAX() ((void)0)
#endif

namespace kernel {
namespace {

using Clock = Futex::Clock;

static_assert(MAXIMUM_WAIT_OBJECTS <= Futex::kMaxWaitItems, "every wait must fit one futex wait");

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

bool AnyBroken(KernelObject* const* objects, std::size_t count) {
    return std::any_of(objects, objects + count, [](KernelObject* o) { return o->Broken(); });
}

DWORD Failed(DWORD error) {
    SetLastError(error);
    return WAIT_FAILED;
}

// What a hit means: an object acquired on zeros that replaced a shrunk file is no object at all.
DWORD Result(KernelObject* const* objects, std::size_t index, bool abandoned) {
    if (objects[index]->Broken()) return Failed(ERROR_FILE_CORRUPT);
    return static_cast<DWORD>((abandoned ? WAIT_ABANDONED_0 : WAIT_OBJECT_0) + index);
}

}  // namespace

DWORD Waiter::WaitAny(KernelObject* const* objects, std::size_t count, DWORD milliseconds) {
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS) return Failed(ERROR_INVALID_PARAMETER);
    if (AnyBroken(objects, count)) return Failed(ERROR_FILE_CORRUPT);
    bool abandoned = false;
    std::size_t hit = TryEach(objects, count, abandoned);
    if (hit < count) return Result(objects, hit, abandoned);
    if (AnyBroken(objects, count)) return Failed(ERROR_FILE_CORRUPT);  // shrunk under the first look
    if (milliseconds == 0) {
        // A mutex whose owner ended is there for the taking, even without waiting.
        for (std::size_t i = 0; i < count; ++i)
            if (objects[i]->TakeIfAbandoned() == AcquireResult::Abandoned) return Result(objects, i, true);
        return WAIT_TIMEOUT;
    }

    const Clock::time_point start = Clock::now();
    const Clock::time_point deadline =
        milliseconds == INFINITE ? Clock::time_point::max() : start + std::chrono::milliseconds(milliseconds);
    const Clock::time_point spinEnd = std::min(deadline, start + kSpin);
    const Clock::time_point yieldFrom = start + kSpinBeforeYield;
    for (unsigned spins = 1;; ++spins) {
        hit = TryEach(objects, count, abandoned);
        if (hit < count) return Result(objects, hit, abandoned);
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
    auto recheck = std::chrono::duration_cast<Clock::duration>(anyMutex ? kOwnerCheckFirst : kLookAgain);
    Futex::WaitItem items[MAXIMUM_WAIT_OBJECTS];
    for (;;) {
        hit = TryEach(objects, count, abandoned);
        if (hit < count) return Result(objects, hit, abandoned);
        if (AnyBroken(objects, count)) return Failed(ERROR_FILE_CORRUPT);
        Clock::time_point now = Clock::now();
        if (now >= deadline) return WAIT_TIMEOUT;
        if (anyMutex) {
            for (std::size_t i = 0; i < count; ++i)
                if (objects[i]->TakeIfAbandoned() == AcquireResult::Abandoned) return Result(objects, i, true);
        }
        std::size_t prepared = 0;
        while (prepared < count && objects[prepared]->PrepareSleep(items[prepared].word, items[prepared].expected))
            ++prepared;
        if (prepared == count) {
            const Clock::time_point wake = deadline - now > recheck ? now + recheck : deadline;
            Futex::WaitAny(items, count, wake);
            recheck = std::min(recheck * 2, std::chrono::duration_cast<Clock::duration>(kLookAgain));
        }
        for (std::size_t i = 0; i < prepared; ++i) objects[i]->FinishSleep();
    }
}

}  // namespace kernel
