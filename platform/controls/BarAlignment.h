#pragma once
// Where a bar (toolbar, status bar) puts itself in its parent: across the parent's client area,
// at the top or the bottom as its CCS_* style says, unless CCS_NORESIZE leaves it where it was
// put. CCS_NOPARENTALIGN and CCS_NOMOVEY keep its vertical position.

#include "platform/window/WindowTypes.h"

class BarAlignment {
public:
    // Moves `bar` to `height` pixels across its parent; `bottomByDefault` for a bar that sits at
    // the bottom unless it asks for CCS_TOP (the status bar). Moves nothing that is in place.
    static void Apply(HWND bar, int height, bool bottomByDefault);
};
