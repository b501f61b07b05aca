#pragma once
// A line on standard error for a control's private message that it does not know, when the
// environment has QB_TRACE_CONTROLS set: what a caller expected of a control shows up while
// porting. Silent otherwise.

#include "platform/window/WindowTypes.h"

class PrivateMessageTrace {
public:
    static void Unknown(const char* control, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};
