// The flat toolbar as the viewer's frame makes it (toolbar 128, flat, a bottom border, docked at
// the top), and with a customize table, drop-down menus and a test bitmap in the button colours:
// separators and sizes, the saved layout, the right-click menu, the shadow line, colour changes,
// drop-downs and the customization queries.

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/MenuRegistry.h"
#include "platform/framework/AfxMsg.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CMenu.h"
#include "platform/framework/ToolbarResource.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/ResourceImages.h"
#include "platform/graphics/SystemColors.h"
#include "platform/kernel/Registry.h"
#include "resources/ImageResources.h"
#include "resources/ProgramResources.h"
#include "resources/ResourceIds.h"
#include "tests/platform/framework/FrameworkTesting.h"
#include "tests/support/TempDirectory.h"
#include "widgets/CFlatToolBar.h"
#include "widgets/FlatToolBarSettings.h"

namespace {

constexpr UINT kColourBar = 7402;  // two buttons whose pictures hold the four mapped colours
constexpr UINT kDropMenu = 7403;
constexpr UINT kFirst = 7411, kSecond = 7412, kChoice = 7421;
constexpr DWORD kFrameBarStyle = 0x50002834;  // child, visible, top, bottom border, tips, fly-by, dynamic

// A bar that notes the popup menus it owns and, in their idle time, closes them or picks an item.
class CTestFlatToolBar : public CFlatToolBar {
public:
    std::vector<std::pair<UINT, std::string>> menuItems;
    int menusShown = 0;
    int customizeAsked = 0;
    int keyToPress = 0;  // typed into the open menu; 0 closes it

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == TB_CUSTOMIZE) ++customizeAsked;
        if (message == WM_INITMENUPOPUP) {
            ++menusShown;
            const auto menu = reinterpret_cast<HMENU>(wParam);
            for (int i = 0; i < GetMenuItemCount(menu); ++i) {
                char text[64] = "";
                GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
                menuItems.emplace_back(GetMenuItemID(menu, i), text);
            }
        }
        if (message == WM_ENTERIDLE) {
            if (keyToPress) {
                ::PostMessageA(::GetFocus() ? ::GetFocus() : m_hWnd, WM_CHAR, static_cast<WPARAM>(keyToPress), 0);
                keyToPress = 0;
            } else {
                EndMenu();
            }
        }
        return CFlatToolBar::WindowProc(message, wParam, lParam);
    }
};

// The viewer frame's toolbar steps, and a note of the popups that open with the frame as owner.
class CToolBarFrame : public CFrameWnd {
public:
    CTestFlatToolBar toolBar;
    RECT popupRect{};
    UINT popupFirstItem = 0;

protected:
    DECLARE_MESSAGE_MAP()

    int OnCreate(LPCREATESTRUCTA lpcs) {
        if (CFrameWnd::OnCreate(lpcs) == -1) return -1;
        if (!toolBar.CreateEx(this, TBSTYLE_FLAT, kFrameBarStyle, CRect(0, 0, 0, 0), AFX_IDW_TOOLBAR) ||
            !toolBar.LoadToolBar(IDR_MAINFRAME))
            return -1;
        toolBar.EnableDocking(CBRS_ALIGN_ANY);
        EnableDocking(CBRS_ALIGN_ANY);
        DockControlBar(&toolBar);
        return 0;
    }
    void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu) {
        popupFirstItem = pPopupMenu->GetMenuItemID(0);
        CFrameWnd::OnInitMenuPopup(pPopupMenu, nIndex, bSysMenu);
    }
    void OnEnterIdle(UINT, CWnd* pWho) {
        if (pWho) pWho->GetWindowRect(&popupRect);
        EndMenu();
    }
};
BEGIN_MESSAGE_MAP(CToolBarFrame, CFrameWnd)
ON_WM_CREATE()
ON_WM_INITMENUPOPUP()
ON_WM_ENTERIDLE()
END_MESSAGE_MAP()

