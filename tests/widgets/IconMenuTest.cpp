// Icon menus on their own: the colour formulas and palettes, the settings' answers, measuring and
// drawing items (band, icons and their looks, checks, separators, accelerators, bar items),
// mnemonics, icon sets and their reuse, captions by position and by command, popups by caption,
// the style switches, popups opening and closing, and the menu windows the hook subclasses.

#include <cstring>
#include <functional>

#include "platform/controls/Dialog.h"
#include "platform/controls/MenuRegistry.h"
#include "platform/controls/PopupMenuWindow.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/ResourceImages.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/TextOutput.h"
#include "platform/kernel/Threads.h"
#include "platform/kernel/VersionInfo.h"
#include "tests/widgets/IconMenuTesting.h"
#include "widgets/CIconMenuIcons.h"
#include "widgets/IconMenuSettings.h"
#include "widgets/IconMenuStyleRegistry.h"
#include "widgets/IconMenuWindowHook.h"

namespace {

using namespace viewer;

constexpr UINT kMenuId = 128;
constexpr SIZE kItem{200, 22};

class IconMenuTest : public IconMenuTestBase {
protected:
    void SetUp() override {
        IconMenuTestBase::SetUp();
        MenuRegistry::Instance().Register(MAKEINTRESOURCEA(kMenuId), viewer::Menu());
    }
    void TearDown() override {
        MenuRegistry::Instance().Unregister(MAKEINTRESOURCEA(kMenuId));
        IconMenuTestBase::TearDown();
    }

    // The viewer's bar: loaded, a bar, captioned, with its icons.
    static void Load(CIconMenu& bar, bool icons = true) {
        ASSERT_TRUE(bar.LoadMenu(kMenuId));
        bar.isPopup = 0;
        SetCaptions(bar);
        if (icons) {
            ASSERT_TRUE(bar.LoadToolBar(kIconTable, RGB(192, 192, 192)));
        }
    }

    // The ink of a drawn item: pixels that are none of the given colours, as columns.
    static std::vector<int> InkColumns(const Surface& s, std::initializer_list<COLORREF> paper) {
        std::vector<int> columns;
        for (int x = 0; x < s.Width(); ++x)
            for (int y = 0; y < s.Height(); ++y)
                if (std::find(paper.begin(), paper.end(), At(s, x, y)) == paper.end()) {
                    columns.push_back(x);
                    break;
                }
        return columns;
    }
};

// A picture of bitmap 135 (k-th), each pixel's colour, or CLR_NONE where it is the mask.
COLORREF Picture(int k, int x, int y) {
    const std::shared_ptr<const PixelArt> art = ResourceImages::Bitmap(135);
    const COLORREF c = Surface::ColorOf(art->image.At(16 * k + x, y));
    return c == RGB(192, 192, 192) ? CLR_NONE : c;
}

TEST_F(IconMenuTest, ColourFormulasRoundEachQuotient) {
    struct Case {
        const char* name;
        COLORREF got, expected;
    } cases[] = {
        {"mix", IconMenuColors::Mix(RGB(200, 100, 0), RGB(0, 100, 200)), RGB(172, 100, 28)},
        {"mix of white and black", IconMenuColors::Mix(RGB(255, 255, 255), 0), RGB(219, 219, 219)},
        {"mix70", IconMenuColors::Mix70(RGB(200, 100, 0), RGB(0, 100, 200)), RGB(140, 100, 60)},
        {"darken", IconMenuColors::Darken(50, RGB(255, 128, 0)), RGB(205, 103, 0)},
        {"lighten", IconMenuColors::Lighten(100, RGB(0, 128, 255)), RGB(100, 178, 255)},
        {"grey", IconMenuColors::Grey(RGB(10, 20, 31)), RGB(20, 20, 20)},
        {"icon shadow", IconMenuColors::IconShadow(RGB(100, 50, 145)), RGB(70, 35, 140)},
        {"icon shadow of white stays in range", IconMenuColors::IconShadow(RGB(255, 255, 255)), RGB(179, 179, 217)},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.expected) << c.name;
}

TEST_F(IconMenuTest, ThePaletteFollowsColourDepthAndContrast) {
    struct Case {
        const char* name;
        int colors;
        bool highContrast;
        COLORREF background, band, fill, pen;
    } cases[] = {
        {"true colour", 64000, false, RGB(249, 248, 247), RGB(218, 215, 208), RGB(161, 168, 186),
         GetSysColor(COLOR_HIGHLIGHT)},
        {"256 colours", 256, false, RGB(249, 248, 247), GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_WINDOW),
         GetSysColor(COLOR_HIGHLIGHT)},
        {"16 colours, high contrast", 16, true, RGB(249, 248, 247), GetSysColor(COLOR_BTNFACE),
         GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_BTNTEXT)},
    };
    IconMenuSettings& settings = IconMenuSettings::Instance();
    for (const Case& c : cases) {
        settings.colorCount = c.colors;
        settings.highContrast = c.highContrast;
        const IconMenuColors::Palette p = IconMenuColors::Current();
        EXPECT_EQ(p.menu, GetSysColor(COLOR_MENU)) << c.name;
        EXPECT_EQ(p.bar, GetSysColor(COLOR_MENU)) << c.name;
        EXPECT_EQ(p.background, c.background) << c.name;
        EXPECT_EQ(p.band, c.band) << c.name;
        EXPECT_EQ(p.selectionFill, c.fill) << c.name;
        EXPECT_EQ(p.selectionPen, c.pen) << c.name;
    }
}

