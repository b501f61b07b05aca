#pragma once
// One named (or unnamed) kernel object as this process holds it: the object's file, held open with
// a shared lock (which is what keeps it alive), and its header page mapped. All handles of the
// process to the same object share one KernelObject.

#include <cstdint>
#include <string>

#include "platform/kernel/MappedRegion.h"
#include "platform/kernel/ObjectLayout.h"
#include "platform/kernel/UniqueFd.h"

namespace kernel {

class ObjectNamespace;

enum class AcquireResult { Busy, Acquired, Abandoned };

class KernelObject {
public:
    KernelObject(ObjectNamespace* owner, std::string key, UniqueFd fd, MappedRegion header, bool writable);
    ~KernelObject();
    KernelObject(const KernelObject&) = delete;
    KernelObject& operator=(const KernelObject&) = delete;

    ObjectType Type() const { return HeaderRef().type; }
    bool Writable() const { return writable_; }
    const std::string& Key() const { return key_; }
    int Fd() const { return fd_.Get(); }
    std::uint64_t SectionSize() const { return StateAs<SectionState>().size; }

    // Waiting: non-blocking attempt for the calling thread (mutex: take or recurse; event: consume
    // or observe), then the word to sleep on. Sleep preparation may find the object free again:
    // then it returns false and the caller retries the attempt instead of sleeping.
    AcquireResult TryAcquire();
    bool PrepareSleep(std::atomic<std::uint32_t>*& word, std::uint32_t& expected);
    void FinishSleep();
    // Mutex only: takes over a mutex whose owner thread has ended.
    AcquireResult TakeIfAbandoned();

    // Mutex: false with ERROR_NOT_OWNER unless the calling thread owns it.
    bool ReleaseMutexOwnership();
    void SetEvent();
    void ResetEvent();

    // Gives up the file to the namespace, which decides between cache and removal.
    UniqueFd ReleaseFd() { return std::move(fd_); }
    MappedRegion ReleaseHeader() { return std::move(header_); }

private:
    const ObjectHeader& HeaderRef() const { return *static_cast<const ObjectHeader*>(header_.Address()); }
    template <class T>
    T& StateAs() const {
        return *reinterpret_cast<T*>(static_cast<char*>(header_.Address()) + kStateOffset);
    }

    ObjectNamespace* owner_;
    std::string key_;
    UniqueFd fd_;
    MappedRegion header_;
    bool writable_;
};

}  // namespace kernel
