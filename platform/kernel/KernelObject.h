#pragma once
// One named (or unnamed) kernel object as this process holds it: the object's file, held open with
// a shared lock (which is what keeps it alive), and its header page mapped. All handles of the
// process to the same object share one KernelObject.
//
// Other processes may write the header page. What this process relies on is therefore taken once,
// when it joins the object (type, an event's reset mode, a section's size, bounded by the file's
// real size), and the words that change are read defensively: any non-zero event word is one
// signal, and a mutex word that names no owner is as good as abandoned.

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

    ObjectType Type() const { return type_; }
    bool Writable() const { return writable_; }
    const std::string& Key() const { return key_; }
    int Fd() const { return fd_.Get(); }
    // Bytes of a section that may be mapped: what its creator asked for, and never past the end
    // of the file as it was when this process joined.
    std::uint64_t SectionSize() const { return sectionSize_; }
    // The file shrank under the header page: the object is lost to this process.
    bool Broken() const { return header_.Broken(); }

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
    // Mutex: whether a thread that is still alive owns it (the calling thread counts).
    bool OwnedByLiveThread() const { return OwnedByLiveThread(StateAs<MutexState>()); }
    static bool OwnedByLiveThread(const MutexState& state);

    // Gives up the file to the namespace, which decides between cache and removal.
    UniqueFd ReleaseFd() { return std::move(fd_); }
    MappedRegion ReleaseHeader() { return std::move(header_); }

private:
    template <class T>
    T& StateAs() const {
        return *reinterpret_cast<T*>(static_cast<char*>(header_.Address()) + kStateOffset);
    }

    ObjectNamespace* owner_;
    std::string key_;
    UniqueFd fd_;
    MappedRegion header_;
    bool writable_;
    ObjectType type_;
    bool manualReset_ = false;
    std::uint64_t sectionSize_ = 0;
    // Mutex: times the owning thread of this process has taken it. Only that thread touches it,
    // and ownership passes between threads through the word's acquire and release.
    std::uint32_t recursion_ = 0;
};

}  // namespace kernel
