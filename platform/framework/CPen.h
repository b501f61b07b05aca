#pragma once
// A pen.

#include "platform/framework/CGdiObject.h"

class CPen : public CGdiObject {
    DECLARE_DYNCREATE(CPen)

public:
    CPen() = default;
    CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }

    BOOL CreatePen(int style, int width, COLORREF color);
    operator HPEN() const { return m_hObject; }
    static CPen* FromHandle(HPEN pen) { return FromHandleAs<CPen>(pen); }
};
