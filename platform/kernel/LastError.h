#pragma once
// The calling thread's last-error code, set by the kernel functions that fail.

#include "platform/kernel/WinTypes.h"

DWORD GetLastError();
void SetLastError(DWORD error);
