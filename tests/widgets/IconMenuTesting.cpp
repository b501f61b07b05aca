#include "tests/widgets/IconMenuTesting.h"

#include "platform/controls/MenuLayout.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/TextOutput.h"
#include "resources/ImageResources.h"
#include "widgets/CIconMenuIcons.h"
#include "widgets/IconMenuSettings.h"
#include "widgets/IconMenuStyleRegistry.h"

void IconMenuTestBase::SetUp() {
    MenuTestBase::SetUp();
    ASSERT_EQ(RegisterImageResources(), "");
    const IconMenuSettings& s = IconMenuSettings::Instance();
    colorCount_ = s.colorCount;
    generation_ = s.osGeneration;
    variants_ = s.useIconVariants;
    highContrast_ = s.highContrast;
}

void IconMenuTestBase::TearDown() {
    MenuTestBase::TearDown();
    IconMenuSettings& s = IconMenuSettings::Instance();
    s.colorCount = colorCount_;
    s.osGeneration = generation_;
    s.useIconVariants = variants_;
    s.highContrast = highContrast_;
    CIconMenu::SetMenuDrawMode(2);
    EXPECT_TRUE(CIconMenuIcons::All().empty()) << "icon sets outlived their menus";
}

Surface IconMenuTestBase::Drawn(CIconMenu& menu, int position, UINT state, SIZE size) {
    const HDC hdc = CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = CreateBitmap(size.cx, size.cy, 1, 32, nullptr);
    const HGDIOBJ old = SelectObject(hdc, bitmap);
    const CIconMenuItemData* item = menu.ItemData(position);
    DRAWITEMSTRUCT dis{ODT_MENU,
                       0,
                       item ? item->commandId : 0,
                       ODA_DRAWENTIRE,
                       state,
                       reinterpret_cast<HWND>(menu.m_hMenu),
                       hdc,
                       RECT{0, 0, size.cx, size.cy},
                       reinterpret_cast<ULONG_PTR>(item)};
    menu.DrawItem(&dis);
    BITMAP bm{};
    GetObjectA(bitmap, sizeof bm, &bm);
    Surface out(size.cx, size.cy);
    const auto* bits = static_cast<const std::uint32_t*>(bm.bmBits);
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x) out.Row(y)[x] = bits[y * size.cx + x];
    SelectObject(hdc, old);
    DeleteObject(bitmap);
    DeleteDC(hdc);
    return out;
}

MEASUREITEMSTRUCT IconMenuTestBase::Measured(CIconMenu& menu, int position) {
    const CIconMenuItemData* item = menu.ItemData(position);
    MEASUREITEMSTRUCT mis{ODT_MENU, 0, item ? item->commandId : 0, 0, 0, reinterpret_cast<ULONG_PTR>(item)};
    menu.MeasureItem(&mis);
    return mis;
}

int IconMenuTestBase::TextWidth(const std::string& text, bool bold) {
    const HDC hdc = CreateCompatibleDC(nullptr);
    SelectObject(hdc, MenuLayout::Font(bold));
    RECT r{0, 0, 0, 0};
    DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_CALCRECT);
    DeleteDC(hdc);
    return Width(r);
}
