#include "tests/widgets/IconMenuTesting.h"

#include "platform/controls/MenuLayout.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/TextOutput.h"
#include "resources/ImageResources.h"
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

bool IconMenuTestBase::DisabledLooksMixedWith(const CIconMenuIcons& set, COLORREF bar) {
    // Image 0 is the picture, image 2 its disabled look; both over a colour no picture uses.
    constexpr COLORREF kUnused = RGB(1, 2, 3);
    int width = 0, height = 0;
    if (!ImageList_GetIconSize(set.Images(), &width, &height)) return false;
    const HDC hdc = CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = CreateBitmap(2 * width, height, 1, 32, nullptr);
    const HGDIOBJ old = SelectObject(hdc, bitmap);
    const HBRUSH unused = CreateSolidBrush(kUnused);
    const RECT all{0, 0, 2 * width, height};
    FillRect(hdc, &all, unused);
    ImageList_Draw(set.Images(), 0, hdc, 0, 0, ILD_TRANSPARENT);
    ImageList_Draw(set.Images(), 2, hdc, width, 0, ILD_TRANSPARENT);
    int opaque = 0, mixed = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = GetPixel(hdc, x, y);
            if (c == kUnused) continue;
            ++opaque;
            const COLORREF look = IconMenuColors::Mix(IconMenuColors::Lighten(100, IconMenuColors::Grey(c)), bar);
            mixed += GetPixel(hdc, width + x, y) == look;
        }
    SelectObject(hdc, old);
    DeleteObject(unused);
    DeleteObject(bitmap);
    DeleteDC(hdc);
    return opaque > 0 && mixed == opaque;
}

void IconMenuTestBase::ChangeMenuColor(COLORREF menu) {
    const int indexes[] = {COLOR_MENU, COLOR_MENUBAR};
    const COLORREF colors[] = {menu, menu};
    ASSERT_TRUE(SetSysColors(2, indexes, colors));
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