class FlatToolBarTest : public FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        ASSERT_EQ(setenv("XDG_CONFIG_HOME", home_.Path().c_str(), 1), 0);
        app.SetRegistryKey("Flat Toolbar Test");
        ASSERT_EQ(RegisterImageResources(), "");
        RegisterProgramResources();
        ToolbarResource::Register(kColourBar, ToolbarResource{1, 16, 15, {kFirst, 0, kSecond}});
        std::string art = "32 15\ncolor k 000000\ncolor g 808080\ncolor . C0C0C0\ncolor w FFFFFF\n";
        for (int y = 0; y < 15; ++y) art += std::string(8, 'k') + std::string(8, 'g') + std::string(8, '.') + std::string(8, 'w') + "\n";
        ASSERT_EQ(ResourceImages::AddBitmap(static_cast<int>(kColourBar), art), "");
        MenuRegistry::Instance().Register(MAKEINTRESOURCEA(kDropMenu),
                                          MenuTemplate{0, 0, "", {{MF_POPUP, 0, "&More", {{0, kChoice, "&Choice"}}}}});
        settings_ = FlatToolBarSettings::Instance().comCtlVersion;
        for (int i = 0; i < 4; ++i) colours_[i] = GetSysColor(kButtonColours[i]);
        frame = std::make_unique<CToolBarFrame>();
        ASSERT_TRUE(frame->Create(nullptr, "Flat", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 600, 300)));
        app.m_pMainWnd = frame.get();
        PumpAll();
    }
    void TearDown() override {
        app.m_pMainWnd = nullptr;
        if (frame && frame->m_hWnd) frame->DestroyWindow();
        frame.reset();
        SetSysColors(4, kButtonColours, colours_);
        FlatToolBarSettings::Instance().comCtlVersion = settings_;
        MenuRegistry::Instance().Unregister(MAKEINTRESOURCEA(kDropMenu));
        ToolbarResource::Unregister(kColourBar);
        FrameworkTest::TearDown();
    }

    CTestFlatToolBar& Bar() { return frame->toolBar; }
    CRect ItemRect(int index) {
        CRect r;
        Bar().GetItemRect(index, &r);
        return r;
    }
    // The colour the frame shows at a point of the bar's client area.
    COLORREF Shown(POINT client) {
        Bar().ClientToScreen(&client);
        CRect frameRect;
        frame->GetWindowRect(&frameRect);
        return Surface::ColorOf(display->Pixels(frame->m_hWnd).At(client.x - frameRect.left, client.y - frameRect.top));
    }
    int CountShown(const CRect& client, COLORREF colour) {
        int count = 0;
        for (int y = client.top; y < client.bottom; ++y)
            for (int x = client.left; x < client.right; ++x) count += Shown(POINT{x, y}) == colour;
        return count;
    }
    LRESULT Query(UINT code, int item = 0, NMTOOLBARA* record = nullptr) {
        NMTOOLBARA local{};
        NMTOOLBARA& nm = record ? *record : local;
        nm.hdr = NMHDR{Bar().m_hWnd, AFX_IDW_TOOLBAR, code};
        nm.iItem = item;
        // Where the control sends its notices: the frame it was made in.
        return frame->SendMessage(WM_NOTIFY, AFX_IDW_TOOLBAR, reinterpret_cast<LPARAM>(&nm));
    }

    static constexpr int kButtonColours[4] = {COLOR_BTNTEXT, COLOR_BTNSHADOW, COLOR_BTNFACE, COLOR_BTNHIGHLIGHT};
    std::unique_ptr<CToolBarFrame> frame;

private:
    TempDirectory home_;
    COLORREF colours_[4]{};
    DWORD settings_ = 0;
};

