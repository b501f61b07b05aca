#pragma once
// A brush.

#include "platform/framework/CGdiObject.h"

class CBrush : public CGdiObject {
    DECLARE_DYNCREATE(CBrush)

public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }

    BOOL CreateSolidBrush(COLORREF color);
    operator HBRUSH() const { return m_hObject; }
    static CBrush* FromHandle(HBRUSH brush) { return FromHandleAs<CBrush>(brush); }
};
