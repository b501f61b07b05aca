#include "platform/window/LockedWindow.h"

#include "platform/window/WindowManager.h"

LockedWindow::LockedWindow(HWND hwnd) {
    gWindowLock.lock();
    window_ = WindowManager::Instance().Find(hwnd);
}

LockedWindow::~LockedWindow() { gWindowLock.unlock(); }
