#include "channel/MessageBuffer.h"

#include <cstring>
#include <functional>
#include <limits>
#include <utility>

namespace {
MessageBuffer::Allocator gAllocate = &std::malloc;
}

MessageBuffer::MessageBuffer() : inlineStorage_{}, data_(inlineStorage_), capacity_(kInlineSize), size_(0) {}

MessageBuffer::MessageBuffer(const void* source, std::uint32_t length) : MessageBuffer() {
    if (source) WriteAt(0, source, length);
}

MessageBuffer::MessageBuffer(const MessageBuffer& other) : MessageBuffer() { Append(other.data_, other.size_); }

MessageBuffer::MessageBuffer(MessageBuffer&& other) noexcept : MessageBuffer() { TakeFrom(other); }

MessageBuffer& MessageBuffer::operator=(const MessageBuffer& other) { return CopyFrom(other); }

MessageBuffer& MessageBuffer::operator=(MessageBuffer&& other) noexcept {
    if (this != &other) {
        Clear();
        TakeFrom(other);
    }
    return *this;
}

MessageBuffer::~MessageBuffer() = default;

void MessageBuffer::SetAllocator(Allocator allocate) { gAllocate = allocate ? allocate : &std::malloc; }

bool MessageBuffer::Inside(const void* p) const {
    std::less_equal<const void*> le;
    return le(data_, p) && !le(data_ + capacity_, p);
}

void MessageBuffer::TakeFrom(MessageBuffer& other) noexcept {
    if (other.block_) {
        block_ = std::move(other.block_);
        data_ = block_.get();
        capacity_ = other.capacity_;
    } else {
        std::memcpy(inlineStorage_, other.inlineStorage_, kInlineSize);
    }
    size_ = other.size_;
    other.Clear();
}

MessageBuffer& MessageBuffer::WriteAt(std::uint32_t position, const void* source, std::uint32_t length) {
    if (position > size_ || source == nullptr || length == 0) return *this;
    const std::uint64_t end = std::uint64_t{position} + length;
    if (end > capacity_) {
        // The next multiple of the step strictly above the new end; it must still fit 32 bits.
        const std::uint64_t grown = (end / kBlockStep + 1) * kBlockStep;
        if (grown > std::numeric_limits<std::uint32_t>::max()) return *this;
        auto* fresh = static_cast<std::uint8_t*>(gAllocate(static_cast<std::size_t>(grown)));
        if (fresh == nullptr) return *this;
        std::memcpy(fresh, data_, position);
        // Copied before the old block goes: the source may lie in it.
        std::memcpy(fresh + position, source, length);
        block_.reset(fresh);
        data_ = fresh;
        capacity_ = static_cast<std::uint32_t>(grown);
    } else {
        std::memmove(data_ + position, source, length);
    }
    size_ = static_cast<std::uint32_t>(end);
    return *this;
}

void MessageBuffer::Append(const void* source, std::uint32_t length) { WriteAt(size_, source, length); }

void MessageBuffer::Assign(const void* source, std::uint32_t length) {
    if (source != nullptr && length != 0 && Inside(source)) {
        // Clear would destroy the source: move the bytes to the front instead.
        std::memmove(data_, source, length);
        size_ = length;
        return;
    }
    Clear();
    Append(source, length);
}

void MessageBuffer::Clear() {
    block_.reset();
    std::memset(inlineStorage_, 0, kInlineSize);
    data_ = inlineStorage_;
    capacity_ = kInlineSize;
    size_ = 0;
}

bool MessageBuffer::IsEmpty() const { return size_ == 0; }

MessageBuffer& MessageBuffer::CopyFrom(const MessageBuffer& other) {
    if (this != &other) {
        Clear();
        Append(other.data_, other.size_);
    }
    return *this;
}

void MessageBuffer::Swap(MessageBuffer& other) noexcept {
    if (this == &other) return;
    MessageBuffer held(std::move(other));
    other.TakeFrom(*this);
    TakeFrom(held);
}
