#pragma once
// The system colours (one classic scheme, docs/graphics-on-linux.md) and the system metrics.

#include "platform/graphics/GdiTypes.h"

DWORD GetSysColor(int index);
HBRUSH GetSysColorBrush(int index);
// Changes colours of the scheme (and their brushes); FALSE, changing nothing, for an index out of
// range. The window system's SetSysColors also tells the top-level windows.
BOOL SetSystemColors(int count, const int* indexes, const COLORREF* colors);
int GetSystemMetrics(int index);

// The system parameters the viewer asks for: SPI_GETNONCLIENTMETRICS (the menu and caption
// fonts and sizes), SPI_GETHIGHCONTRAST (off), SPI_GETFLATMENU, SPI_GETDROPSHADOW,
// SPI_GETMENUANIMATION and SPI_GETMENUFADE (all off). FALSE for the others.
BOOL SystemParametersInfoA(UINT action, UINT size, void* value, UINT flags);

// The screen size the display driver reports (the metrics SM_CXSCREEN and SM_CYSCREEN).
void SetScreenMetrics(int width, int height);
