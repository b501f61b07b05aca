#include "platform/controls/PrivateMessageTrace.h"

#include <cstdio>
#include <cstdlib>

void PrivateMessageTrace::Unknown(const char* control, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    static const bool on = std::getenv("QB_TRACE_CONTROLS") != nullptr;
    if (!on) return;
    std::fprintf(stderr, "%s %p: unknown message 0x%04X (wParam 0x%zX, lParam 0x%zX)\n", control,
                 static_cast<void*>(hwnd), message, static_cast<std::size_t>(wParam), static_cast<std::size_t>(lParam));
}