TEST_F(IconMenuTest, TheSettingsAnswerForThisPlatform) {
    struct Case {
        DWORD platform, major, minor;
        int generation;
    } cases[] = {
        {VER_PLATFORM_WIN32_WINDOWS, 3, 95, 0}, {VER_PLATFORM_WIN32_WINDOWS, 4, 0, 2},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 10, 3}, {VER_PLATFORM_WIN32_WINDOWS, 4, 90, 4},
        {VER_PLATFORM_WIN32_NT, 4, 0, 5},       {VER_PLATFORM_WIN32_NT, 5, 0, 6},
        {VER_PLATFORM_WIN32_NT, 5, 1, 7},       {VER_PLATFORM_WIN32_NT, 5, 2, 1},
        {VER_PLATFORM_WIN32_NT, 10, 0, 1},      {VER_PLATFORM_LINUX, 6, 1, 1},
    };
    for (const Case& c : cases) {
        OSVERSIONINFOA v{};
        v.dwPlatformId = c.platform;
        v.dwMajorVersion = c.major;
        v.dwMinorVersion = c.minor;
        EXPECT_EQ(IconMenuSettings::GenerationOf(v), c.generation) << c.platform << " " << c.major << "." << c.minor;
    }
    IconMenuSettings& settings = IconMenuSettings::Instance();
    settings.Read();
    EXPECT_EQ(settings.osGeneration, 1);
    EXPECT_TRUE(settings.gradientFill);
    EXPECT_FALSE(settings.ThemeActive());
    EXPECT_FALSE(settings.remoteSession);
    EXPECT_FALSE(settings.highContrast);
    EXPECT_EQ(settings.colorCount, 64000) << "a true-colour screen";
}

TEST_F(IconMenuTest, ItemsAreMeasuredFromTheirWholeText) {
    CIconMenu bar;
    Load(bar);
    CIconMenu& log = *bar.GetSubMenu(0);
    CIconMenu& view = *bar.GetSubMenu(1);
    struct Case {
        const char* name;
        CIconMenu* menu;
        int position;
        int width, height;
    } cases[] = {
        {"accelerator after a tab", &view, 5, TextWidth("&Refresh\tF5") + 2 * 16 + 2 + 15, 22},
        {"plain item", &log, 3, TextWidth("&Export...") + 2 * 16 + 2, 22},
        {"item without icon", &view, 0, TextWidth("&Toolbar") + 2 * 16 + 2, 22},
        {"separator", &log, 2, 0, 3},
        {"bar item", &bar, 0, TextWidth(" &Log ") - 6, 22},
    };
    for (const Case& c : cases) {
        const MEASUREITEMSTRUCT mis = Measured(*c.menu, c.position);
        EXPECT_EQ(static_cast<int>(mis.itemWidth), c.width) << c.name;
        EXPECT_EQ(static_cast<int>(mis.itemHeight), c.height) << c.name;
    }

    // Titled separators: the title in its font; turned, it gives a width and no height; a wide
    // title has 8 pixels more.
    LOGFONTA titleFont{};
    titleFont.lfHeight = 16;
    titleFont.lfWeight = FW_BOLD;
    titleFont.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(titleFont.lfFaceName, "Arial");
    const HFONT font = CreateFontIndirectA(&titleFont);
    const HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, font);
    RECT title{0, 0, 0, 0};
    DrawTextA(dc, "Files", 5, &title, DT_SINGLELINE | DT_CALCRECT);
    DeleteDC(dc);
    DeleteObject(font);
    const int check = GetSystemMetrics(SM_CXMENUCHECK);
    struct Title {
        BYTE flags;
        int width, height;
    } titles[] = {
        {0x01, Width(title), Height(title)},
        {0x11, Width(title), Height(title) + 8},
        {0x03, Height(title) - check, 0},
        {0x13, Height(title) - check + 8, 0},
    };
    CIconMenuItemData& separator = *log.ItemData(2);
    separator.text = "Files";
    for (const Title& t : titles) {
        separator.titleFlags = t.flags;
        const MEASUREITEMSTRUCT mis = Measured(log, 2);
        EXPECT_EQ(static_cast<int>(mis.itemWidth), t.width) << int{t.flags};
        EXPECT_EQ(static_cast<int>(mis.itemHeight), t.height) << int{t.flags};
    }
    separator.titleFlags = 0;

    // The default item is drawn bold, and measured so.
    SetMenuDefaultItem(log.m_hMenu, 3, TRUE);
    log.SyncItems(false);
    EXPECT_EQ(static_cast<int>(Measured(log, 3).itemWidth), TextWidth("&Export...", true) + 2 * 16 + 2);

    // A child window's system commands take the menu height and line up with the next command.
    CIconMenu system;
    ASSERT_TRUE(system.CreatePopupMenu());
    AppendMenuA(system.m_hMenu, MF_STRING, SC_CLOSE, "x");
    AppendMenuA(system.m_hMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(system.m_hMenu, MF_STRING, 100, "A much longer item");
    system.SyncItems(false);
    const MEASUREITEMSTRUCT close = Measured(system, 0);
    EXPECT_EQ(static_cast<int>(close.itemHeight), GetSystemMetrics(SM_CYMENU));
    EXPECT_EQ(static_cast<int>(close.itemWidth), TextWidth("A much longer item") + 2 * 16 + 2);
}

TEST_F(IconMenuTest, PopupItemsDrawBandIconsSelectionAndText) {
    CIconMenu bar;
    Load(bar);
    CIconMenu& view = *bar.GetSubMenu(1);
    CIconMenu& log = *bar.GetSubMenu(0);
    const IconMenuColors::Palette p = IconMenuColors::Current();
    const COLORREF bar0 = p.bar;

    // An item whose command has no icon: an empty band, the rest in the background colour.
    const Surface toolbar = Drawn(view, 0, 0, kItem);
    for (int x = 0; x < 24; ++x) EXPECT_EQ(At(toolbar, x, 1), p.band) << x;
    EXPECT_EQ(At(toolbar, 24, 1), p.background);
    EXPECT_EQ(At(toolbar, 199, 21), p.background);

    // The icon of refresh (picture 3) in its looks, at (3, 3) in its 16-pixel cell.
    struct Look {
        const char* name;
        UINT state;
        int variants;
        int dx, dy;
        std::function<COLORREF(COLORREF)> color;
    } looks[] = {
        {"normal", 0, 1, 3, 3, [](COLORREF c) { return IconMenuColors::Darken(50, c); }},
        {"plain picture without variants", 0, 0, 3, 3, [](COLORREF c) { return c; }},
        {"disabled", ODS_GRAYED | ODS_DISABLED, 1, 3, 3,
         [bar0](COLORREF c) { return IconMenuColors::Mix(IconMenuColors::Lighten(100, IconMenuColors::Grey(c)), bar0); }},
        {"disabled without variants: a stamp", ODS_GRAYED | ODS_DISABLED, 0, 3, 3,
         [stamp = IconMenuColors::Darken(70, p.band)](COLORREF) { return stamp; }},
        {"selected, lifted", ODS_SELECTED, 1, 2, 2, [](COLORREF c) { return c; }},
        {"checked and selected, in place", ODS_SELECTED | ODS_CHECKED, 1, 3, 3, [](COLORREF c) { return c; }},
    };
    for (const Look& look : looks) {
        IconMenuSettings::Instance().useIconVariants = look.variants;
        const Surface s = Drawn(view, 5, look.state, kItem);
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 16; ++x)
                if (const COLORREF c = Picture(3, x, y); c != CLR_NONE) {
                    ASSERT_EQ(At(s, look.dx + x, look.dy + y), look.color(c)) << look.name << " " << x << "," << y;
                }
    }
    IconMenuSettings::Instance().useIconVariants = 1;

    // Selected: filled and outlined; the picture's shadow falls below and right of it.
    const Surface selected = Drawn(view, 5, ODS_SELECTED, kItem);
    EXPECT_EQ(At(selected, 0, 0), p.selectionPen);
    EXPECT_EQ(At(selected, 199, 21), p.selectionPen);
    EXPECT_EQ(At(selected, 1, 1), p.selectionFill);
    EXPECT_EQ(At(selected, 150, 11), p.selectionFill);
    const COLORREF shadow = IconMenuColors::IconShadow(p.selectionFill);
    int shadowPixels = 0;
    for (int y = 0; y < 22; ++y)
        for (int x = 0; x < 24; ++x) shadowPixels += At(selected, x, y) == shadow;
    EXPECT_GT(shadowPixels, 0);

    // Hot-light and inactive items look selected.
    for (UINT state : {UINT{ODS_HOTLIGHT}, UINT{ODS_INACTIVE}}) {
        EXPECT_EQ(At(Drawn(view, 5, state, kItem), 150, 11), p.selectionFill) << state;
    }

    // Greyed items write in grey; the default item in bold, so wider.
    const Surface greyed = Drawn(view, 0, ODS_GRAYED, kItem);
    int grey = 0, black = 0;
    for (int y = 0; y < kItem.cy; ++y)
        for (int x = 28; x < kItem.cx; ++x) {
            grey += At(greyed, x, y) == GetSysColor(COLOR_GRAYTEXT);
            black += At(greyed, x, y) == GetSysColor(COLOR_MENUTEXT);
        }
    EXPECT_GT(grey, 10);
    EXPECT_EQ(black, 0);
    EXPECT_GT(InkColumns(Drawn(log, 3, ODS_DEFAULT, kItem), {p.band, p.background}).back(),
              InkColumns(Drawn(log, 3, 0, kItem), {p.band, p.background}).back());

    // Checked without an icon: a framed cell with the check glyph in it.
    CheckMenuItem(view.m_hMenu, 0, MF_BYPOSITION | MF_CHECKED);
    const Surface checked = Drawn(view, 0, ODS_CHECKED, kItem);
    EXPECT_EQ(At(checked, 1, 1), p.selectionPen) << "the frame";
    EXPECT_EQ(At(checked, 20, 19), p.selectionPen);
    EXPECT_EQ(At(checked, 2, 2), IconMenuColors::Mix(p.band, GetSysColor(COLOR_HIGHLIGHT)));
    int glyph = 0;
    for (int y = 2; y < 19; ++y)
        for (int x = 2; x < 20; ++x) glyph += At(checked, x, y) == GetSysColor(COLOR_MENUTEXT);
    EXPECT_GT(glyph, 4) << "the check mark";

    // A radio check shows another glyph; a menu's own check images replace both.
    MENUITEMINFOA radio{};
    radio.cbSize = sizeof radio;
    radio.fMask = MIIM_FTYPE;
    GetMenuItemInfoA(view.m_hMenu, 0, TRUE, &radio);
    radio.fType |= MFT_RADIOCHECK;
    SetMenuItemInfoA(view.m_hMenu, 0, TRUE, &radio);
    const Surface dot = Drawn(view, 0, ODS_CHECKED, kItem);
    int differ = 0;
    for (int y = 0; y < 22; ++y)
        for (int x = 0; x < 24; ++x) differ += At(dot, x, y) != At(checked, x, y);
    EXPECT_GT(differ, 4) << "a dot, not a check mark";
    const HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR32, 2, 0);
    std::vector<std::uint32_t> bits(32 * 16);
    for (std::size_t i = 0; i < bits.size(); ++i)
        bits[i] = Surface::PixelOf(i % 32 < 16 ? RGB(255, 0, 0) : RGB(0, 0, 255));
    const HBITMAP strip = CreateBitmap(32, 16, 1, 32, bits.data());
    ImageList_Add(images, strip, nullptr);
    DeleteObject(strip);
    view.checkImages = images;
    EXPECT_EQ(At(Drawn(view, 0, ODS_CHECKED, kItem), 3, 4), RGB(255, 0, 0));
    EXPECT_EQ(At(Drawn(view, 0, ODS_CHECKED, kItem), 18, 19), RGB(255, 0, 0));
    EXPECT_EQ(At(Drawn(view, 0, ODS_CHECKED | ODS_SELECTED, kItem), 3, 4), RGB(0, 0, 255));
    view.checkImages = nullptr;
    ImageList_Destroy(images);

    // A separator: a grey line from the text's start to the right edge, in the middle.
    const Surface separator = Drawn(log, 2, 0, SIZE{200, 3});
    EXPECT_EQ(At(separator, 27, 1), p.background);
    EXPECT_EQ(At(separator, 28, 1), GetSysColor(COLOR_GRAYTEXT));
    EXPECT_EQ(At(separator, 199, 1), GetSysColor(COLOR_GRAYTEXT));
    EXPECT_EQ(At(separator, 28, 0), p.background);
    EXPECT_EQ(At(separator, 5, 1), p.band);

    // The label from the text's start, the accelerator ending 15 pixels before the right edge.
    const Surface refresh = Drawn(view, 5, 0, kItem);
    std::vector<int> ink = InkColumns(refresh, {p.band, p.background});
    ink.erase(std::remove_if(ink.begin(), ink.end(), [](int x) { return x < 24; }), ink.end());  // the icon
    ASSERT_FALSE(ink.empty());
    EXPECT_GE(ink.front(), 28);
    EXPECT_LE(ink.front(), 30);
    EXPECT_LT(ink.back(), 200 - 15);
    EXPECT_GE(ink.back(), 200 - 15 - 2) << "right-aligned";

    // 256 colours: the band in the button face, the selection in the window colour.
    IconMenuSettings::Instance().colorCount = 256;
    EXPECT_EQ(At(Drawn(view, 0, 0, kItem), 2, 1), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(At(Drawn(view, 0, ODS_SELECTED, kItem), 150, 11), GetSysColor(COLOR_WINDOW));
}

TEST_F(IconMenuTest, BarItemsLookHotOrOpenWithTheirShadow) {
    CIconMenu bar;
    Load(bar);
    const IconMenuColors::Palette p = IconMenuColors::Current();
    const SIZE size{60, 19};
    struct Case {
        const char* name;
        UINT state;
        int openPopups;
        int colors;
        std::vector<std::pair<POINT, COLORREF>> pixels;
    } cases[] = {
        {"plain", 0, 0, 64000, {{{0, 0}, p.bar}, {{30, 1}, p.bar}, {{57, 10}, p.bar}}},
        {"hot", ODS_HOTLIGHT, 0, 64000,
         {{{0, 0}, p.selectionPen}, {{55, 18}, p.selectionPen}, {{1, 1}, p.selectionFill}, {{57, 10}, p.bar}}},
        {"selected before its popup opened: hot", ODS_SELECTED, 0, 64000,
         {{{0, 0}, p.selectionPen}, {{1, 1}, p.selectionFill}}},
        {"open",
         ODS_SELECTED,
         1,
         64000,
         {{{0, 0}, IconMenuColors::Darken(128, p.bar)},
          {{1, 1}, p.band},
          {{56, 2}, p.bar},
          {{56, 10}, IconMenuColors::Darken(120, p.bar)},
          {{57, 10}, IconMenuColors::Darken(90, p.bar)},
          {{59, 10}, IconMenuColors::Darken(30, p.bar)},
          {{56, 5}, IconMenuColors::Darken(48, p.bar)}}},
        {"open at 256 colours", ODS_SELECTED, 1, 256,
         {{{56, 3}, p.bar}, {{56, 10}, GetSysColor(COLOR_BTNSHADOW)}, {{57, 4}, GetSysColor(COLOR_BTNSHADOW)},
          {{58, 10}, p.bar}}},
    };
    for (const Case& c : cases) {
        IconMenuSettings::Instance().colorCount = c.colors;
        bar.openPopups = c.openPopups;
        const Surface s = Drawn(bar, 1, c.state, size);
        for (const auto& [at, color] : c.pixels) EXPECT_EQ(At(s, at.x, at.y), color) << c.name << " " << at.x << "," << at.y;
    }
    bar.openPopups = 0;

    // Greyed or inactive bar items write in grey.
    IconMenuSettings::Instance().colorCount = 64000;
    for (UINT state : {UINT{ODS_GRAYED}, UINT{ODS_INACTIVE}}) {
        const Surface s = Drawn(bar, 1, state, size);
        int grey = 0;
        for (int y = 0; y < size.cy; ++y)
            for (int x = 0; x < size.cx; ++x) grey += At(s, x, y) == GetSysColor(COLOR_GRAYTEXT);
        EXPECT_GT(grey, 10) << state;
    }
}

