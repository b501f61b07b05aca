#pragma once
// The system colours (one classic scheme, docs/graphics-on-linux.md) and the system metrics.

#include "platform/graphics/GdiTypes.h"

DWORD GetSysColor(int index);
HBRUSH GetSysColorBrush(int index);
int GetSystemMetrics(int index);
// The screen size the display driver reports (the metrics SM_CXSCREEN and SM_CYSCREEN).
void SetScreenMetrics(int width, int height);
