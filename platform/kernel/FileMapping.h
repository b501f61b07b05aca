#pragma once
// Named shared memory: sections backed by tmpfs, shared between processes, and views of them.
// A view keeps its section alive after the section's handles are closed.

#include "platform/kernel/WinTypes.h"

// `file` must be INVALID_HANDLE_VALUE: sections are backed by memory only.
HANDLE CreateFileMappingA(HANDLE file, const SECURITY_ATTRIBUTES* attributes, DWORD protect, DWORD maximumSizeHigh,
                          DWORD maximumSizeLow, LPCSTR name);
HANDLE OpenFileMappingA(DWORD desiredAccess, BOOL inheritHandle, LPCSTR name);
// `numberOfBytes` 0 maps the section from the offset to its end. Offsets are multiples of 4096.
LPVOID MapViewOfFile(HANDLE section, DWORD desiredAccess, DWORD offsetHigh, DWORD offsetLow, SIZE_T numberOfBytes);
BOOL UnmapViewOfFile(LPCVOID baseAddress);
// Fills BaseAddress, AllocationBase and RegionSize of the view holding `address`; returns the
// size written, 0 when `address` is in no view.
SIZE_T VirtualQuery(LPCVOID address, MEMORY_BASIC_INFORMATION* info, SIZE_T length);
