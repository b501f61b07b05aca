#include "tests/widgets/IconMenuTesting.h"

#include "platform/controls/MenuLayout.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/TextOutput.h"
#include "resources/ImageResources.h"
#include "widgets/CIconMenuIcons.h"
#include "widgets/IconMenuSettings.h"
#include "widgets/IconMenuStyleRegistry.h"

namespace viewer {

const WORD kIconTable[] = {135, 16, 15, kQuillbridge, kDebug, kExport, kRefresh, kClear, kAbout, 0};

const MenuTemplate& Menu() {
    static const MenuTemplate menu{0, 0, "", {
        {MF_POPUP, 0, "Log", {
            {0, kQuillbridge, "Quillbridge"}, {0, kDebug, "Debug"}, {MF_SEPARATOR}, {0, kExport, "Export"},
            {MF_SEPARATOR}, {0, kClear, "Clear"}, {MF_SEPARATOR}, {0, kExit, "Exit"},
        }},
        {MF_POPUP, 0, "View", {
            {0, kToolbar, "Toolbar"}, {0, kStatusbar, "Statusbar"}, {MF_SEPARATOR}, {0, kDetail, "Detail"},
            {MF_SEPARATOR}, {0, kRefresh, "Refresh"},
        }},
        {MF_POPUP, 0, "Filter", {
            {0, kAges[0], "1"}, {0, kAges[1], "2"}, {0, kAges[2], "3"}, {0, kAges[3], "W"}, {0, kAges[4], "2W"},
            {0, kAges[5], "M"}, {0, kAges[6], "A"}, {MF_SEPARATOR},
            {MF_POPUP, 0, "Level", {{0, kLevels[0], "F"}, {0, kLevels[1], "E"}, {0, kLevels[2], "W"},
                                    {0, kLevels[3], "I"}}},
        }},
        {MF_POPUP, 0, "About", {{0, kAbout, "About"}}},
    }};
    return menu;
}

void SetCaptions(CIconMenu& bar) {
    const char* bars[] = {" &Log ", " &View ", " &Filter ", " &About "};
    for (UINT i = 0; i < 4; ++i) bar.SetMenuText(i, bars[i], MF_BYPOSITION);
    auto set = [](CIconMenu* popup, std::vector<std::pair<UINT, const char*>> captions) {
        if (!popup) return;
        for (const auto& [position, text] : captions) popup->SetMenuText(position, text, MF_BYPOSITION);
    };
    set(bar.GetSubMenu(0), {{0, "&Quillbridge Log"}, {1, "&Debug Log"}, {3, "&Export..."}, {5, "&Clear log"}, {7, "E&xit"}});
    set(bar.GetSubMenu(1), {{0, "&Toolbar"}, {1, "&Statusbar"}, {3, "Log &Detail"}, {5, "&Refresh\tF5"}});
    CIconMenu* filter = bar.GetSubMenu(2);
    set(filter, {{0, "&1 Day"}, {1, "&2 Days"}, {2, "&3 Days"}, {3, "1 &Week"}, {4, "2 W&eeks"}, {5, "1 &Month"},
                 {6, "&All"}, {8, "&Level"}});
    set(filter ? filter->FindSubMenu("&Level") : nullptr, {{0, "&Fatal"}, {1, "&Error"}, {2, "&Warning"}, {3, "&Info"}});
    set(bar.GetSubMenu(3), {{0, "&About..."}});
}

}  // namespace viewer

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
