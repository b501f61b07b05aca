#include "platform/kernel/Threads.h"

#include <chrono>
#include <thread>

#include "platform/kernel/ThreadIdentity.h"

DWORD GetCurrentThreadId() { return kernel::ThreadIdentity::CurrentId(); }

void Sleep(DWORD milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }
