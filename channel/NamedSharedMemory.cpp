#include "channel/NamedSharedMemory.h"

#include <cstring>

#include "channel/OpenSecurity.h"
#include "channel/SharedMemoryHeader.h"
#include "platform/kernel/FileMapping.h"
#include "platform/kernel/Handles.h"
#include "platform/kernel/LastError.h"

namespace {
constexpr char kGuardSuffix[] = "_NMAPFILEMUTEX";
}

NamedSharedMemory::~NamedSharedMemory() {
    if (view != nullptr) UnmapViewOfFile(view);
    if (mapping != nullptr) CloseHandle(mapping);
}

int NamedSharedMemory::SetName(const char* newName) {
    if (newName == nullptr || !name.empty()) return -1;
    name = newName;
    if (name.empty()) return -1;
    const BOOL inherit = FALSE;
    if (guard.Create((name + kGuardSuffix).c_str(), true, &inherit) != 0) {
        name.clear();
        return -1;
    }
    return 0;
}

int NamedSharedMemory::MapView(int newMode) {
    const DWORD access = newMode == 1 ? FILE_MAP_ALL_ACCESS : FILE_MAP_READ;
    view = MapViewOfFile(mapping, access, 0, 0, 0);
    if (view == nullptr) {
        CloseHandle(mapping);
        mapping = nullptr;
        return -1;
    }
    MEMORY_BASIC_INFORMATION info{};
    viewSize = VirtualQuery(view, &info, sizeof info) ? info.RegionSize : 0;
    mode = newMode;
    ReadHeader();
    return 0;
}

void NamedSharedMemory::ReadHeader() {
    SharedMemoryHeader header{};
    if (viewSize >= sizeof header) std::memcpy(&header, view, sizeof header);
    // A header that claims more than the view holds is as bad as none: copies would run off it.
    const std::uint64_t end = std::uint64_t{header.dataOffset} + header.dataSize;
    if (header.magic == kMagic && end <= viewSize) {
        dataOffset = header.dataOffset;
        dataSize = header.dataSize;
    } else {
        dataOffset = 0;
        dataSize = kNoRoom;
    }
}

int NamedSharedMemory::Open(int newMode) {
    if (name.empty() || mapping != nullptr) return -1;
    const DWORD access = newMode == 1 ? FILE_MAP_ALL_ACCESS : FILE_MAP_READ;
    mapping = OpenFileMappingA(access, FALSE, name.c_str());
    if (mapping == nullptr) return GetLastError() == ERROR_FILE_NOT_FOUND ? -3 : -1;
    return MapView(newMode == 1 ? 1 : 0);
}

bool NamedSharedMemory::IsBroken() const { return view != nullptr && IsViewBroken(view); }

int NamedSharedMemory::Create(std::uint32_t size, bool openToAll) {
    if (name.empty() || mapping != nullptr) return -1;
    OpenSecurity security;
    const std::uint64_t total = std::uint64_t{kDataOffset} + size;
    mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, openToAll ? security.Attributes() : nullptr, PAGE_READWRITE,
                                 static_cast<DWORD>(total >> 32), static_cast<DWORD>(total), name.c_str());
    if (mapping == nullptr) return -1;
    const bool fresh = GetLastError() != ERROR_ALREADY_EXISTS;
    if (MapView(1) != 0) return -1;
    if (fresh || dataSize == kNoRoom) {
        if (viewSize < total) return -1;
        const SharedMemoryHeader header{kMagic, kDataOffset, size};
        std::memcpy(view, &header, sizeof header);
        ReadHeader();
    }
    return 0;
}

int NamedSharedMemory::Read(MessageBuffer& buffer) {
    return Access([&](const std::uint8_t* area, std::uint32_t size) { buffer.Assign(area, size); });
}

int NamedSharedMemory::Write(const MessageBuffer& buffer, std::uint32_t offset) {
    if (view == nullptr) return -1;
    if (mode != 1) return -2;
    if (buffer.IsEmpty()) return 0;
    if (dataSize == kNoRoom || offset >= dataSize) return -1;
    const std::uint32_t count = buffer.Size() < dataSize - offset ? buffer.Size() : dataSize - offset;
    return Access([&](std::uint8_t* area, std::uint32_t) { std::memcpy(area + offset, buffer.Data(), count); });
}