TEST_F(IconMenuTest, TheTypedCharacterRunsTheItemThatMarksIt) {
    CIconMenu bar;
    Load(bar, false);
    CIconMenu& log = *bar.GetSubMenu(0);
    struct Case {
        UINT ch;
        LRESULT answer;
    } cases[] = {
        {'e', MAKELPARAM(3, MNC_EXECUTE)}, {'E', MAKELPARAM(3, MNC_EXECUTE)}, {'x', MAKELPARAM(7, MNC_EXECUTE)},
        {'q', MAKELPARAM(0, MNC_EXECUTE)}, {'z', 0},
        {'o', 0},  // an "o" in a text that does not mark it
    };
    for (const Case& c : cases) EXPECT_EQ(log.MenuChar(c.ch), c.answer) << static_cast<char>(c.ch);
    EXPECT_EQ(bar.MenuChar('f'), MAKELPARAM(2, MNC_EXECUTE)) << "bar items too";

    // An item added behind the menu's back is found: the item data follow the count.
    AppendMenuA(log.m_hMenu, MF_STRING, 500, "&Zoom");
    EXPECT_EQ(log.MenuChar('z'), MAKELPARAM(8, MNC_EXECUTE));
}

TEST_F(IconMenuTest, IconSetsAreSharedAndGoWithTheirLastItem) {
    {
        CIconMenu first, second;
        Load(first);
        Load(second);
        ASSERT_EQ(CIconMenuIcons::All().size(), 1u) << "the same table and colour: one set";
        CIconMenuIcons* set = CIconMenuIcons::All()[0];
        // Six commands, each bound once in each menu.
        EXPECT_EQ(set->References(), 12);
        for (CIconMenu* bar : {&first, &second}) {
            const CIconMenuItemData* refresh = bar->GetSubMenu(1)->ItemData(5);
            EXPECT_EQ(refresh->iconSet, set);
            EXPECT_EQ(refresh->imageIndex, 9) << "three images a command";
            EXPECT_EQ(bar->GetSubMenu(1)->ItemData(0)->iconSet, nullptr);
            EXPECT_EQ(bar->GetSubMenu(3)->ItemData(0)->imageIndex, 15);
        }
        EXPECT_EQ(ImageList_GetImageCount(set->Images()), 18);

        // Another mask colour makes another set.
        CIconMenu third;
        Load(third, false);
        ASSERT_TRUE(third.LoadToolBar(kIconTable, RGB(255, 0, 255)));
        EXPECT_EQ(CIconMenuIcons::All().size(), 2u);
    }
    EXPECT_TRUE(CIconMenuIcons::All().empty());

    // A bitmap that is not there: no set, no icons, the menu draws on.
    CIconMenu bar;
    Load(bar, false);
    const WORD missing[] = {9999, 16, 15, kRefresh, 0};
    EXPECT_FALSE(bar.LoadToolBar(missing));
    EXPECT_TRUE(CIconMenuIcons::All().empty());
    EXPECT_EQ(bar.GetSubMenu(1)->ItemData(5)->iconSet, nullptr);

    // Commands beyond the bitmap's pictures have none; a wider icon widens the cell of the menus
    // holding it.
    const WORD wide[] = {135, 24, 15, kToolbar, kStatusbar, kDetail, kExport, kRefresh, 0};
    ASSERT_TRUE(bar.LoadToolBar(wide, RGB(192, 192, 192)));
    CIconMenu& view = *bar.GetSubMenu(1);
    EXPECT_EQ(view.ItemData(3)->imageIndex, 6);
    EXPECT_EQ(view.ItemData(5)->iconSet, nullptr) << "a fifth picture of 24 pixels is not in the bitmap";
    EXPECT_EQ(view.iconWidth, 24);
    EXPECT_EQ(bar.GetSubMenu(0)->iconWidth, 24);
    EXPECT_EQ(bar.GetSubMenu(2)->iconWidth, 16);
    EXPECT_EQ(bar.GetSubMenu(3)->iconWidth, 16);
}

