// A frame built on the icon-menu frame base with a menu like the viewer's (captions set at run
// time, icons from bitmap 135), driven through the menu loop by keyboard and mouse; what its
// bar and popups show on the screen; the bar's hot item; icon sets rebuilt when the colours
// change; the floating bars' frame.

#include <memory>

#include "platform/controls/MenuRegistry.h"
#include "platform/controls/PopupMenuWindow.h"
#include "platform/framework/AfxMsg.h"
#include "platform/framework/StringTable.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/ResourceImages.h"
#include "platform/graphics/SystemColors.h"
#include "platform/kernel/Threads.h"
#include "platform/window/MessageBeep.h"
#include "tests/platform/framework/FrameworkTesting.h"
#include "tests/widgets/IconMenuTesting.h"
#include "widgets/CIconMenuFrameWnd.h"
#include "widgets/CIconMenuIcons.h"
#include "widgets/CIconMenuMiniDockFrameWnd.h"
#include "widgets/IconMenuSettings.h"

namespace {

using namespace viewer;

constexpr UINT kFrameId = 140;

// The viewer's frame as far as its menus go: icons and captions in its creation, every command
// noted.
class CViewerFrame : public CIconMenuFrameWnd {
public:
    std::vector<UINT> commands;

protected:
    DECLARE_MESSAGE_MAP()

    int OnCreate(LPCREATESTRUCTA lpcs) {
        if (CIconMenuFrameWnd::OnCreate(lpcs) == -1) return -1;
        menuBar.LoadToolBar(kIconTable, RGB(192, 192, 192));
        SetCaptions(menuBar);
        return 0;
    }
    void OnMenuCommand(UINT id) { commands.push_back(id); }
};
BEGIN_MESSAGE_MAP(CViewerFrame, CIconMenuFrameWnd)
ON_WM_CREATE()
ON_COMMAND_RANGE(32774, 32805, &CViewerFrame::OnMenuCommand)
ON_COMMAND_RANGE(57664, 57665, &CViewerFrame::OnMenuCommand)
ON_COMMAND_RANGE(59392, 59393, &CViewerFrame::OnMenuCommand)
END_MESSAGE_MAP()

class IconMenuFrameTest : public IconMenuTestBase {
protected:
    void SetUp() override {
        IconMenuTestBase::SetUp();
        StringTable::Register(kFrameId, "Icon Menus");
        MenuRegistry::Instance().Register(MAKEINTRESOURCEA(kFrameId), viewer::Menu());
        frame = std::make_unique<CViewerFrame>();
        ASSERT_TRUE(frame->LoadFrame(kFrameId, WS_OVERLAPPEDWINDOW | WS_VISIBLE));
        hwnd = frame->m_hWnd;
        frame->SetWindowPos(nullptr, 100, 100, 500, 360, SWP_NOZORDER);
        SetActiveWindow(hwnd);
        SetFocus(hwnd);
        PumpAll();
        bar = frame->menuBar.m_hMenu;
        log = GetSubMenu(bar, 0);
        view = GetSubMenu(bar, 1);
        filter = GetSubMenu(bar, 2);
    }
    void TearDown() override {
        if (IsWindow(hwnd)) DestroyWindow(hwnd);
        frame.reset();
        MenuRegistry::Instance().Unregister(MAKEINTRESOURCEA(kFrameId));
        IconMenuTestBase::TearDown();
    }

    std::vector<UINT> Commands() {
        PumpAll();
        return std::exchange(frame->commands, {});
    }
    // A menu loop started by `start`, with `steps` run as it falls idle; false when it outlived them.
    bool Run(const std::function<void()>& start, std::vector<std::function<void()>> steps) {
        // The frame's own window procedure does not record: idle steps come through a hook.
        steps_ = std::move(steps);
        next_ = 0;
        ranOut_ = false;
        start();
        PumpAll();
        return !ranOut_;
    }
    // The window's pixels as last shown, by screen point.
    COLORREF Shown(HWND window, POINT screen) {
        RECT r;
        GetWindowRect(window, &r);
        const Surface pixels = display->Pixels(window);
        return Surface::ColorOf(pixels.At(screen.x - r.left, screen.y - r.top));
    }
    RECT ItemRect(HWND window, HMENU menu, int position) {
        RECT r{};
        EXPECT_TRUE(GetMenuItemRect(window, menu, static_cast<UINT>(position), &r)) << position;
        return r;
    }

