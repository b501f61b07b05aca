#pragma once
// Closing handles of every kind of kernel object.

#include "platform/kernel/WinTypes.h"

BOOL CloseHandle(HANDLE handle);
