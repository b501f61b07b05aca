#pragma once
// Makes raw input into the messages a thread's windows get: the window under the pointer (or
// with the capture) through WM_NCHITTEST and WM_SETCURSOR, client or non-client mouse messages,
// double clicks by the system's time and distance, keys to the focus, Alt keys as WM_SYSKEY*.
// Runs on the thread that takes the input, when it takes it: the capture and focus then are the
// ones that count.

#include "platform/window/ThreadQueue.h"
#include "platform/window/WindowLock.h"

class InputCooker {
public:
    static void Cook(ThreadQueue& q, const RawInput& raw) EXCLUDES(gWindowLock);

    // The key state a thread sees (high bit: down; low bit: toggled).
    static WPARAM MouseKeys(const ThreadQueue& q);
};