    std::unique_ptr<CViewerFrame> frame;
    HWND hwnd = nullptr;
    HMENU bar = nullptr, log = nullptr, view = nullptr, filter = nullptr;
    std::vector<std::function<void()>> steps_;
    std::size_t next_ = 0;
    bool ranOut_ = false;

public:
    // WM_ENTERIDLE of the frame: the next step, or the loop is ended.
    void Idle() {
        if (next_ < steps_.size()) {
            steps_[next_++]();
            // A step that stopped at a failed assertion left the menu open with nothing to close it.
            if (::testing::Test::HasFatalFailure()) EndMenu();
        } else {
            ranOut_ = true;
            EndMenu();
        }
    }
};

IconMenuFrameTest* gTest = nullptr;
HHOOK gIdleHook = nullptr;

LRESULT CALLBACK IdleHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (gTest && cwp->message == WM_ENTERIDLE && cwp->wParam == MSGF_MENU) gTest->Idle();
    return CallNextHookEx(gIdleHook, code, wParam, lParam);
}

// The frame's menu loop falls idle into the test's steps.
class IconMenuLoopTest : public IconMenuFrameTest {
protected:
    void SetUp() override {
        IconMenuFrameTest::SetUp();
        gTest = this;
        gIdleHook = SetWindowsHookExA(WH_CALLWNDPROC, IdleHook, nullptr, 0);
    }
    void TearDown() override {
        UnhookWindowsHookEx(gIdleHook);
        gTest = nullptr;
        IconMenuFrameTest::TearDown();
    }
};

void Alt(HeadlessDriver& d, int vk) {
    d.Key(VK_MENU, true);
    d.KeyPress(vk);
    d.Key(VK_MENU, false);
}

bool AllOwnerDrawn(HMENU menu, int depth = 0) {
    for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
        if (!(info.fType & MFT_OWNERDRAW)) return false;
        if (HMENU sub = GetSubMenu(menu, i); sub && (depth > 4 || !AllOwnerDrawn(sub, depth + 1))) return false;
    }
    return true;
}

