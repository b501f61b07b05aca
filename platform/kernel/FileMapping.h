#pragma once
// Named shared memory: sections backed by tmpfs, shared between processes, and views of them.
// A view keeps its section alive after the section's handles are closed.
//
// A section's size is what its creator asked for, never more than its file really holds. Another
// process that may write the file may also shrink it: a view then reads zeros from the shrinking
// on (no signal ends the process), and IsViewBroken says so.

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
// Linux extension: TRUE when the file under the view holding `address` shrank and the view shows
// zeros in its place; FALSE for an intact view, and for an address in no view (ERROR_INVALID_PARAMETER).
BOOL IsViewBroken(LPCVOID address);
