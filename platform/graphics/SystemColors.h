#pragma once
// The system colours (the classic scheme until changed, docs/graphics-on-linux.md) and the system
// metrics.

#include "platform/graphics/GdiTypes.h"

DWORD GetSysColor(int index);
HBRUSH GetSysColorBrush(int index);
// The colours of the scheme change: colors[i] for the system colour indexes[i], and the brush
// GetSysColorBrush gives for it (the same handle, the new colour). False, with nothing changed,
// for a negative count, missing arrays or an index that names no system colour. The windows are
// not told: SetSysColors (window layer) calls this and sends them WM_SYSCOLORCHANGE.
bool StoreSysColors(int count, const int* indexes, const COLORREF* colors);
int GetSystemMetrics(int index);

// The system parameters the viewer asks for: SPI_GETNONCLIENTMETRICS (the menu and caption
// fonts and sizes), SPI_GETHIGHCONTRAST (off), SPI_GETFLATMENU, SPI_GETDROPSHADOW,
// SPI_GETMENUANIMATION and SPI_GETMENUFADE (all off). FALSE for the others.
BOOL SystemParametersInfoA(UINT action, UINT size, void* value, UINT flags);

// The screen size the display driver reports (the metrics SM_CXSCREEN and SM_CYSCREEN).
void SetScreenMetrics(int width, int height);