TEST_F(IconMenuFrameTest, TheFrameMakesItsBarAndSystemMenuIconMenus) {
    EXPECT_EQ(GetMenu(hwnd), bar);
    EXPECT_EQ(frame->menuBar.isPopup, 0);
    EXPECT_TRUE(AllOwnerDrawn(bar));
    for (int i = 0; i < 4; ++i) {
        CIconMenu* popup = frame->menuBar.GetSubMenu(i);
        ASSERT_NE(popup, nullptr);
        EXPECT_EQ(popup->parentMenu, bar);
        EXPECT_EQ(popup->isPopup, 1);
    }
    EXPECT_EQ(frame->menuBar.ItemData(2)->text, " &Filter ");
    EXPECT_EQ(frame->systemMenu.m_hMenu, GetSystemMenu(hwnd, FALSE));
    EXPECT_TRUE(AllOwnerDrawn(frame->systemMenu.m_hMenu));

    // Measuring goes to the menu holding the item: the bar, a popup, the system menu.
    struct Case {
        const char* name;
        CIconMenu* menu;
        int position;
    } cases[] = {{"bar item", &frame->menuBar, 1},
                 {"popup item", frame->menuBar.GetSubMenu(1), 5},
                 {"cascade item", frame->menuBar.GetSubMenu(2)->GetSubMenu(8), 2},
                 {"system menu item", &frame->systemMenu, 0}};
    for (const Case& c : cases) {
        const CIconMenuItemData* item = c.menu->ItemData(c.position);
        MEASUREITEMSTRUCT mis{ODT_MENU, 0, item->commandId, 0, 0, reinterpret_cast<ULONG_PTR>(item)};
        frame->SendMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
        EXPECT_EQ(mis.itemWidth, Measured(*c.menu, c.position).itemWidth) << c.name;
        EXPECT_GT(mis.itemWidth, 0u) << c.name;
    }

    // A frame whose menu resource is missing is not made.
    CViewerFrame orphan;
    EXPECT_FALSE(orphan.LoadFrame(kFrameId + 1, WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(orphan.m_hWnd, nullptr);
}

TEST_F(IconMenuLoopTest, TheKeyboardRunsItemsByTheirMnemonics) {
    struct Case {
        const char* name;
        std::function<void()> start;
        std::vector<std::function<void()>> steps;
        std::vector<UINT> commands;
    } cases[] = {
        {"Alt+L, e runs Export", [&] { Alt(*display, 'L'); }, {[&] { display->Type("e"); }}, {kExport}},
        {"Alt+L, x runs Exit", [&] { Alt(*display, 'L'); }, {[&] { display->Type("x"); }}, {kExit}},
        {"Alt+F, l opens Level, e runs Error",
         [&] { Alt(*display, 'F'); },
         {[&] { display->Type("l"); }, [&] { display->Type("e"); }},
         {kLevels[1]}},
        {"Alt+F, e runs 2 Weeks (the first item marking it)", [&] { Alt(*display, 'F'); },
         {[&] { display->Type("e"); }}, {kAges[4]}},
        {"F10, Right, Down, Up, Enter runs Refresh",
         [&] { display->KeyPress(VK_F10); },
         {[&] {
             display->KeyPress(VK_RIGHT);
             display->KeyPress(VK_DOWN);
         },
          [&] {
              display->KeyPress(VK_UP);
              display->KeyPress(VK_RETURN);
          }},
         {kRefresh}},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(Run(c.start, c.steps)) << c.name << ": the menu stayed open";
        EXPECT_EQ(Commands(), c.commands) << c.name;
    }

    // A letter that no item marks does nothing: a beep, and the menu stays open.
    long beeps = 0;
    bool open = false;
    EXPECT_TRUE(Run([&] { Alt(*display, 'L'); },
                    {[&] {
                         beeps = MessageBeepCount();
                         display->Type("z");
                     },
                     [&] {
                         open = PopupMenuWindow::WindowOf(log) != nullptr;
                         EXPECT_EQ(MessageBeepCount(), beeps + 1);
                         display->KeyPress(VK_ESCAPE);
                         display->KeyPress(VK_ESCAPE);
                     }}));
    EXPECT_TRUE(open);
    EXPECT_EQ(Commands(), std::vector<UINT>{});
    EXPECT_FALSE(frame->inMenuLoop);
}

TEST_F(IconMenuLoopTest, TheMouseOpensPopupsAndRunsItems) {
    EXPECT_TRUE(Run([&] { display->Click(CentreOf(hwnd, bar, 1)); },
                    {[&] {
                        EXPECT_TRUE(frame->inMenuLoop);
                        EXPECT_EQ(frame->menuBar.openPopups, 1);
                        display->Click(CentreOf(nullptr, view, 5));
                    }}));
    EXPECT_EQ(Commands(), std::vector<UINT>{kRefresh});
    EXPECT_EQ(frame->menuBar.openPopups, 0);

    // From one bar item to the next and into the cascade; a separator runs nothing.
    EXPECT_TRUE(Run([&] { display->Click(CentreOf(hwnd, bar, 0)); },
                    {[&] { display->MoveMouse(CentreOf(hwnd, bar, 2)); },
                     [&] {
                         EXPECT_EQ(PopupMenuWindow::WindowOf(log), nullptr);
                         EXPECT_EQ(frame->menuBar.openPopups, 1);
                         display->MoveMouse(CentreOf(nullptr, filter, 8));
                     },
                     [&] {
                         const HMENU level = GetSubMenu(filter, 8);
                         ASSERT_NE(PopupMenuWindow::WindowOf(level), nullptr);
                         EXPECT_EQ(frame->menuBar.GetSubMenu(2)->openPopups, 1);
                         display->Click(CentreOf(nullptr, level, 3));
                     }}));
    EXPECT_EQ(Commands(), std::vector<UINT>{kLevels[3]});
    EXPECT_TRUE(Run([&] { display->Click(CentreOf(hwnd, bar, 0)); },
                    {[&] { display->Click(CentreOf(nullptr, log, 2)); }, [&] { display->KeyPress(VK_ESCAPE); },
                     [&] { display->KeyPress(VK_ESCAPE); }}));
    EXPECT_EQ(Commands(), std::vector<UINT>{});
}

TEST_F(IconMenuLoopTest, ThePixelsShowBandIconsSelectionAndAccelerator) {
    const IconMenuColors::Palette p = IconMenuColors::Current();
    const std::shared_ptr<const PixelArt> art = ResourceImages::Bitmap(135);
    auto picture = [&](int k, int x, int y) {
        const COLORREF c = Surface::ColorOf(art->image.At(16 * k + x, y));
        return c == RGB(192, 192, 192) ? CLR_NONE : c;
    };
    // " &Log " by the keyboard: Quillbridge Log selected, then Export.
    EXPECT_TRUE(Run([&] { Alt(*display, 'L'); },
                    {[&] {
                         display->KeyPress(VK_DOWN);
                         display->KeyPress(VK_DOWN);
                     },
                     [&] {
                         const HWND popup = PopupMenuWindow::WindowOf(log);
                         ASSERT_NE(popup, nullptr);
                         // Debug Log, not selected: its icon darkened, in its cell.
                         const RECT debug = ItemRect(nullptr, log, 1);
                         int icon = 0;
                         for (int y = 0; y < 15; ++y)
                             for (int x = 0; x < 16; ++x)
                                 if (const COLORREF c = picture(1, x, y); c != CLR_NONE) {
                                     ASSERT_EQ(Shown(popup, POINT{debug.left + 3 + x, debug.top + 3 + y}),
                                               IconMenuColors::Darken(50, c));
                                     ++icon;
                                 }
                         EXPECT_GT(icon, 50);
                         EXPECT_EQ(Shown(popup, POINT{debug.left + 1, debug.top + 1}), p.band);
                         EXPECT_EQ(Shown(popup, POINT{debug.right - 2, debug.top + 1}), p.background);
                         // Export, selected: filled, outlined, its picture lifted.
                         const RECT exportItem = ItemRect(nullptr, log, 3);
                         EXPECT_EQ(Shown(popup, POINT{exportItem.left, exportItem.top}), p.selectionPen);
                         EXPECT_EQ(Shown(popup, POINT{exportItem.right - 1, exportItem.bottom - 1}), p.selectionPen);
                         EXPECT_EQ(Shown(popup, POINT{exportItem.right - 5, exportItem.top + 2}), p.selectionFill);
                         for (int y = 0; y < 15; ++y)
                             for (int x = 0; x < 16; ++x)
                                 if (const COLORREF c = picture(2, x, y); c != CLR_NONE) {
                                     ASSERT_EQ(Shown(popup, POINT{exportItem.left + 2 + x, exportItem.top + 2 + y}), c);
                                 }
                         // Exit has no icon: an empty band.
                         const RECT exit = ItemRect(nullptr, log, 7);
                         for (int x = 0; x < 24; ++x)
                             EXPECT_EQ(Shown(popup, POINT{exit.left + x, exit.top + 8}), p.band) << x;
                         // The popup's frame and its shadow over the frame beneath it.
                         RECT whole;
                         GetWindowRect(popup, &whole);
                         EXPECT_EQ(Shown(popup, POINT{whole.left, whole.top}), IconMenuColors::Darken(128, p.bar));
                         EXPECT_EQ(Shown(popup, POINT{whole.left + 1, whole.top + 1}),
                                   IconMenuColors::Mix(GetSysColor(COLOR_WINDOW), p.bar));
                         const POINT shadow{whole.right - 4, (whole.top + whole.bottom) / 2};
                         EXPECT_EQ(Shown(popup, shadow), IconMenuColors::Darken(120, Shown(hwnd, shadow)));
                         const POINT clear{whole.right - 4, whole.top + 1};
                         EXPECT_EQ(Shown(popup, clear), Shown(hwnd, clear));
                         // Inside the border: the band's colour down the left, then the menu's.
                         EXPECT_EQ(Shown(popup, POINT{whole.left + 1, whole.top + 5}), p.band);
                         EXPECT_EQ(Shown(popup, POINT{whole.left + 2, whole.top + 2}), p.menu);
                         // The bar item it opened from: open, with its shadow.
                         const RECT item = ItemRect(hwnd, bar, 0);
                         EXPECT_EQ(Shown(hwnd, POINT{item.left, item.top}), IconMenuColors::Darken(128, p.bar));
                         EXPECT_EQ(Shown(hwnd, POINT{item.left + 2, item.top + 2}), p.band);
                         EXPECT_EQ(Shown(hwnd, POINT{item.right - 4, item.top + 10}), IconMenuColors::Darken(120, p.bar));
                         display->KeyPress(VK_ESCAPE);
                         display->KeyPress(VK_ESCAPE);
                     }}));
    // Closed, the bar item is plain again: no frame, no shadow.
    const RECT logItem = ItemRect(hwnd, bar, 0);
    EXPECT_TRUE(PumpUntil([&] { return Shown(hwnd, POINT{logItem.left, logItem.top}) == p.bar; }));
    EXPECT_EQ(Shown(hwnd, POINT{logItem.right - 4, logItem.top + 10}), p.bar);

    // " &View ": the accelerator of Refresh right-aligned 15 pixels before the item's edge.
    EXPECT_TRUE(Run([&] { Alt(*display, 'V'); },
                    {[&] {
                        const HWND popup = PopupMenuWindow::WindowOf(view);
                        ASSERT_NE(popup, nullptr);
                        const RECT refresh = ItemRect(nullptr, view, 5);
                        int rightmost = -1;
                        for (int x = refresh.left + 24; x < refresh.right; ++x)
                            for (int y = refresh.top; y < refresh.bottom; ++y)
                                if (Shown(popup, POINT{x, y}) != p.background) rightmost = x;
                        EXPECT_LT(rightmost, refresh.right - 15);
                        EXPECT_GE(rightmost, refresh.right - 15 - 2);
                        display->KeyPress(VK_ESCAPE);
                        display->KeyPress(VK_ESCAPE);
                    }}));

    // " &Filter ": the cascade "&Level" keeps the system's arrow over what the item drew.
    EXPECT_TRUE(Run([&] { Alt(*display, 'F'); },
                    {[&] {
                        const HWND popup = PopupMenuWindow::WindowOf(filter);
                        ASSERT_NE(popup, nullptr);
                        const RECT level = ItemRect(nullptr, filter, 8);
                        int arrow = 0;
                        for (int x = level.right - 15; x < level.right; ++x)
                            for (int y = level.top; y < level.bottom; ++y)
                                arrow += Shown(popup, POINT{x, y}) == GetSysColor(COLOR_MENUTEXT);
                        EXPECT_GT(arrow, 3);
                        display->KeyPress(VK_ESCAPE);
                        display->KeyPress(VK_ESCAPE);
                    }}));
    EXPECT_EQ(Commands(), std::vector<UINT>{});
}

TEST_F(IconMenuFrameTest, TheBarItemUnderThePointerIsHot) {
    const IconMenuColors::Palette p = IconMenuColors::Current();
    const RECT item = ItemRect(hwnd, bar, 2);
    const POINT inside{item.left + 2, item.top + 2};
    display->MoveMouse(CentreOf(hwnd, bar, 2));
    EXPECT_TRUE(PumpUntil([&] { return Shown(hwnd, inside) == p.selectionFill; }));
    EXPECT_EQ(frame->hotBarItem, 2);
    EXPECT_NE(frame->hotTimer, 0u);
    EXPECT_EQ(Shown(hwnd, POINT{item.left, item.top}), p.selectionPen);

    // The pointer leaves the bar: the timer finds it gone.
    display->MoveMouse(OnScreen(hwnd, 200, 150));
    EXPECT_TRUE(PumpUntil([&] { return frame->hotTimer == 0; }));
    EXPECT_EQ(frame->hotBarItem, -1);
    EXPECT_TRUE(PumpUntil([&] { return Shown(hwnd, inside) == p.bar; }));

    // The menu loop takes over from the hot item.
    display->MoveMouse(CentreOf(hwnd, bar, 2));
    EXPECT_TRUE(PumpUntil([&] { return frame->hotBarItem == 2; }));
    frame->SendMessage(WM_ENTERMENULOOP, FALSE);
    EXPECT_EQ(frame->hotBarItem, -1);
    EXPECT_EQ(frame->hotTimer, 0u);
    frame->SendMessage(WM_EXITMENULOOP, FALSE);
}

TEST_F(IconMenuFrameTest, TheHotBarItemIsTrackedOnOlderSystemsAndOverRemoteDesktops) {
    IconMenuSettings& settings = IconMenuSettings::Instance();
    struct Case {
        const char* name;
        int generation;
        bool remote;
        bool tracked;
    } cases[] = {
        {"NT 4", 5, false, true},        {"NT 5.0", 6, false, false}, {"NT 5.1", 7, false, false},
        {"NT 5.1, remote", 7, true, true}, {"a later NT", 1, false, true},
    };
    for (const Case& c : cases) {
        settings.osGeneration = c.generation;
        settings.remoteSession = c.remote;
        display->MoveMouse(CentreOf(hwnd, bar, 1));
        PumpAll();
        EXPECT_EQ(frame->hotBarItem, c.tracked ? 1 : -1) << c.name;
        // Off the bar while the system is still the same one.
        display->MoveMouse(OnScreen(hwnd, 200, 150));
        ASSERT_TRUE(PumpUntil([&] { return frame->hotTimer == 0 && frame->hotBarItem == -1; })) << c.name;
    }
    settings.remoteSession = false;
    settings.osGeneration = 1;

    // With the focus outside the frame the hot item is inactive: its text grey.
    SetFocus(recorder.Create(nullptr, RECT{800, 600, 900, 700}, WS_POPUP | WS_VISIBLE));
    display->MoveMouse(CentreOf(hwnd, bar, 1));
    PumpAll();
    ASSERT_EQ(frame->hotBarItem, 1);
    const RECT item = ItemRect(hwnd, bar, 1);
    int grey = 0, black = 0;
    for (int y = item.top; y < item.bottom; ++y)
        for (int x = item.left; x < item.right; ++x) {
            grey += Shown(hwnd, POINT{x, y}) == GetSysColor(COLOR_GRAYTEXT);
            black += Shown(hwnd, POINT{x, y}) == GetSysColor(COLOR_MENUTEXT);
        }
    EXPECT_GT(grey, 10);
    EXPECT_EQ(black, 0);
}

TEST_F(IconMenuFrameTest, AColourChangeRebuildsTheIconsAtMostEvery2000Milliseconds) {
    const CIconMenuIcons& set = *CIconMenuIcons::All().at(0);
    ASSERT_TRUE(CIconMenuIcons::RebuildAll(GetTickCount() - 5000));
    ChangeMenuColor(RGB(90, 160, 220));
    EXPECT_TRUE(DisabledLooksMixedWith(set, RGB(90, 160, 220))) << "the frame was told and rebuilt at once";
    ChangeMenuColor(RGB(230, 200, 120));
    EXPECT_TRUE(DisabledLooksMixedWith(set, RGB(90, 160, 220))) << "too soon";

    // A change too soon after the last rebuild is not lost: it is rebuilt when the 2000 ms are over.
    const DWORD last = GetTickCount() - 1800;
    ASSERT_TRUE(CIconMenuIcons::RebuildAll(last - 5000));
    ASSERT_TRUE(CIconMenuIcons::RebuildAll(last));
    ChangeMenuColor(RGB(160, 220, 90));
    if (GetTickCount() - last < 2000) {
        EXPECT_TRUE(DisabledLooksMixedWith(set, RGB(230, 200, 120))) << "too soon";
    }
    DWORD rebuiltAt = 0;
    EXPECT_TRUE(PumpUntil([&] {
        rebuiltAt = GetTickCount();
        return DisabledLooksMixedWith(set, RGB(160, 220, 90));
    }, std::chrono::seconds(10)));
    EXPECT_GE(rebuiltAt - last, 2000u);
    EXPECT_FALSE(CIconMenuIcons::RebuildPending());
}

TEST_F(IconMenuFrameTest, TheFloatingBarsFrameDrawsItsSystemMenu) {
    auto floating = std::make_unique<CIconMenuMiniDockFrameWnd>();
    ASSERT_TRUE(floating->Create(nullptr, "Floating", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                                 CRect(300, 300, 420, 360), frame.get()));
    const HMENU system = GetSystemMenu(floating->m_hWnd, FALSE);
    EXPECT_EQ(floating->systemMenu.m_hMenu, system);
    EXPECT_TRUE(AllOwnerDrawn(system));
    const CIconMenuItemData* close = floating->systemMenu.ItemData(6);
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text, "&Close\tAlt+F4");
    MEASUREITEMSTRUCT mis{ODT_MENU, 0, close->commandId, 0, 0, reinterpret_cast<ULONG_PTR>(close)};
    floating->SendMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    EXPECT_EQ(static_cast<int>(mis.itemHeight), GetSystemMetrics(SM_CYMENU)) << "a system command";
    EXPECT_EQ(floating->SendMessage(WM_MENUCHAR, MAKEWPARAM('c', MF_POPUP | MF_SYSMENU),
                                    reinterpret_cast<LPARAM>(system)),
              MAKELPARAM(6, MNC_EXECUTE));
    floating->DestroyWindow();
    EXPECT_EQ(floating->systemMenu.m_hMenu, nullptr);
}

}  // namespace