TEST_F(FlatToolBarTest, TheFramesBarHasFlatSeparatorsAndButtonsOfPicturePlusSeven) {
    CFlatToolBar& bar = Bar();
    ASSERT_EQ(bar.GetCount(), 9);
    for (const int separator : {2, 4, 7}) EXPECT_EQ(ItemRect(separator).Width(), 6) << separator;
    for (const int button : {0, 1, 3, 5, 6, 8}) EXPECT_EQ(ItemRect(button).Size(), CSize(23, 22)) << button;
    EXPECT_EQ(bar.buttonWidth, 23);
    EXPECT_EQ(bar.buttonHeight, 22);
    EXPECT_EQ(bar.imageWidth, 16);
    EXPECT_EQ(bar.imageHeight, 15);
    EXPECT_EQ(bar.m_dwStyle, (kFrameBarStyle & 0x0040FFFF) | CBRS_HIDE_INPLACE);
    EXPECT_EQ(bar.GetStyle() & 0xFFFF, DWORD{TBSTYLE_FLAT | 0x4E});
    // Docked across the top: the buttons and the one shadow line under them.
    CRect window;
    bar.GetWindowRect(&window);
    EXPECT_EQ(window.Height(), 23);
}

TEST_F(FlatToolBarTest, ItemsOutOfRangeHaveNoCommandAndAnEmptyRectangle) {
    CFlatToolBar& bar = Bar();
    EXPECT_EQ(bar.GetItemID(0), ID_LOG_QUILLBRIDGE);
    EXPECT_EQ(bar.CommandToIndex(ID_LOG_QUILLBRIDGE), 0);
    EXPECT_EQ(bar.GetItemID(2), 0u) << "a separator";
    for (const int index : {-1, 9, 1000}) {
        EXPECT_EQ(bar.GetItemID(index), 0u) << index;
        CRect r(1, 2, 3, 4);
        bar.GetItemRect(index, &r);
        EXPECT_TRUE(r.IsRectNull()) << index;
    }
}

TEST_F(FlatToolBarTest, SeparatorsOfANonFlatBarAreSixPixelsOnlyForVersion471) {
    struct Case {
        DWORD version;
        int width;
    };
    for (const Case c : {Case{FlatToolBarSettings::kVersion471, 6}, Case{0x00050052, 8}, Case{0x00040000, 8}}) {
        FlatToolBarSettings::Instance().comCtlVersion = c.version;
        CFlatToolBar bar;
        ASSERT_TRUE(bar.CreateEx(frame.get(), 0, WS_CHILD | CBRS_ALIGN_TOP, CRect(0, 0, 0, 0), 7500));
        ASSERT_TRUE(bar.LoadToolBar(IDR_MAINFRAME));
        CRect r;
        bar.GetItemRect(2, &r);
        EXPECT_EQ(r.Width(), c.width) << std::hex << c.version;
        bar.DestroyWindow();
    }
}

TEST_F(FlatToolBarTest, MissingResourcesFailTheLoad) {
    CFlatToolBar bar;
    EXPECT_FALSE(bar.LoadToolBar(IDR_MAINFRAME)) << "no window yet";
    ASSERT_TRUE(bar.CreateEx(frame.get(), TBSTYLE_FLAT, WS_CHILD | CBRS_ALIGN_TOP, CRect(0, 0, 0, 0), 7501));
    EXPECT_FALSE(bar.LoadToolBar(7499)) << "no such toolbar";
    ToolbarResource::Register(7498, ToolbarResource{1, 16, 15, {kFirst}});
    EXPECT_FALSE(bar.LoadToolBar(7498)) << "no bitmap of that id";
    ToolbarResource::Unregister(7498);
    bar.DestroyWindow();
}

