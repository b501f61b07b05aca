#pragma once
// The channel's byte container: request payloads, replies, whole data areas, record texts.
// Contents up to 128 bytes live inside the object; larger ones in one heap block that grows in
// steps of 256 bytes and never shrinks but through Clear. A failed allocation drops the write
// and leaves the buffer as it was.

#include <cstdint>
#include <cstdlib>
#include <memory>

class MessageBuffer {
public:
    static constexpr std::uint32_t kInlineSize = 128;
    static constexpr std::uint32_t kBlockStep = 256;
    using Allocator = void* (*)(std::size_t);

    MessageBuffer();
    MessageBuffer(const void* source, std::uint32_t length);
    MessageBuffer(const MessageBuffer& other);
    MessageBuffer(MessageBuffer&& other) noexcept;
    MessageBuffer& operator=(const MessageBuffer& other);
    MessageBuffer& operator=(MessageBuffer&& other) noexcept;
    virtual ~MessageBuffer();

    // Copies `length` bytes to `position` and cuts the contents after them. A position beyond
    // the end, a null source or a zero length does nothing. The source may lie in the buffer.
    virtual MessageBuffer& WriteAt(std::uint32_t position, const void* source, std::uint32_t length);
    virtual void Append(const void* source, std::uint32_t length);
    virtual void Assign(const void* source, std::uint32_t length);
    virtual void Clear();
    virtual bool IsEmpty() const;

    MessageBuffer& CopyFrom(const MessageBuffer& other);
    void Swap(MessageBuffer& other) noexcept;

    const std::uint8_t* Data() const { return data_; }
    std::uint8_t* Data() { return data_; }
    std::uint32_t Size() const { return size_; }
    std::uint32_t Capacity() const { return capacity_; }

    // Replaces the allocator of heap blocks (null restores malloc); for exercising failures.
    static void SetAllocator(Allocator allocate);

private:
    struct FreeBlock {
        void operator()(std::uint8_t* p) const { std::free(p); }
    };

    bool Inside(const void* p) const;
    void TakeFrom(MessageBuffer& other) noexcept;

    std::uint8_t inlineStorage_[kInlineSize];
    std::uint8_t* data_;
    std::uint32_t capacity_;
    std::uint32_t size_;
    std::unique_ptr<std::uint8_t, FreeBlock> block_;  // the heap block, when data_ is not inline
};
