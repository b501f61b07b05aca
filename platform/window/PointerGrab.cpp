#include "platform/window/PointerGrab.h"

#include "platform/window/DisplayDriver.h"
#include "platform/window/WindowManager.h"
#include "platform/window/Windows.h"

PointerGrab::PointerGrab(HWND hwnd) {
    const HWND top = hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr;
    if (top && IsWindowVisible(top)) held_ = WindowManager::Instance().Driver()->GrabPointer(top);
}

PointerGrab::~PointerGrab() {
    if (held_) WindowManager::Instance().Driver()->UngrabPointer();
}
