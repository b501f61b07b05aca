#pragma once
// Threads: the calling thread's id, and sleeping.

#include "platform/kernel/WinTypes.h"

DWORD GetCurrentThreadId();
void Sleep(DWORD milliseconds);
// Milliseconds since an arbitrary start; wraps after 49.7 days.
DWORD GetTickCount();
