#pragma once
// Owns one mmap'ed region.

#include <sys/mman.h>

#include <cstddef>
#include <utility>

namespace kernel {

class MappedRegion {
public:
    MappedRegion() = default;
    // Maps `length` bytes of `fd` at `offset`, shared; Valid() tells whether it worked.
    MappedRegion(int fd, std::size_t length, long offset, bool writable) {
        void* p = ::mmap(nullptr, length, PROT_READ | (writable ? PROT_WRITE : 0), MAP_SHARED, fd, offset);
        if (p != MAP_FAILED) {
            address_ = p;
            length_ = length;
        }
    }
    MappedRegion(MappedRegion&& other) noexcept
        : address_(std::exchange(other.address_, nullptr)), length_(std::exchange(other.length_, 0)) {}
    MappedRegion& operator=(MappedRegion&& other) noexcept {
        if (this != &other) {
            Reset();
            address_ = std::exchange(other.address_, nullptr);
            length_ = std::exchange(other.length_, 0);
        }
        return *this;
    }
    MappedRegion(const MappedRegion&) = delete;
    MappedRegion& operator=(const MappedRegion&) = delete;
    ~MappedRegion() { Reset(); }

    bool Valid() const { return address_ != nullptr; }
    void* Address() const { return address_; }
    std::size_t Length() const { return length_; }
    void Reset() {
        if (address_) ::munmap(address_, length_);
        address_ = nullptr;
        length_ = 0;
    }

private:
    void* address_ = nullptr;
    std::size_t length_ = 0;
};

}  // namespace kernel
