#include "platform/kernel/Threads.h"

#include <chrono>
#include <thread>

#include "platform/kernel/ThreadIdentity.h"

DWORD GetCurrentThreadId() { return kernel::ThreadIdentity::CurrentId(); }

void Sleep(DWORD milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

DWORD GetTickCount() {
    return static_cast<DWORD>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}
