#pragma once
// Memory layout of a named kernel object's file. This is a contract between processes (and
// languages): docs/channel-on-linux.md describes it byte by byte; keep the two in step.

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace kernel {

constexpr std::uint32_t kObjectMagic = 0x4F4B4251;  // "QBKO" in memory order
constexpr std::uint32_t kObjectLayoutVersion = 1;
constexpr std::size_t kObjectPageSize = 4096;  // header page; a section's view starts after it
constexpr std::size_t kStateOffset = 64;       // the type's state lives on its own cache line

enum class ObjectType : std::uint32_t { Mutex = 1, Event = 2, Section = 3 };

struct ObjectHeader {
    std::uint32_t magic;
    std::uint32_t version;
    ObjectType type;
    std::uint32_t reserved;
};

// Futex word of a mutex: 0 when free, else the owner's thread id, with kMutexSleepers set while
// a waiter may be asleep in the kernel (the releaser then has to wake it).
constexpr std::uint32_t kMutexSleepers = 0x80000000u;
constexpr std::uint32_t kMutexOwnerMask = 0x3FFFFFFFu;

struct MutexState {
    std::atomic<std::uint32_t> word;
    std::uint32_t recursion;  // touched by the owner only
    // Owner thread id in the high half, low 32 bits of its start time (clock ticks since boot) in
    // the low half: tells a live owner from a later thread that reused its id.
    std::atomic<std::uint64_t> ownerStamp;
};

struct EventState {
    std::atomic<std::uint32_t> signaled;  // futex word: 0 or 1
    std::uint32_t manualReset;
    std::atomic<std::uint32_t> sleepers;  // waiters that may be asleep; a setter wakes only then
};

struct SectionState {
    std::uint64_t size;  // bytes of the view, which starts at kObjectPageSize
};

static_assert(std::atomic<std::uint32_t>::is_always_lock_free);
static_assert(std::atomic<std::uint64_t>::is_always_lock_free);
static_assert(sizeof(std::atomic<std::uint32_t>) == 4 && sizeof(std::atomic<std::uint64_t>) == 8);
static_assert(sizeof(ObjectHeader) == 16);
static_assert(sizeof(MutexState) == 16 && offsetof(MutexState, ownerStamp) == 8);
static_assert(sizeof(EventState) == 12);

}  // namespace kernel
