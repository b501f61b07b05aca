#pragma once
// A named shared-memory block: a SharedMemoryHeader, then a data area. Every copy into or out of
// the data area holds the block's guard mutex (the block's name + "_NMAPFILEMUTEX").
// Results: 0 success, -1 failure, -2 a write through a block opened read-only, -3 no such block.

#include <cstdint>
#include <string>

#include "channel/MessageBuffer.h"
#include "channel/NamedMutex.h"
#include "channel/NamedMutexLock.h"
#include "platform/kernel/WinTypes.h"

class NamedSharedMemory {
public:
    static constexpr std::uint32_t kMagic = 0x4E4D4150;
    static constexpr std::uint32_t kNoRoom = 0xFFFFFFFF;  // dataSize of a block without a valid header
    static constexpr std::uint32_t kDataOffset = 64;      // where a block this side creates puts its data
    // A guard held longer than this belongs to a process that hangs; copying regardless would
    // race with it.
    static constexpr DWORD kGuardTimeoutMs = 10000;

    NamedSharedMemory() = default;
    ~NamedSharedMemory();
    NamedSharedMemory(const NamedSharedMemory&) = delete;
    NamedSharedMemory& operator=(const NamedSharedMemory&) = delete;

    int SetName(const char* newName);
    // mode 1 read-write, anything else read-only.
    int Open(int newMode);
    // Service side: creates the block (open to every local user, or with default security) with
    // a data area of `size` bytes and writes its header, or opens the block of that name that
    // outlived its creator.
    int Create(std::uint32_t size, bool openToAll = true);
    // Copies the whole data area into `buffer`.
    int Read(MessageBuffer& buffer);
    // Copies `buffer` to `offset` in the data area, cut at the area's end.
    int Write(const MessageBuffer& buffer, std::uint32_t offset);

    // Runs `f(area, size)` on the data area while holding the guard; -1 when the block is not
    // open, has no valid header, the guard cannot be had, or the block's file was shrunk (by
    // another process) before or during the copy: what `f` saw then was zeros, not the block.
    template <class F>
    int Access(F&& f) {
        if (view == nullptr || dataSize == kNoRoom || IsBroken()) return -1;
        NamedMutexLock lock(guard, kGuardTimeoutMs);
        if (!lock.Owned()) return -1;
        f(static_cast<std::uint8_t*>(view) + dataOffset, dataSize);
        return IsBroken() ? -1 : 0;
    }

    bool IsOpen() const { return view != nullptr; }
    bool IsBroken() const;
    std::uint32_t DataOffset() const { return dataOffset; }
    std::uint32_t DataSize() const { return dataSize; }
    const std::string& Name() const { return name; }

private:
    int MapView(int newMode);
    void ReadHeader();

    std::string name;
    HANDLE mapping = nullptr;
    void* view = nullptr;
    std::uint32_t dataOffset = 0;
    std::uint32_t dataSize = kNoRoom;
    NamedMutex guard;
    int mode = 0;
    std::size_t viewSize = 0;
};
