#include "platform/kernel/KernelObject.h"

#include "platform/kernel/Futex.h"
#include "platform/kernel/LastError.h"
#include "platform/kernel/ObjectNamespace.h"
#include "platform/kernel/ThreadIdentity.h"

namespace kernel {

KernelObject::KernelObject(ObjectNamespace* owner, std::string key, UniqueFd fd, MappedRegion header, bool writable)
    : owner_(owner), key_(std::move(key)), fd_(std::move(fd)), header_(std::move(header)), writable_(writable) {}

KernelObject::~KernelObject() { owner_->Leave(*this); }

AcquireResult KernelObject::TryAcquire() {
    if (Type() == ObjectType::Event) {
        EventState& e = StateAs<EventState>();
        if (e.manualReset)
            return e.signaled.load(std::memory_order_acquire) ? AcquireResult::Acquired : AcquireResult::Busy;
        std::uint32_t expected = 1;
        return e.signaled.compare_exchange_strong(expected, 0, std::memory_order_acq_rel) ? AcquireResult::Acquired
                                                                                          : AcquireResult::Busy;
    }
    MutexState& m = StateAs<MutexState>();
    const std::uint32_t me = ThreadIdentity::CurrentId();
    std::uint32_t w = m.word.load(std::memory_order_acquire);
    if ((w & kMutexOwnerMask) == me) {
        ++m.recursion;
        return AcquireResult::Acquired;
    }
    if (w == 0 && m.word.compare_exchange_strong(w, me, std::memory_order_acquire)) {
        m.recursion = 1;
        m.ownerStamp.store(ThreadIdentity::CurrentStamp(), std::memory_order_relaxed);
        return AcquireResult::Acquired;
    }
    return AcquireResult::Busy;
}

bool KernelObject::PrepareSleep(std::atomic<std::uint32_t>*& word, std::uint32_t& expected) {
    if (Type() == ObjectType::Event) {
        EventState& e = StateAs<EventState>();
        // Announce the sleeper before the last look, so that a setter either is seen here or
        // sees the sleeper and wakes it.
        e.sleepers.fetch_add(1, std::memory_order_seq_cst);
        if (e.signaled.load(std::memory_order_seq_cst) != 0) {
            e.sleepers.fetch_sub(1, std::memory_order_relaxed);
            return false;
        }
        word = &e.signaled;
        expected = 0;
        return true;
    }
    MutexState& m = StateAs<MutexState>();
    std::uint32_t w = m.word.load(std::memory_order_relaxed);
    if (w == 0) return false;
    if (!(w & kMutexSleepers) && !m.word.compare_exchange_strong(w, w | kMutexSleepers, std::memory_order_relaxed))
        return false;
    word = &m.word;
    expected = w | kMutexSleepers;
    return true;
}

void KernelObject::FinishSleep() {
    if (Type() == ObjectType::Event) StateAs<EventState>().sleepers.fetch_sub(1, std::memory_order_relaxed);
}

AcquireResult KernelObject::TakeIfAbandoned() {
    if (Type() != ObjectType::Mutex) return AcquireResult::Busy;
    MutexState& m = StateAs<MutexState>();
    std::uint32_t w = m.word.load(std::memory_order_acquire);
    std::uint32_t owner = w & kMutexOwnerMask;
    const std::uint32_t me = ThreadIdentity::CurrentId();
    if (owner == 0 || owner == me) return AcquireResult::Busy;
    if (!ThreadIdentity::IsGone(owner, m.ownerStamp.load(std::memory_order_relaxed))) return AcquireResult::Busy;
    if (!m.word.compare_exchange_strong(w, me | (w & kMutexSleepers), std::memory_order_acquire))
        return AcquireResult::Busy;
    m.recursion = 1;
    m.ownerStamp.store(ThreadIdentity::CurrentStamp(), std::memory_order_relaxed);
    return AcquireResult::Abandoned;
}

bool KernelObject::ReleaseMutexOwnership() {
    MutexState& m = StateAs<MutexState>();
    if ((m.word.load(std::memory_order_relaxed) & kMutexOwnerMask) != ThreadIdentity::CurrentId()) {
        SetLastError(ERROR_NOT_OWNER);
        return false;
    }
    if (--m.recursion > 0) return true;
    m.ownerStamp.store(0, std::memory_order_relaxed);
    if (m.word.exchange(0, std::memory_order_release) & kMutexSleepers) Futex::WakeAll(&m.word);
    return true;
}

void KernelObject::SetEvent() {
    EventState& e = StateAs<EventState>();
    e.signaled.store(1, std::memory_order_seq_cst);
    if (e.sleepers.load(std::memory_order_seq_cst) != 0) Futex::WakeAll(&e.signaled);
}

void KernelObject::ResetEvent() { StateAs<EventState>().signaled.store(0, std::memory_order_release); }

}  // namespace kernel
