#include "widgets/FlatToolBarSettings.h"

#include <cstring>

#include "platform/controls/CommCtrl.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/TextOutput.h"
#include "platform/window/Windows.h"

namespace {

DWORD CommonControlsVersion() {
    DLLVERSIONINFO info{};
    info.cbSize = sizeof info;
    if (!CommonControlsGetVersion(&info)) return FlatToolBarSettings::kVersion40;
    return info.dwMajorVersion << 16 | (info.dwMinorVersion & 0xFFFF);
}

int ArrowWidth() {
    LOGFONTA marlett{};
    marlett.lfHeight = GetSystemMetrics(SM_CYMENUCHECK);
    std::strcpy(marlett.lfFaceName, "Marlett");
    const HFONT font = CreateFontIndirectA(&marlett);
    const HDC hdc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(hdc, font);
    int width = 0;
    if (!GetCharWidth32A(hdc, '6', '6', &width)) width = 0;
    SelectObject(hdc, old);
    ReleaseDC(nullptr, hdc);
    DeleteObject(font);
    return width;
}

}  // namespace

FlatToolBarSettings& FlatToolBarSettings::Instance() {
    static FlatToolBarSettings settings;
    return settings;
}

void FlatToolBarSettings::Read() {
    comCtlVersion = CommonControlsVersion();
    dropDownArrowWidth = ArrowWidth();
}