TEST_F(IconMenuTest, CaptionsAreSetByPositionAndByCommand) {
    CIconMenu bar;
    Load(bar);
    CIconMenu& filter = *bar.GetSubMenu(2);
    const HMENU level = GetSubMenu(filter.m_hMenu, 8);
    EnableMenuItem(filter.m_hMenu, 8, MF_BYPOSITION | MF_GRAYED);

    // By position, on an item that opens a popup: the popup and its state stay.
    EXPECT_TRUE(filter.SetMenuText(8, "&Severity", MF_BYPOSITION));
    EXPECT_EQ(filter.ItemData(8)->text, "&Severity");
    EXPECT_EQ(GetSubMenu(filter.m_hMenu, 8), level);
    EXPECT_TRUE(IsMenu(level));
    const UINT state = GetMenuState(filter.m_hMenu, 8, MF_BYPOSITION);
    EXPECT_TRUE(state & MF_GRAYED);
    EXPECT_TRUE(state & MF_POPUP);
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_DATA;
    GetMenuItemInfoA(filter.m_hMenu, 8, TRUE, &info);
    EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
    EXPECT_EQ(info.dwItemData, reinterpret_cast<ULONG_PTR>(filter.ItemData(8)));
    EXPECT_EQ(filter.FindSubMenu("&Severity"), CIconMenu::FromHandleIcon(level));

    // By command, found in a popup of a popup; the icon stays with the item.
    EXPECT_TRUE(bar.SetMenuText(kLevels[1], "&Errors", 0));
    EXPECT_EQ(CIconMenu::FromHandleIcon(level)->ItemData(1)->text, "&Errors");
    EXPECT_TRUE(bar.SetMenuText(kRefresh, "Re&load\tF5", 0));
    EXPECT_EQ(bar.GetSubMenu(1)->ItemData(5)->text, "Re&load\tF5");
    EXPECT_EQ(bar.GetSubMenu(1)->ItemData(5)->imageIndex, 9);
    CheckMenuItem(bar.m_hMenu, kExport, MF_CHECKED);
    EXPECT_TRUE(bar.SetMenuText(kExport, "&Export", 0));
    EXPECT_TRUE(GetMenuState(bar.m_hMenu, kExport, MF_BYCOMMAND) & MF_CHECKED);

    // Radio checks and right-justified bar items keep their kind.
    auto typeOf = [](HMENU menu, UINT position) {
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE;
        GetMenuItemInfoA(menu, position, TRUE, &item);
        return item.fType;
    };
    auto addType = [&](HMENU menu, UINT position, UINT type) {
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE;
        item.fType = typeOf(menu, position) | type;
        SetMenuItemInfoA(menu, position, TRUE, &item);
    };
    addType(filter.m_hMenu, 0, MFT_RADIOCHECK);
    addType(bar.m_hMenu, 3, MFT_RIGHTJUSTIFY);
    EXPECT_TRUE(filter.SetMenuText(0, "&Today", MF_BYPOSITION));
    EXPECT_TRUE(bar.SetMenuText(3, " &Help ", MF_BYPOSITION));
    EXPECT_EQ(typeOf(filter.m_hMenu, 0), MFT_OWNERDRAW | MFT_RADIOCHECK);
    EXPECT_EQ(typeOf(bar.m_hMenu, 3), MFT_OWNERDRAW | MFT_RIGHTJUSTIFY);

    // Nothing there: nothing changes.
    EXPECT_FALSE(filter.SetMenuText(9, "past the end", MF_BYPOSITION));
    EXPECT_FALSE(bar.SetMenuText(12345, "no such command", 0));
    EXPECT_EQ(GetMenuItemCount(filter.m_hMenu), 9);
}

TEST_F(IconMenuTest, PopupsAreFoundByTheirExactCaption) {
    CIconMenu bar;
    Load(bar);
    CIconMenu& filter = *bar.GetSubMenu(2);
    CIconMenu* level = filter.FindSubMenu("&Level");
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(level->m_hMenu, GetSubMenu(filter.m_hMenu, 8));
    EXPECT_EQ(level->parentMenu, filter.m_hMenu);
    EXPECT_EQ(level->isPopup, 1);
    EXPECT_EQ(filter.FindSubMenu("&All"), nullptr) << "opens no popup";
    AppendMenuA(filter.m_hMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), "&All");
    filter.SyncItems(false);
    EXPECT_EQ(filter.FindSubMenu("&All"), nullptr) << "the first item of that text decides";
    EXPECT_EQ(filter.FindSubMenu("Level"), nullptr);
    EXPECT_EQ(filter.FindSubMenu("&Level "), nullptr);
    EXPECT_EQ(bar.FindSubMenu("&Level"), nullptr) << "only the menu's own items";
    EXPECT_EQ(bar.GetSubMenu(4), nullptr);
    EXPECT_EQ(bar.FindSubMenu(" &About ")->ItemData(0)->text, "&About...");
}

TEST_F(IconMenuTest, TheStyleAndIconSwitchesAnswerTheirPreviousValue) {
    EXPECT_EQ(CIconMenu::SetMenuDrawMode(8), -1);
    EXPECT_EQ(IconMenuStyleRegistry::Instance().Active().Id(), 2);
    EXPECT_EQ(CIconMenu::SetMenuDrawMode(3), 2);
    EXPECT_EQ(CIconMenu::SetMenuDrawMode(2), 3);
    for (int id = 0; id < 8; ++id) EXPECT_EQ(IconMenuStyleRegistry::Instance().Find(id)->OwnBorder(), id % 2 == 0);
    EXPECT_EQ(CIconMenu::SetIconVariants(0), 1);
    EXPECT_EQ(CIconMenu::SetIconVariants(1), 0);
}

