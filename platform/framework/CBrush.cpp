#include "platform/framework/CBrush.h"

#include "platform/graphics/Gdi.h"

IMPLEMENT_DYNCREATE(CBrush, CGdiObject)

BOOL CBrush::CreateSolidBrush(COLORREF color) { return Attach(::CreateSolidBrush(color)); }