TEST_F(FlatToolBarTest, TheLayoutIsSavedOnDestroyAndRestoredByTheNextBarWithACustomizeTable) {
    const std::string valueName = Bar().stateValueName;
    const std::string subKey = Bar().stateSubKey;
    EXPECT_EQ(subKey, "Software\\Flat Toolbar Test\\Framework Test\\Settings");
    ASSERT_TRUE(Bar().SendMessage(TB_DELETEBUTTON, 0));  // the user took the first button off
    ASSERT_TRUE(Bar().SendMessage(TB_DELETEBUTTON, 0));
    frame->DestroyWindow();

    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD type = 0, size = 0;
    EXPECT_EQ(RegQueryValueExA(key, valueName.c_str(), nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD{REG_BINARY});
    RegCloseKey(key);

    auto again = std::make_unique<CToolBarFrame>();
    ASSERT_TRUE(again->Create(nullptr, "Again", WS_OVERLAPPEDWINDOW, CRect(0, 0, 600, 300)));
    CFlatToolBar bar;
    bar.stateValueName = valueName;  // as the first bar of the next run
    ASSERT_TRUE(bar.CreateEx(again.get(), TBSTYLE_FLAT, WS_CHILD | CBRS_ALIGN_TOP, CRect(0, 0, 0, 0), 7502));
    const CFlatToolBar::CustomizeButton table[] = {{TBBUTTON{0, 32804, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0}, "Log"}};
    ASSERT_TRUE(bar.LoadToolBar(IDR_MAINFRAME, table, 1));
    EXPECT_EQ(bar.GetCount(), 7);
    EXPECT_EQ(bar.CommandToIndex(32804), -1);
    EXPECT_EQ(bar.CommandToIndex(32790), 1);
    EXPECT_TRUE(bar.GetStyle() & CCS_ADJUSTABLE);

    // Without a key there is nothing to keep.
    bar.stateSubKey.clear();
    bar.SendMessage(TB_DELETEBUTTON, 0);
    bar.SaveState();
    bar.RestoreState();
    EXPECT_EQ(bar.GetCount(), 6);
    bar.DestroyWindow();
    again->DestroyWindow();
}

TEST_F(FlatToolBarTest, ARightClickShowsTheCustomizeMenuOnlyWithACustomizeTable) {
    const CRect gap = ItemRect(2);
    const LPARAM at = MAKELPARAM(gap.left + 2, gap.top + 5);
    Bar().SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, at);
    EXPECT_EQ(Bar().menusShown, 0);

    static const CFlatToolBar::CustomizeButton table[] = {
        {TBBUTTON{0, 32804, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0}, "Quillbridge Log"}};
    Bar().customizeButtons = table;
    Bar().customizeCount = 1;
    Bar().SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, at);
    EXPECT_EQ(Bar().menusShown, 1);
    EXPECT_EQ(Bar().menuItems, (std::vector<std::pair<UINT, std::string>>{{255, "&Customize..."}}));
    EXPECT_EQ(Bar().customizeAsked, 0) << "closed without a choice";

    Bar().keyToPress = 'c';
    Bar().SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, at);
    EXPECT_EQ(Bar().customizeAsked, 1);
}

TEST_F(FlatToolBarTest, TheBarShowsAOnePixelShadowLineAlongItsBottom) {
    PumpAll();
    CRect client;
    Bar().GetClientRect(&client);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), face = GetSysColor(COLOR_BTNFACE);
    // Right of the last button only the bar's own background shows.
    for (const int x : {client.right - 40, client.right - 10}) {
        EXPECT_EQ(Shown(POINT{x, client.bottom}), shadow) << x;
        EXPECT_EQ(Shown(POINT{x, client.bottom - 1}), face) << x;
        EXPECT_EQ(Shown(POINT{x, client.top}), face) << x << ": no top line";
    }
}

TEST_F(FlatToolBarTest, AColourChangeMapsTheBitmapToTheNewButtonColours) {
    CFlatToolBar& bar = Bar();
    ASSERT_TRUE(bar.LoadToolBar(kColourBar));
    const COLORREF scheme[4] = {RGB(200, 0, 0), RGB(0, 100, 0), RGB(0, 0, 150), RGB(250, 250, 0)};
    SetSysColors(4, kButtonColours, scheme);  // the frame passes WM_SYSCOLORCHANGE on to its bars
    PumpAll();

    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, bar.bitmap.m_hObject);
    for (int part = 0; part < 4; ++part) EXPECT_EQ(GetPixel(dc, part * 8 + 3, 7), scheme[part]) << part;
    SelectObject(dc, old);
    DeleteDC(dc);
    // The button shows the new colours, not the old black.
    EXPECT_GT(CountShown(ItemRect(0), scheme[0]), 0);
    EXPECT_EQ(CountShown(ItemRect(0), RGB(0, 0, 0)), 0);
}

