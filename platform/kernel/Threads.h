#pragma once
// Threads: the calling thread's id, and sleeping.

#include "platform/kernel/WinTypes.h"

DWORD GetCurrentThreadId();
void Sleep(DWORD milliseconds);
