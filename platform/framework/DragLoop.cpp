#include "platform/framework/DragLoop.h"

#include "platform/window/ModalLoop.h"
#include "platform/window/Windows.h"

bool DragLoop::Run() {
    done_ = accepted_ = false;
    SetCapture(capture_);
    ModalLoop::Run([this] { return done_ || GetCapture() != capture_; },
                   [this](MSG& msg) { return Filter(msg); });
    if (GetCapture() == capture_) ReleaseCapture();
    return done_ && accepted_;
}

void DragLoop::Finish(bool accept) {
    done_ = true;
    accepted_ = accept;
}

bool DragLoop::Filter(const MSG& msg) {
    switch (msg.message) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP: {
            POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
            ClientToScreen(msg.hwnd, &p);
            if (onMove) onMove(p);
            if (msg.message == WM_LBUTTONUP) Finish(true);
            return true;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_RBUTTONUP:
            return true;
        case WM_RBUTTONDOWN:
            Finish(false);
            return true;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            if (msg.wParam == VK_ESCAPE) {
                if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) Finish(false);
                return true;
            }
            return onKey && onKey(msg);
        default:
            return false;
    }
}
