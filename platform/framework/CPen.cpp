#include "platform/framework/CPen.h"

#include "platform/graphics/Gdi.h"

IMPLEMENT_DYNCREATE(CPen, CGdiObject)

BOOL CPen::CreatePen(int style, int width, COLORREF color) { return Attach(::CreatePen(style, width, color)); }
