#include "platform/kernel/KernelObject.h"

#include <sys/stat.h>

#include <algorithm>

#include "platform/kernel/Futex.h"
#include "platform/kernel/LastError.h"
#include "platform/kernel/ObjectNamespace.h"
#include "platform/kernel/ThreadIdentity.h"

namespace kernel {

KernelObject::KernelObject(ObjectNamespace* owner, std::string key, UniqueFd fd, MappedRegion header, bool writable)
    : owner_(owner),
      key_(std::move(key)),
      fd_(std::move(fd)),
      header_(std::move(header)),
      writable_(writable),
      type_(static_cast<const ObjectHeader*>(header_.Address())->type) {
    if (type_ == ObjectType::Event) manualReset_ = StateAs<EventState>().manualReset != 0;
    if (type_ == ObjectType::Mutex) {
        // Created owned, or still owned by this thread from an earlier handle.
        const MutexState& m = StateAs<MutexState>();
        if ((m.word.load(std::memory_order_acquire) & kMutexOwnerMask) == ThreadIdentity::CurrentId())
            recursion_ = std::max<std::uint32_t>(m.recursion, 1);
    }
    if (type_ == ObjectType::Section) {
        struct stat st {};
        const std::uint64_t inFile = fstat(fd_.Get(), &st) == 0 && static_cast<std::uint64_t>(st.st_size) > kObjectPageSize
                                         ? static_cast<std::uint64_t>(st.st_size) - kObjectPageSize
                                         : 0;
        sectionSize_ = std::min(StateAs<SectionState>().size, inFile);
    }
}

KernelObject::~KernelObject() { owner_->Leave(*this); }

AcquireResult KernelObject::TryAcquire() {
    if (type_ == ObjectType::Event) {
        EventState& e = StateAs<EventState>();
        std::uint32_t seen = e.signaled.load(std::memory_order_acquire);
        if (manualReset_) return seen != 0 ? AcquireResult::Acquired : AcquireResult::Busy;
        // Any value but 0 is one signal, whoever wrote it.
        while (seen != 0) {
            if (e.signaled.compare_exchange_weak(seen, 0, std::memory_order_acq_rel)) return AcquireResult::Acquired;
        }
        return AcquireResult::Busy;
    }
    MutexState& m = StateAs<MutexState>();
    const std::uint32_t me = ThreadIdentity::CurrentId();
    std::uint32_t w = m.word.load(std::memory_order_acquire);
    if ((w & kMutexOwnerMask) == me) {
        m.recursion = ++recursion_;
        return AcquireResult::Acquired;
    }
    if (w == 0 && m.word.compare_exchange_strong(w, me, std::memory_order_acquire)) {
        m.recursion = recursion_ = 1;
        m.ownerStamp.store(ThreadIdentity::CurrentStamp(), std::memory_order_relaxed);
        return AcquireResult::Acquired;
    }
    return AcquireResult::Busy;
}

bool KernelObject::PrepareSleep(std::atomic<std::uint32_t>*& word, std::uint32_t& expected) {
    if (type_ == ObjectType::Event) {
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
    if (type_ == ObjectType::Event) StateAs<EventState>().sleepers.fetch_sub(1, std::memory_order_relaxed);
}

AcquireResult KernelObject::TakeIfAbandoned() {
    if (type_ != ObjectType::Mutex) return AcquireResult::Busy;
    MutexState& m = StateAs<MutexState>();
    std::uint32_t w = m.word.load(std::memory_order_acquire);
    std::uint32_t owner = w & kMutexOwnerMask;
    const std::uint32_t me = ThreadIdentity::CurrentId();
    if (w == 0 || owner == me) return AcquireResult::Busy;
    // A word that names no owner was not left by a mutex operation: nobody will ever release it.
    if (owner != 0 && !ThreadIdentity::IsGone(owner, m.ownerStamp.load(std::memory_order_relaxed)))
        return AcquireResult::Busy;
    if (!m.word.compare_exchange_strong(w, me | (w & kMutexSleepers), std::memory_order_acquire))
        return AcquireResult::Busy;
    m.recursion = recursion_ = 1;
    m.ownerStamp.store(ThreadIdentity::CurrentStamp(), std::memory_order_relaxed);
    return AcquireResult::Abandoned;
}

bool KernelObject::ReleaseMutexOwnership() {
    MutexState& m = StateAs<MutexState>();
    if ((m.word.load(std::memory_order_relaxed) & kMutexOwnerMask) != ThreadIdentity::CurrentId()) {
        SetLastError(ERROR_NOT_OWNER);
        return false;
    }
    // The count that matters is this process's own: the shared one is for peers to look at, and
    // anyone may write it.
    if (recursion_ > 1) {
        m.recursion = --recursion_;
        return true;
    }
    m.recursion = recursion_ = 0;
    m.ownerStamp.store(0, std::memory_order_relaxed);
    if (m.word.exchange(0, std::memory_order_release) & kMutexSleepers) Futex::WakeAll(&m.word);
    return true;
}

bool KernelObject::OwnedByLiveThread(const MutexState& m) {
    const std::uint32_t owner = m.word.load(std::memory_order_acquire) & kMutexOwnerMask;
    if (owner == 0) return false;
    return owner == ThreadIdentity::CurrentId() ||
           !ThreadIdentity::IsGone(owner, m.ownerStamp.load(std::memory_order_relaxed));
}

void KernelObject::SetEvent() {
    EventState& e = StateAs<EventState>();
    e.signaled.store(1, std::memory_order_seq_cst);
    if (e.sleepers.load(std::memory_order_seq_cst) != 0) Futex::WakeAll(&e.signaled);
}

void KernelObject::ResetEvent() { StateAs<EventState>().signaled.store(0, std::memory_order_release); }

}  // namespace kernel
