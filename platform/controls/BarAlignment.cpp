#include "platform/controls/BarAlignment.h"

#include "platform/controls/CommCtrl.h"
#include "platform/graphics/Rects.h"
#include "platform/window/Windows.h"

void BarAlignment::Apply(HWND bar, int height, bool bottomByDefault) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(bar, GWL_STYLE));
    const HWND parent = GetParent(bar);
    if ((style & CCS_NORESIZE) || !parent || !(style & WS_CHILD)) return;
    RECT now, area;
    GetWindowRect(bar, &now);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&now), 2);
    GetClientRect(parent, &area);
    const DWORD align = style & CCS_BOTTOM;
    const bool bottom = align == CCS_BOTTOM || (bottomByDefault && align != CCS_TOP);
    RECT want{0, bottom ? area.bottom - height : 0, area.right, 0};
    if ((style & CCS_NOPARENTALIGN) || align == CCS_NOMOVEY) want.top = now.top;
    want.bottom = want.top + height;
    if (!EqualRect(&want, &now)) MoveWindow(bar, want.left, want.top, Width(want), height, TRUE);
}
