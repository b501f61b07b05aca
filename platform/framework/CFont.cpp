#include "platform/framework/CFont.h"

#include <cstring>

#include "platform/graphics/Gdi.h"

IMPLEMENT_DYNCREATE(CFont, CGdiObject)

BOOL CFont::CreateFontIndirect(const LOGFONTA* font) { return font ? Attach(CreateFontIndirectA(font)) : FALSE; }

BOOL CFont::CreatePointFont(int pointSize, LPCSTR faceName) {
    LOGFONTA font{};
    font.lfHeight = -((pointSize * 96 + 360) / 720);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    if (faceName) std::strncpy(font.lfFaceName, faceName, LF_FACESIZE - 1);
    return CreateFontIndirect(&font);
}
