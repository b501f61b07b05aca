#include "platform/window/ModalLoop.h"

#include "platform/kernel/Threads.h"
#include "platform/window/Windows.h"

ModalLoop::Result ModalLoop::Run(const std::function<bool()>& done, const std::function<bool(MSG&)>& filter) {
    MSG msg{};
    while (!done()) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return Result::Quit;
        }
        if (got < 0) return Result::Quit;  // no queue to take from: nothing can make `done` true
        if (filter && filter(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return Result::Done;
}

void ModalLoop::Wake() { PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0); }
