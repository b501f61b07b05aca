#pragma once
// The first bytes of the channel's shared-memory block (little-endian).

#include <cstdint>

struct SharedMemoryHeader {
    std::uint32_t magic;       // 0x4E4D4150
    std::uint32_t dataOffset;  // of the data area, from the start of the block
    std::uint32_t dataSize;    // bytes in the data area
};

static_assert(sizeof(SharedMemoryHeader) == 12);
