#pragma once
// Keeps a shrunk object file from killing the process. Whoever may write an object's file may
// also truncate it, and touching a mapped page past the new end raises SIGBUS. Mappings of object
// files are registered here; a fault inside one maps private zero pages over the whole mapping,
// which is from then on broken (the process reads zeros, its writes go nowhere, and the kernel
// functions refuse the object). Faults anywhere else go to the handler installed before.

#include <cstddef>

namespace kernel {

class MappingGuard {
public:
    static constexpr int kNoSlot = -1;

    // The slot that watches [address, address + length), or kNoSlot when every slot is taken.
    static int Register(void* address, std::size_t length, bool writable);
    // Once this returns, no fault handling touches the range any more: it may be unmapped.
    static void Unregister(int slot);
    static bool Broken(int slot);
};

}  // namespace kernel
