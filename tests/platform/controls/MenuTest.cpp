// Menu objects by position and by command, loading from registered templates, and the menu bar
// in a frame's non-client area with its owner-drawn items.

#include "platform/controls/MenuRegistry.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"
#include "platform/kernel/LastError.h"
#include "tests/platform/controls/MenuTesting.h"

namespace {

class MenuTest : public MenuTestBase {};

std::string StringOf(HMENU menu, UINT item, UINT flags) {
    char text[64] = {};
    GetMenuStringA(menu, item, text, sizeof text, flags);
    return text;
}

TEST_F(MenuTest, ItemsByPositionAndByCommandReachIntoSubmenus) {
    const HMENU bar = LoadMenuIndirectA(&TestMenu());
    ASSERT_TRUE(bar);
    const HMENU file = GetSubMenu(bar, 0), recent = GetSubMenu(file, 3);
    EXPECT_EQ(GetMenuItemCount(bar), 3);
    EXPECT_EQ(GetMenuItemCount(file), 5);
    EXPECT_EQ(GetMenuItemID(bar, 0), static_cast<UINT>(-1)) << "a popup has no command";
    EXPECT_EQ(GetMenuItemID(bar, 2), 301u);
    EXPECT_EQ(GetSubMenu(bar, 2), nullptr);
    EXPECT_EQ(GetSubMenu(bar, 7), nullptr);
    struct Case {
        UINT item, flags;
        const char* text;
        UINT state;
    } cases[] = {
        {0, MF_BYPOSITION, "&File", (5u << 8) | MF_POPUP},
        {112, MF_BYCOMMAND, "&Two", 0},        // two levels down
        {102, MF_BYCOMMAND, "&Save", MF_GRAYED},
        {201, MF_BYCOMMAND, "&Copy\tCtrl+C", 0},
        {999, MF_BYCOMMAND, "", static_cast<UINT>(-1)},
        {9, MF_BYPOSITION, "", static_cast<UINT>(-1)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StringOf(bar, c.item, c.flags), c.text) << c.item;
        EXPECT_EQ(GetMenuState(bar, c.item, c.flags), c.state) << c.item;
    }
    // Changes by command land where the command is.
    EXPECT_EQ(EnableMenuItem(bar, 111, MF_BYCOMMAND | MF_GRAYED), static_cast<DWORD>(MF_ENABLED));
    EXPECT_EQ(GetMenuState(recent, 0, MF_BYPOSITION), static_cast<UINT>(MF_GRAYED));
    EXPECT_EQ(EnableMenuItem(bar, 111, MF_BYCOMMAND | MF_ENABLED), static_cast<DWORD>(MF_GRAYED));
    EXPECT_EQ(CheckMenuItem(bar, 201, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
    EXPECT_EQ(GetMenuState(bar, 201, MF_BYCOMMAND), static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(EnableMenuItem(bar, 999, MF_BYCOMMAND), static_cast<DWORD>(-1));
    // Radio checks within a range of one menu.
    EXPECT_TRUE(CheckMenuRadioItem(recent, 0, 1, 1, MF_BYPOSITION));
    EXPECT_EQ(GetMenuState(recent, 1, MF_BYPOSITION), MF_CHECKED | MFT_RADIOCHECK);
    EXPECT_EQ(GetMenuState(recent, 0, MF_BYPOSITION) & MF_CHECKED, 0u);
    EXPECT_FALSE(CheckMenuRadioItem(recent, 0, 1, 5, MF_BYPOSITION));
    // Insertion before a command, removal keeps a submenu, deletion destroys it.
    EXPECT_TRUE(InsertMenuA(bar, 103, MF_BYCOMMAND | MF_STRING, 104, "&Print"));
    EXPECT_EQ(GetMenuItemID(file, 4), 104u);
    EXPECT_TRUE(RemoveMenu(file, 3, MF_BYPOSITION));
    EXPECT_TRUE(IsMenu(recent));
    EXPECT_TRUE(InsertMenuA(file, 0, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(recent), "&Recent"));
    EXPECT_TRUE(DeleteMenu(file, 0, MF_BYPOSITION));
    EXPECT_FALSE(IsMenu(recent));
    EXPECT_TRUE(DestroyMenu(bar));
    EXPECT_FALSE(IsMenu(file)) << "submenus go with their menu";
}

TEST_F(MenuTest, DestroyedOrMadeUpHandlesFindNothingEvenWhenTheSlotIsReused) {
    const HMENU first = CreatePopupMenu();
    AppendMenuA(first, MF_STRING, 1, "one");
    ASSERT_TRUE(DestroyMenu(first));
    const HMENU second = CreatePopupMenu();  // may take the same slot
    AppendMenuA(second, MF_STRING, 2, "two");
    EXPECT_FALSE(IsMenu(first));
    EXPECT_EQ(GetMenuItemCount(first), -1);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_MENU_HANDLE);
    EXPECT_FALSE(AppendMenuA(first, MF_STRING, 3, "three"));
    EXPECT_FALSE(DestroyMenu(first));
    EXPECT_EQ(GetMenuItemCount(second), 1);
    for (auto bogus : {std::uintptr_t{0}, std::uintptr_t{0x12345678}, ~std::uintptr_t{0}})
        EXPECT_FALSE(IsMenu(reinterpret_cast<HMENU>(bogus)));
    // A popup item must open a menu that exists.
    EXPECT_FALSE(AppendMenuA(second, MF_POPUP, 0x12345678, "bad"));
    EXPECT_FALSE(ModifyMenuA(second, 0, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(first), "bad"));
    EXPECT_EQ(StringOf(second, 0, MF_BYPOSITION), "two") << "a refused change leaves the item";
    // A menu put inside itself ends searches instead of the stack.
    AppendMenuA(second, MF_POPUP, reinterpret_cast<UINT_PTR>(second), "self");
    EXPECT_EQ(GetMenuState(second, 999, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_TRUE(DestroyMenu(second));
}

// How the icon menus rewrite items: once as text keeping the state, once as owner-drawn
// carrying their item data.
TEST_F(MenuTest, PositionalRewritesToOwnerDrawnKeepSubmenusAndCarryData) {
    const HMENU bar = LoadMenuIndirectA(&TestMenu());
    const HMENU file = GetSubMenu(bar, 0);
    const UINT state = GetMenuState(bar, 0, MF_BYPOSITION);
    const auto sub = reinterpret_cast<UINT_PTR>(file);
    ASSERT_TRUE(ModifyMenuA(bar, 0, MF_BYPOSITION | (state & ~0x904u), sub, " &Log "));
    EXPECT_EQ(StringOf(bar, 0, MF_BYPOSITION), " &Log ");
    ASSERT_TRUE(ModifyMenuA(bar, 0, 0x400 | 0x100 | MF_POPUP, sub, reinterpret_cast<LPCSTR>(0xDA7A)));
    EXPECT_EQ(GetSubMenu(bar, 0), file);
    EXPECT_EQ(StringOf(bar, 0, MF_BYPOSITION), "") << "owner-drawn items have no string";
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_SUBMENU | MIIM_STATE;
    ASSERT_TRUE(GetMenuItemInfoA(bar, 0, TRUE, &info));
    EXPECT_EQ(info.fType, MFT_OWNERDRAW);
    EXPECT_EQ(info.dwItemData, 0xDA7Au);
    EXPECT_EQ(info.hSubMenu, file);
    // Greying the popup by position, as the filter menu's "&Level" is.
    EnableMenuItem(bar, 0, MF_BYPOSITION | MF_GRAYED);
    EXPECT_EQ(GetMenuState(bar, 0, MF_BYPOSITION) & 0xFF, static_cast<UINT>(MF_POPUP | MF_OWNERDRAW | MF_GRAYED) & 0xFF);
    // A rewrite that drops the popup destroys it, as documented.
    ASSERT_TRUE(ModifyMenuA(bar, 0, MF_BYPOSITION | MF_STRING, 77, "plain"));
    EXPECT_FALSE(IsMenu(file));
    DestroyMenu(bar);
}

TEST_F(MenuTest, ItemInfoTextsByBufferSizeAndSetters) {
    const HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 5, "&Refresh\tF5");
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    ASSERT_TRUE(GetMenuItemInfoA(menu, 5, FALSE, &info));
    EXPECT_EQ(info.cch, 11u) << "the length without a buffer";
    char small[5];
    info.dwTypeData = small;
    info.cch = sizeof small;
    ASSERT_TRUE(GetMenuItemInfoA(menu, 5, FALSE, &info));
    EXPECT_STREQ(small, "&Ref");
    EXPECT_EQ(info.cch, 4u);
    MENUITEMINFOA change{};
    change.cbSize = sizeof change;
    change.fMask = MIIM_STATE | MIIM_ID | MIIM_DATA | MIIM_STRING;
    change.fState = MFS_CHECKED | MFS_DEFAULT;
    change.wID = 6;
    change.dwItemData = 99;
    change.dwTypeData = const_cast<LPSTR>("&Reload");
    ASSERT_TRUE(SetMenuItemInfoA(menu, 0, TRUE, &change));
    EXPECT_EQ(GetMenuItemID(menu, 0), 6u);
    EXPECT_EQ(StringOf(menu, 6, MF_BYCOMMAND), "&Reload");
    EXPECT_EQ(GetMenuDefaultItem(menu, FALSE, 0), 6u);
    change.cbSize = 3;
    EXPECT_FALSE(SetMenuItemInfoA(menu, 0, TRUE, &change)) << "an unknown structure size";
    DestroyMenu(menu);
}

TEST_F(MenuTest, MenusLoadFromRegisteredTemplatesByIdOrName) {
    MenuRegistry::Instance().Register(MAKEINTRESOURCEA(4242), TestMenu());
    MenuRegistry::Instance().Register("Named", MenuTemplate{0, 0, "", {{0, 7, "&Seven"}}});
    for (LPCSTR name : {MAKEINTRESOURCEA(4242), static_cast<LPCSTR>("#4242")}) {
        const HMENU menu = LoadMenuA(nullptr, name);
        ASSERT_TRUE(menu);
        EXPECT_EQ(GetMenuItemCount(menu), 3);
        EXPECT_EQ(StringOf(menu, 112, MF_BYCOMMAND), "&Two");
        DestroyMenu(menu);
    }
    const HMENU named = LoadMenuA(nullptr, "Named");
    EXPECT_EQ(GetMenuItemID(named, 0), 7u);
    DestroyMenu(named);
    SetLastError(0);
    EXPECT_EQ(LoadMenuA(nullptr, MAKEINTRESOURCEA(4243)), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
    MenuRegistry::Instance().Unregister(MAKEINTRESOURCEA(4242));
    MenuRegistry::Instance().Unregister("Named");
}

TEST_F(MenuTest, TheBarTakesRowsOffTheClientAreaAndAnswersHitTests) {
    const HMENU bar = LoadMenuIndirectA(&TestMenu());
    const HWND frame = Frame(bar);
    const int row = GetSystemMetrics(SM_CYMENU);
    RECT client;
    GetClientRect(frame, &client);
    EXPECT_EQ(client.bottom, 300 - row);
    EXPECT_EQ(GetMenu(frame), bar);
    const POINT onFile = CentreOf(frame, bar, 0);
    EXPECT_EQ(SendMessageA(frame, WM_NCHITTEST, 0, MAKELPARAM(onFile.x, onFile.y)), HTMENU);
    EXPECT_EQ(MenuItemFromPoint(frame, bar, onFile), 0);
    const POINT inside = OnScreen(frame, 10, 10);
    EXPECT_EQ(SendMessageA(frame, WM_NCHITTEST, 0, MAKELPARAM(inside.x, inside.y)), HTCLIENT);
    // Items go on as many rows as the width needs.
    MoveWindow(frame, 100, 100, 60, 300, TRUE);
    GetClientRect(frame, &client);
    EXPECT_EQ(client.bottom, 300 - 3 * row);
    RECT help;
    GetMenuItemRect(frame, bar, 2, &help);
    EXPECT_EQ(help.top, OnScreen(frame, 0, 0).y - row);
    // Without a bar the client is the whole window again.
    EXPECT_TRUE(SetMenu(frame, nullptr));
    GetClientRect(frame, &client);
    EXPECT_EQ(client.bottom, 300);
    DestroyMenu(bar);
}

TEST_F(MenuTest, OwnerDrawnBarItemsAreMeasuredAndDrawnWithTheirStates) {
    const HMENU bar = LoadMenuIndirectA(&TestMenu());
    ModifyMenuA(bar, 0, MF_BYPOSITION | MF_POPUP | MF_OWNERDRAW, reinterpret_cast<UINT_PTR>(GetSubMenu(bar, 0)),
                reinterpret_cast<LPCSTR>(0xB0));
    recorder.On(WM_MEASUREITEM, [](HWND, UINT, WPARAM, LPARAM lParam, bool&) -> LRESULT {
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemWidth = 30;
        return TRUE;
    });
    std::vector<UINT> states;
    recorder.On(WM_DRAWITEM, [&](HWND, UINT, WPARAM, LPARAM lParam, bool&) -> LRESULT {
        const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        EXPECT_EQ(dis->CtlType, ODT_MENU);
        EXPECT_EQ(dis->itemData, 0xB0u);
        states.push_back(dis->itemState);
        const UINT s = dis->itemState;
        const COLORREF c = (s & ODS_SELECTED)   ? RGB(255, 0, 0)
                           : (s & ODS_HOTLIGHT) ? RGB(0, 0, 255)
                           : (s & ODS_INACTIVE) ? RGB(99, 99, 99)
                                                : RGB(0, 255, 0);
        HBRUSH brush = CreateSolidBrush(c);
        FillRect(dis->hDC, &dis->rcItem, brush);
        DeleteObject(brush);
        return TRUE;
    });
    const HWND frame = Frame(bar);
    RECT item;
    ASSERT_TRUE(GetMenuItemRect(frame, bar, 0, &item));
    EXPECT_EQ(Width(item), 30 + 12) << "the owner's width and the bar's item padding";
    EXPECT_EQ(Height(item), GetSystemMetrics(SM_CYMENU));
    const POINT centre = CentreOf(frame, bar, 0);
    EXPECT_EQ(ShownAt(centre), RGB(0, 255, 0));

    display->MoveMouse(centre);
    PumpAll();
    EXPECT_EQ(ShownAt(centre), RGB(0, 0, 255)) << "hot under the pointer";
    display->MoveMouse(OnScreen(frame, 50, 50));
    EXPECT_TRUE(PumpUntil([&] { return ShownAt(centre) == RGB(0, 255, 0); })) << "no longer hot once it left";

    COLORREF open = 0;
    OnIdle({[&] {
        open = ShownAt(centre);
        EndMenu();
    }});
    display->Click(centre);
    PumpAll();
    EXPECT_EQ(open, RGB(255, 0, 0)) << "selected while its popup is open";

    const HWND other = TopLevel(WS_POPUP | WS_VISIBLE | WS_CAPTION);
    SetActiveWindow(other);
    PumpAll();
    EXPECT_EQ(ShownAt(centre, frame), RGB(99, 99, 99)) << "inactive with its window";
    EXPECT_TRUE(states.back() & ODS_INACTIVE);
    DestroyMenu(bar);
}

TEST_F(MenuTest, TheSystemMenuIsAPopupOfSystemCommandsPerWindow) {
    const HWND frame = Frame(nullptr);
    const HMENU system = GetSystemMenu(frame, FALSE);
    ASSERT_TRUE(system);
    EXPECT_EQ(GetSystemMenu(frame, FALSE), system);
    const UINT expected[] = {SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, 0, SC_CLOSE};
    ASSERT_EQ(GetMenuItemCount(system), 7);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(GetMenuItemID(system, i), expected[i]) << i;
    EXPECT_EQ(GetMenuDefaultItem(system, FALSE, 0), SC_CLOSE);
    EXPECT_EQ(GetSystemMenu(frame, TRUE), nullptr);
    EXPECT_FALSE(IsMenu(system)) << "reverted";
}

// What menus that draw themselves ask of the system: classic menus, no effects, no shadow.
TEST_F(MenuTest, TheSystemParametersMenusAskForAreAnswered) {
    for (UINT action : {SPI_GETFLATMENU, SPI_GETDROPSHADOW, SPI_GETMENUANIMATION, SPI_GETMENUFADE}) {
        BOOL on = TRUE;
        EXPECT_TRUE(SystemParametersInfoA(action, 0, &on, 0)) << action;
        EXPECT_FALSE(on) << action;
    }
    HIGHCONTRASTA contrast{sizeof contrast, HCF_HIGHCONTRASTON, nullptr};
    EXPECT_TRUE(SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0));
    EXPECT_EQ(contrast.dwFlags & HCF_HIGHCONTRASTON, 0u);
}

}  // namespace