TEST_F(FlatToolBarTest, ADropDownButtonOpensTheFirstPopupOfItsMenuBelowIt) {
    const CSize before = Bar().CalcFixedLayout(FALSE, TRUE);
    Bar().SetDropDownMenu(32790, kDropMenu);
    frame->RecalcLayout();
    PumpAll();
    const int index = Bar().CommandToIndex(32790);
    CRect button = ItemRect(index);
    ASSERT_GT(button.Width(), 23) << "an arrow part";
    EXPECT_EQ(Bar().CalcFixedLayout(FALSE, TRUE).cx - before.cx, button.Width() - 23) << "the bar makes room for it";
    Bar().ClientToScreen(&button);
    display->Click(POINT{button.right - 3, button.top + 5});  // on the arrow part
    ASSERT_TRUE(PumpUntil([&] { return frame->popupFirstItem != 0; }));
    EXPECT_EQ(frame->popupFirstItem, kChoice);
    EXPECT_EQ(frame->popupRect.left, button.left);
    EXPECT_EQ(frame->popupRect.top, button.bottom);
}

TEST_F(FlatToolBarTest, InsertAndDeleteAreAllowedDockedAndRefusedFloating) {
    EXPECT_EQ(Query(TBN_QUERYINSERT), TRUE);
    EXPECT_EQ(Query(TBN_QUERYDELETE), TRUE);
    frame->FloatControlBar(&Bar(), CPoint(200, 200));
    PumpAll();
    ASSERT_TRUE(Bar().IsFloating());
    EXPECT_EQ(Query(TBN_QUERYINSERT), FALSE);
    EXPECT_EQ(Query(TBN_QUERYDELETE), FALSE);
}

TEST_F(FlatToolBarTest, ButtonInformationComesFromTheCustomizeTableCutToTheBuffer) {
    static const CFlatToolBar::CustomizeButton table[] = {
        {TBBUTTON{0, 32804, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0}, "Quillbridge Log"},
        {TBBUTTON{1, 32805, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0}, "Debug Log"}};
    Bar().customizeButtons = table;
    Bar().customizeCount = 2;
    char text[8];
    NMTOOLBARA record{};
    record.pszText = text;
    record.cchText = sizeof text;
    EXPECT_EQ(Query(TBN_GETBUTTONINFOA, 1, &record), TRUE);
    EXPECT_EQ(record.tbButton.idCommand, 32805);
    EXPECT_STREQ(text, "Debug L");
    EXPECT_EQ(Query(TBN_GETBUTTONINFOA, 0, &record), TRUE);
    EXPECT_STREQ(text, "Quillbr");
    EXPECT_EQ(Query(TBN_GETBUTTONINFOA, 2, &record), FALSE);
    EXPECT_EQ(Query(TBN_GETBUTTONINFOA, -1, &record), FALSE);
}

TEST_F(FlatToolBarTest, InARebarTheBarServesTheFrameAroundIt) {
    WNDCLASSA rebarClass{};
    rebarClass.lpfnWndProc = DefWindowProcA;
    rebarClass.lpszClassName = "ReBarWindow32";
    RegisterClassA(&rebarClass);
    const HWND rebar = CreateWindowExA(0, "ReBarWindow32", "", WS_CHILD | WS_VISIBLE, 0, 0, 300, 40, frame->m_hWnd,
                                       nullptr, nullptr, nullptr);
    ASSERT_NE(rebar, nullptr);
    CFlatToolBar bar;
    ASSERT_TRUE(bar.CreateEx(CWnd::FromHandle(rebar), TBSTYLE_FLAT, WS_CHILD | CBRS_ALIGN_TOP, CRect(0, 0, 0, 0), 7503));
    EXPECT_TRUE(bar.inRebar);
    EXPECT_EQ(bar.GetOwner(), frame.get());
    EXPECT_FALSE(Bar().inRebar);
    bar.DestroyWindow();
    DestroyWindow(rebar);
    UnregisterClassA("ReBarWindow32", nullptr);
}

