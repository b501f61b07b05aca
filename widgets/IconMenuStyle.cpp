#include "widgets/IconMenuStyle.h"

#include "platform/window/Windows.h"

void IconMenuStyle::Subclassed(IconMenuWindow& window) {
    if (!ownBorder_) return;
    SetWindowLongPtrA(window.hwnd, GWL_STYLE, window.style & ~static_cast<LONG_PTR>(WS_BORDER));
    SetWindowLongPtrA(window.hwnd, GWL_EXSTYLE,
                      window.exStyle & ~static_cast<LONG_PTR>(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE));
}
