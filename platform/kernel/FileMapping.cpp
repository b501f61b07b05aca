#include "platform/kernel/FileMapping.h"

#include "platform/kernel/KernelState.h"
#include "platform/kernel/LastError.h"
#include "platform/kernel/ObjectLayout.h"
#include "platform/kernel/Security.h"

using kernel::KernelState;
using kernel::ObjectType;

namespace {

constexpr DWORD kSectionAllAccess = FILE_MAP_ALL_ACCESS;

bool WantsWrite(DWORD access) { return (access & (FILE_MAP_WRITE | FILE_MAP_COPY)) != 0; }

}  // namespace

HANDLE CreateFileMappingA(HANDLE file, const SECURITY_ATTRIBUTES* attributes, DWORD protect, DWORD maximumSizeHigh,
                          DWORD maximumSizeLow, LPCSTR name) {
    std::uint64_t size = (std::uint64_t{maximumSizeHigh} << 32) | maximumSizeLow;
    if (file != INVALID_HANDLE_VALUE || size == 0 || (protect != PAGE_READWRITE && protect != PAGE_READONLY)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    kernel::ObjectRecipe recipe;
    recipe.type = ObjectType::Section;
    recipe.openToAll = IsOpenToEveryone(attributes);
    recipe.sectionSize = size;
    auto found = KernelState::Instance().Namespace().Create(name, recipe);
    if (!found.object) {
        SetLastError(found.error);
        return nullptr;
    }
    HANDLE handle = KernelState::Instance().Handles().Insert(std::move(found.object), kSectionAllAccess);
    SetLastError(found.error);
    return handle;
}

HANDLE OpenFileMappingA(DWORD desiredAccess, BOOL, LPCSTR name) {
    auto found = KernelState::Instance().Namespace().Open(name, ObjectType::Section, WantsWrite(desiredAccess));
    if (!found.object) {
        SetLastError(found.error);
        return nullptr;
    }
    HANDLE handle = KernelState::Instance().Handles().Insert(std::move(found.object), desiredAccess);
    SetLastError(ERROR_SUCCESS);
    return handle;
}

LPVOID MapViewOfFile(HANDLE section, DWORD desiredAccess, DWORD offsetHigh, DWORD offsetLow, SIZE_T numberOfBytes) {
    DWORD granted = 0;
    auto object = KernelState::Instance().Handles().Get(section, &granted);
    if (!object || object->Type() != ObjectType::Section) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (object->Broken()) {
        SetLastError(ERROR_FILE_CORRUPT);
        return nullptr;
    }
    bool write = WantsWrite(desiredAccess);
    if ((write && (!WantsWrite(granted) || !object->Writable())) || !(granted & (FILE_MAP_READ | FILE_MAP_WRITE))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    std::uint64_t offset = (std::uint64_t{offsetHigh} << 32) | offsetLow;
    std::uint64_t size = object->SectionSize();
    if (offset % kernel::kObjectPageSize != 0 || offset >= size) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::uint64_t length = numberOfBytes ? numberOfBytes : size - offset;
    if (length > size - offset) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    kernel::MappedRegion region(object->Fd(), length, static_cast<long>(kernel::kObjectPageSize + offset), write);
    if (!region.Valid()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return KernelState::Instance().Handles().AddView(std::move(object), std::move(region));
}

BOOL UnmapViewOfFile(LPCVOID baseAddress) {
    if (!KernelState::Instance().Handles().RemoveView(baseAddress)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}

SIZE_T VirtualQuery(LPCVOID address, MEMORY_BASIC_INFORMATION* info, SIZE_T length) {
    if (info == nullptr || length < sizeof *info || !KernelState::Instance().Handles().QueryView(address, *info)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return sizeof *info;
}

BOOL IsViewBroken(LPCVOID address) {
    bool broken = false;
    if (!KernelState::Instance().Handles().ViewBroken(address, broken)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return broken ? TRUE : FALSE;
}