TEST_F(IconMenuTest, PopupsOpeningAndClosingTellTheirParents) {
    CIconMenu bar;
    Load(bar);
    const HWND owner = Frame(nullptr);
    CIconMenu& view = *bar.GetSubMenu(1);
    CIconMenu& filter = *bar.GetSubMenu(2);
    CIconMenu& level = *filter.GetSubMenu(8);

    // A command update rewrote an item as plain text: opening makes it owner-drawn again.
    ModifyMenuA(view.m_hMenu, 3, MF_BYPOSITION | MF_STRING, kDetail, "No &detail");
    view.isPopup = 0;
    view.PreparePopup(owner);
    EXPECT_EQ(view.ownerWindow, owner);
    EXPECT_EQ(view.isPopup, 1);
    EXPECT_EQ(view.ItemData(3)->text, "No &detail");
    EXPECT_TRUE(GetMenuState(view.m_hMenu, 3, MF_BYPOSITION) & MF_OWNERDRAW);
    EXPECT_EQ(bar.openPopups, 1);

    filter.PreparePopup(owner);
    level.PreparePopup(owner);
    EXPECT_EQ(bar.openPopups, 2);
    EXPECT_EQ(filter.openPopups, 1);
    level.PopupClosed();
    EXPECT_EQ(filter.openPopups, 0);
    EXPECT_EQ(bar.openPopups, 2);
    filter.PopupClosed();
    EXPECT_EQ(bar.openPopups, 0) << "a bar starts over when one of its popups closes";
    view.PopupClosed();
    EXPECT_EQ(bar.openPopups, 0);

    // Generation 7 draws close, restore and minimize itself unless their ids change while the
    // system menu is open.
    IconMenuSettings::Instance().osGeneration = 7;
    CIconMenu system;
    ASSERT_TRUE(system.Attach(GetSystemMenu(owner, FALSE)));
    system.PreparePopup(owner);
    EXPECT_EQ(GetMenuState(system.m_hMenu, SC_CLOSE + 1, MF_BYCOMMAND) != static_cast<UINT>(-1), true);
    EXPECT_EQ(GetMenuState(system.m_hMenu, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_NE(GetMenuState(system.m_hMenu, SC_RESTORE + 1, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_NE(GetMenuState(system.m_hMenu, SC_MINIMIZE + 1, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_NE(GetMenuState(system.m_hMenu, SC_MOVE, MF_BYCOMMAND), static_cast<UINT>(-1));
    system.PopupClosed();
    for (UINT id : {SC_CLOSE, SC_RESTORE, SC_MINIMIZE})
        EXPECT_NE(GetMenuState(system.m_hMenu, id, MF_BYCOMMAND), static_cast<UINT>(-1)) << id;
    system.Detach();
}

// A hook installed after the icon menus' runs first: it subclasses menu windows before them, so
// that the spy procedure sees the window given back when it goes.
namespace spy {

HHOOK hook = nullptr;
WNDPROC original = nullptr;
struct AtDestroy {
    bool seen = false;
    WNDPROC proc = nullptr;
    HANDLE property = nullptr;
    LONG_PTR style = 0, exStyle = 0;
} atDestroy;

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCDESTROY) {
        atDestroy = {true, reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC)),
                     GetPropA(hwnd, "OldMenuProc"), GetWindowLongPtrA(hwnd, GWL_STYLE),
                     GetWindowLongPtrA(hwnd, GWL_EXSTYLE)};
    }
    return CallWindowProcA(original, hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
    char name[16] = {};
    if (cwp->message == WM_CREATE && GetClassNameA(cwp->hwnd, name, sizeof name) && std::string(name) == "#32768") {
        original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(cwp->hwnd, GWLP_WNDPROC));
        SetWindowLongPtrA(cwp->hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc));
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

}  // namespace spy

TEST_F(IconMenuTest, TheHookSubclassesMenuWindowsAndGivesThemBack) {
    CIconMenu bar;
    Load(bar);
    CIconMenu& view = *bar.GetSubMenu(1);
    const HWND owner = Frame(nullptr);
    ASSERT_TRUE(IconMenuWindowHook::Installed());
    spy::hook = SetWindowsHookExA(WH_CALLWNDPROC, spy::Hook, nullptr, 0);

    struct Case {
        const char* name;
        int style;
        bool ownBorder;
    } cases[] = {{"style 2 draws its border and shadow", 2, true}, {"style 3 keeps the system's", 3, false}};
    for (const Case& c : cases) {
        CIconMenu::SetMenuDrawMode(c.style);
        spy::atDestroy = {};
        HWND popup = nullptr;
        RECT window{}, client{};
        OnIdle({[&] {
            popup = PopupMenuWindow::WindowOf(view.m_hMenu);
            ASSERT_NE(popup, nullptr);
            EXPECT_EQ(reinterpret_cast<WNDPROC>(GetPropA(popup, "OldMenuProc")), spy::Proc) << c.name;
            EXPECT_NE(GlobalFindAtomA("OldMenuProc"), 0) << c.name;
            const std::vector<IconMenuWindow> windows = IconMenuWindowHook::Windows();
            ASSERT_EQ(windows.size(), 1u) << c.name;
            EXPECT_EQ(windows[0].menu, view.m_hMenu) << c.name;
            EXPECT_EQ((GetWindowLongPtrA(popup, GWL_STYLE) & WS_BORDER) == 0, c.ownBorder) << c.name;
            EXPECT_EQ((GetWindowLongPtrA(popup, GWL_EXSTYLE) & 0x101) == 0, c.ownBorder) << c.name;
            GetWindowRect(popup, &window);
            GetClientRect(popup, &client);
            EndMenu();
        }});
        TrackPopupMenu(view.m_hMenu, 0, 200, 200, 0, owner, nullptr);
        PumpAll();
        EXPECT_EQ(Width(window) - Width(client), c.ownBorder ? 2 * 3 + 4 : 2 * 3) << c.name;
        EXPECT_EQ(Height(window) - Height(client), c.ownBorder ? 2 * 3 + 4 : 2 * 3) << c.name;
        ASSERT_TRUE(spy::atDestroy.seen) << c.name;
        EXPECT_EQ(spy::atDestroy.proc, spy::Proc) << c.name << ": the old procedure is back";
        EXPECT_EQ(spy::atDestroy.property, nullptr) << c.name;
        EXPECT_TRUE(spy::atDestroy.style & WS_BORDER) << c.name;
        EXPECT_EQ(spy::atDestroy.exStyle & 0x101, 0x101) << c.name;
        EXPECT_TRUE(IconMenuWindowHook::Windows().empty()) << c.name;
        EXPECT_EQ(GlobalFindAtomA("OldMenuProc"), 0) << c.name;
    }
    UnhookWindowsHookEx(spy::hook);
}

INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST_F(IconMenuTest, DialogsRouteIconMenusOnlyWhenSwitchedOn) {
    CIconMenu bar;
    Load(bar);
    CIconMenu& log = *bar.GetSubMenu(0);
    CIconMenu& view = *bar.GetSubMenu(1);
    DialogTemplate box;
    box.style = WS_POPUP | WS_CAPTION;
    box.cx = 100;
    box.cy = 50;
    const IconMenuColors::Palette p = IconMenuColors::Current();
    for (bool on : {false, true}) {
        IconMenuSettings::Instance().subclassDialogs = on;
        const HWND dialog = CreateDialogIndirectParamA(nullptr, &box, nullptr, QuietDialog, 0);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(GetPropA(dialog, "IconMenuTempHandler") != nullptr, on);

        // Measured by the bar, as the item opening " &Filter " is.
        const CIconMenuItemData* filterItem = bar.ItemData(2);
        MEASUREITEMSTRUCT mis{ODT_MENU, 0, filterItem->commandId, 0, 0, reinterpret_cast<ULONG_PTR>(filterItem)};
        SendMessageA(dialog, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
        EXPECT_EQ(mis.itemWidth, on ? Measured(bar, 2).itemWidth : 0u) << on;

        // Drawn with its band.
        const HDC hdc = CreateCompatibleDC(nullptr);
        const HBITMAP bitmap = CreateBitmap(kItem.cx, kItem.cy, 1, 32, nullptr);
        const HGDIOBJ old = SelectObject(hdc, bitmap);
        const RECT whole{0, 0, kItem.cx, kItem.cy};
        FillRect(hdc, &whole, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        DRAWITEMSTRUCT dis{ODT_MENU, 0, kExport, ODA_DRAWENTIRE, 0, reinterpret_cast<HWND>(log.m_hMenu), hdc, whole,
                           reinterpret_cast<ULONG_PTR>(log.ItemData(3))};
        SendMessageA(dialog, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
        EXPECT_EQ(GetPixel(hdc, 1, 1), on ? p.band : RGB(0, 0, 0)) << on;
        SelectObject(hdc, old);
        DeleteObject(bitmap);
        DeleteDC(hdc);

        // Mnemonics, and popups prepared as the dialog's.
        EXPECT_EQ(SendMessageA(dialog, WM_MENUCHAR, MAKEWPARAM('e', MF_POPUP), reinterpret_cast<LPARAM>(log.m_hMenu)),
                  on ? MAKELPARAM(3, MNC_EXECUTE) : 0) << on;
        SendMessageA(dialog, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view.m_hMenu), 1);
        EXPECT_EQ(view.ownerWindow, on ? dialog : nullptr) << on;
        EXPECT_EQ(bar.openPopups, on ? 1 : 0) << on;
        if (on) view.PopupClosed();

        DestroyWindow(dialog);
        EXPECT_EQ(GlobalFindAtomA("IconMenuTempHandler"), 0) << on;
    }
    IconMenuSettings::Instance().subclassDialogs = false;
}

TEST_F(IconMenuTest, IconSetsRebuildWithTheNewColoursAtMostOnceIn2000Milliseconds) {
    CIconMenu bar;
    Load(bar);
    CIconMenuIcons* set = CIconMenuIcons::All().at(0);
    const COLORREF classic = IconMenuColors::BarColor();
    EXPECT_TRUE(DisabledLooksMixedWith(*set, classic));
    const DWORD now = GetTickCount();
    ASSERT_TRUE(CIconMenuIcons::RebuildAll(now - 5000));
    ChangeMenuColor(RGB(90, 160, 220));
    ASSERT_EQ(IconMenuColors::BarColor(), RGB(90, 160, 220));
    EXPECT_FALSE(CIconMenuIcons::RebuildAll(now - 3001));
    EXPECT_TRUE(DisabledLooksMixedWith(*set, classic)) << "too soon: the old looks stay";
    EXPECT_TRUE(CIconMenuIcons::RebuildAll(now - 3000));
    EXPECT_TRUE(DisabledLooksMixedWith(*set, RGB(90, 160, 220)));
    EXPECT_EQ(ImageList_GetImageCount(set->Images()), 18);
    EXPECT_EQ(set->Find(kRefresh), 9);
}

}  // namespace
