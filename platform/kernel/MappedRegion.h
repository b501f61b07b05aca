#pragma once
// Owns one mmap'ed region of an object file. The region is watched by the MappingGuard: if the
// file shrinks under it, touching it does not raise SIGBUS; the region turns to zeros instead and
// reports itself broken.

#include <sys/mman.h>

#include <cstddef>
#include <utility>

#include "platform/kernel/MappingGuard.h"

namespace kernel {

class MappedRegion {
public:
    MappedRegion() = default;
    // Maps `length` bytes of `fd` at `offset`, shared; Valid() tells whether it worked.
    MappedRegion(int fd, std::size_t length, long offset, bool writable) {
        void* p = ::mmap(nullptr, length, PROT_READ | (writable ? PROT_WRITE : 0), MAP_SHARED, fd, offset);
        if (p == MAP_FAILED) return;
        slot_ = MappingGuard::Register(p, length, writable);
        if (slot_ == MappingGuard::kNoSlot) {
            ::munmap(p, length);  // unwatched, a shrunk file could end the process
            return;
        }
        address_ = p;
        length_ = length;
    }
    MappedRegion(MappedRegion&& other) noexcept
        : address_(std::exchange(other.address_, nullptr)),
          length_(std::exchange(other.length_, 0)),
          slot_(std::exchange(other.slot_, MappingGuard::kNoSlot)) {}
    MappedRegion& operator=(MappedRegion&& other) noexcept {
        if (this != &other) {
            Reset();
            address_ = std::exchange(other.address_, nullptr);
            length_ = std::exchange(other.length_, 0);
            slot_ = std::exchange(other.slot_, MappingGuard::kNoSlot);
        }
        return *this;
    }
    MappedRegion(const MappedRegion&) = delete;
    MappedRegion& operator=(const MappedRegion&) = delete;
    ~MappedRegion() { Reset(); }

    bool Valid() const { return address_ != nullptr; }
    void* Address() const { return address_; }
    std::size_t Length() const { return length_; }
    // The file shrank under the region at some point: it shows zeros now, not the file.
    bool Broken() const { return MappingGuard::Broken(slot_); }
    void Reset() {
        if (address_) {
            MappingGuard::Unregister(slot_);
            ::munmap(address_, length_);
        }
        address_ = nullptr;
        length_ = 0;
        slot_ = MappingGuard::kNoSlot;
    }

private:
    void* address_ = nullptr;
    std::size_t length_ = 0;
    int slot_ = MappingGuard::kNoSlot;
};

}  // namespace kernel
