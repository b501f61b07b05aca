#pragma once
// A font.

#include "platform/framework/CGdiObject.h"

class CFont : public CGdiObject {
    DECLARE_DYNCREATE(CFont)

public:
    BOOL CreateFontIndirect(const LOGFONTA* font);
    // Height in tenths of a point at 96 dpi, as a dialog's font is given.
    BOOL CreatePointFont(int pointSize, LPCSTR faceName);
    int GetLogFont(LOGFONTA* font) const { return GetObject(sizeof(LOGFONTA), font); }
    operator HFONT() const { return m_hObject; }
    static CFont* FromHandle(HFONT font) { return FromHandleAs<CFont>(font); }
};