TEST_F(FlatToolBarTest, BeforeVersion471TheClientAreaStartsTwoPixelsHigher) {
    CRect window, client;
    const auto clientTop = [&] {
        Bar().GetWindowRect(&window);
        Bar().GetClientRect(&client);
        Bar().ClientToScreen(&client);
        return client.top - window.top;
    };
    const auto remeasure = [&] {
        Bar().SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    };
    Bar().SetBorders(0, 3, 0, 3);
    EXPECT_EQ(clientTop(), 3);
    FlatToolBarSettings::Instance().comCtlVersion = 0x00040046;
    remeasure();
    EXPECT_EQ(clientTop(), 1);
    Bar().SetBorders(0, 1, 0, 3);
    EXPECT_EQ(clientTop(), 0) << "not above the window";
}

TEST(FlatToolBarNames, ValueNamesCountTheToolbarsOfTheProcess) {
    // In a fresh process, so that no other test's bars count.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto makeTwo = [] {
        CFlatToolBar first;
        CFlatToolBar second;
        const bool named = first.stateValueName == "FlatToolBar 1" && second.stateValueName == "FlatToolBar 2";
        std::_Exit(named ? 0 : 1);
    };
    EXPECT_EXIT(makeTwo(), ::testing::ExitedWithCode(0), "");
    // Without an application keeping settings, the layout is not kept either.
    CFlatToolBar unkept;
    EXPECT_EQ(unkept.stateSubKey, "");
}

TEST(FlatBarBase, TheInsideLeavesRoomForBordersAndGripper) {
    struct Probe : CFlatBarBase {
        void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}
    };
    struct Case {
        DWORD style;
        BOOL rebar, flat;
        CRect inside;
    };
    const Case cases[] = {
        {CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM, FALSE, FALSE, CRect(0, 0, 100, 29)},
        {CBRS_ALIGN_TOP | CBRS_BORDER_ANY, FALSE, FALSE, CRect(1, 1, 99, 29)},
        {CBRS_ALIGN_TOP | CBRS_BORDER_ANY | CBRS_BORDER_3D, TRUE, FALSE, CRect(2, 2, 98, 28)},
        {CBRS_ALIGN_TOP | CBRS_GRIPPER, FALSE, FALSE, CRect(10, 0, 100, 30)},
        {CBRS_ALIGN_TOP | CBRS_GRIPPER, TRUE, FALSE, CRect(6, 0, 100, 30)},
        {CBRS_ALIGN_TOP | CBRS_GRIPPER, TRUE, TRUE, CRect(10, 0, 100, 30)},
        {CBRS_ALIGN_LEFT | CBRS_GRIPPER, FALSE, FALSE, CRect(0, 10, 100, 30)},
        {CBRS_ALIGN_TOP | CBRS_GRIPPER | CBRS_BORDER_ANY | CBRS_FLOATING, FALSE, FALSE, CRect(0, 0, 100, 30)},
    };
    for (const Case& c : cases) {
        Probe bar;
        bar.SetBorders(0, 0, 0, 0);
        bar.SetBarStyle(c.style | 0xF0000000);  // window style bits are not the bar's
        EXPECT_EQ(bar.GetBarStyle(), c.style);
        bar.inRebar = c.rebar;
        bar.flatGripper = c.flat;
        CRect r(0, 0, 100, 30);
        bar.CalcInsideRect(r, (c.style & CBRS_ORIENT_HORZ) != 0);
        EXPECT_EQ(r, c.inside) << std::hex << c.style << " rebar " << c.rebar << " flat " << c.flat;
    }
}

}  // namespace
