// Menus and keys in the frame: command-state updates of a popup as it opens, the recent files in
// the menu, accelerators through the message loop, and owner-drawn items reaching their CMenu.

#include "platform/controls/AcceleratorTable.h"
#include "platform/controls/MenuRegistry.h"
#include "platform/framework/AfxMsg.h"
#include "platform/framework/CCmdUI.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CMenu.h"
#include "platform/framework/CRecentFileList.h"
#include "platform/framework/StringTable.h"
#include "tests/platform/framework/FrameworkTesting.h"

namespace {

constexpr UINT kResource = 130;
constexpr UINT kQuillbridge = 32804, kDebug = 32805, kRefresh = 32793, kWeek = 32782, kAll = 32785;
constexpr UINT kFatal = 32786, kInfo = 32789, kUnhandled = 32799, kRenamed = 32798;

// A frame with update rules like the viewer's filters.
class CFilterFrame : public CFrameWnd {
public:
    UINT logKind = 1;
    UINT age = kAll;
    int refreshes = 0;

protected:
    DECLARE_MESSAGE_MAP()
    void OnQuillbridge() { logKind = 1; }
    void OnDebug() { logKind = 0x1000; }
    void OnRefresh() { ++refreshes; }
    void OnAge(UINT id) { age = id; }
    void OnLevel(UINT) {}
    void OnUpdateQuillbridge(CCmdUI* ui) { ui->SetCheck(logKind == 1); }
    void OnUpdateDebug(CCmdUI* ui) { ui->SetRadio(logKind == 0x1000); }
    void OnUpdateAge(CCmdUI* ui) {
        ui->Enable(logKind == 1 || ui->m_nID == kAll);
        ui->SetCheck(ui->m_nID == age);
    }
    void OnUpdateLevel(CCmdUI* ui) { ui->SetCheck(ui->m_nID == kInfo); }
    void OnUpdateRenamed(CCmdUI* ui) { ui->SetText(logKind == 1 ? "Log &Detail" : "No detail"); }
};
BEGIN_MESSAGE_MAP(CFilterFrame, CFrameWnd)
ON_COMMAND(kQuillbridge, &CFilterFrame::OnQuillbridge)
ON_COMMAND(kDebug, &CFilterFrame::OnDebug)
ON_COMMAND(kRefresh, &CFilterFrame::OnRefresh)
ON_COMMAND_RANGE(kWeek, kAll, &CFilterFrame::OnAge)
ON_COMMAND_RANGE(kFatal, kInfo, &CFilterFrame::OnLevel)
ON_COMMAND(kRenamed, &CFilterFrame::OnRefresh)
ON_UPDATE_COMMAND_UI(kQuillbridge, &CFilterFrame::OnUpdateQuillbridge)
ON_UPDATE_COMMAND_UI(kDebug, &CFilterFrame::OnUpdateDebug)
ON_UPDATE_COMMAND_UI_RANGE(kWeek, kAll, &CFilterFrame::OnUpdateAge)
ON_UPDATE_COMMAND_UI_RANGE(kFatal, kInfo, &CFilterFrame::OnUpdateLevel)
ON_UPDATE_COMMAND_UI(kRenamed, &CFilterFrame::OnUpdateRenamed)
END_MESSAGE_MAP()

// A menu that measures and draws its own items.
class COwnMenu : public CMenu {
public:
    std::vector<UINT> measured, drawn;
    void MeasureItem(LPMEASUREITEMSTRUCT mis) override {
        measured.push_back(mis->itemID);
        mis->itemWidth = 99;
    }
    void DrawItem(LPDRAWITEMSTRUCT dis) override { drawn.push_back(dis->itemID); }
};

class MenuCommands : public FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        StringTable::Register(kResource, "Menu Test");
        MenuRegistry::Instance().Register(
            MAKEINTRESOURCEA(kResource),
            MenuTemplate(0, 0, "",
                         {
                             {MF_POPUP,
                              0,
                              "&Log",
                              {{0, kQuillbridge, "&Quillbridge Log"},
                               {0, kDebug, "&Debug Log"},
                               {MF_SEPARATOR},
                               {0, ID_FILE_MRU_FILE1, "Recent File"},
                               {MF_SEPARATOR},
                               {0, kUnhandled, "&Nobody"},
                               {0, kRenamed, "Log &Detail"},
                               {0, ID_VIEW_TOOLBAR, "&Toolbar"}}},
                             {MF_POPUP,
                              0,
                              "&Filter",
                              {{0, kWeek, "1 &Week"},
                               {0, kAll, "&All"},
                               {MF_SEPARATOR},
                               {MF_POPUP | MF_GRAYED, 0, "&Level", {{0, kFatal, "&Fatal"}, {0, kInfo, "&Info"}}}}},
                         }));
        AcceleratorTable::Instance().Register(MAKEINTRESOURCEA(kResource), {{FVIRTKEY, VK_F5, kRefresh}});
        app.LoadStdProfileSettings(4);
        ASSERT_TRUE(frame.LoadFrame(kResource, WS_OVERLAPPEDWINDOW | WS_VISIBLE));
        ASSERT_TRUE(toolBar.Create(nullptr, "", WS_VISIBLE, CRect(), &frame, AFX_IDW_TOOLBAR));
        app.m_pMainWnd = &frame;
        logMenu = GetSubMenu(GetMenu(frame.m_hWnd), 0);
        filterMenu = GetSubMenu(GetMenu(frame.m_hWnd), 1);
    }
    void TearDown() override {
        app.m_pMainWnd = nullptr;
        MenuRegistry::Instance().Unregister(MAKEINTRESOURCEA(kResource));
        FrameworkTest::TearDown();
    }

    void Open(HMENU popup, int index) {
        frame.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), MAKELPARAM(index, FALSE));
    }
    // "+" enabled or "-" grey, then "x" checked, "o" a radio check, "." neither; then the text.
    static std::string StateOf(HMENU menu, int position) {
        const UINT state = GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION);
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info);
        char text[64] = "";
        GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
        std::string s = (state & MF_GRAYED) ? "-" : "+";
        s += (state & MF_CHECKED) ? ((info.fType & MFT_RADIOCHECK) ? "o" : "x") : ".";
        return s + " " + text;
    }
    std::vector<std::string> States(HMENU menu) {
        std::vector<std::string> states;
        for (int i = 0; i < GetMenuItemCount(menu); ++i)
            if (GetMenuItemID(menu, i) != 0) states.push_back(StateOf(menu, i));
        return states;
    }

    CFilterFrame frame;
    CWnd toolBar;
    HMENU logMenu = nullptr, filterMenu = nullptr;
};

TEST_F(MenuCommands, OpeningAPopupAsksEachItemsUpdateRule) {
    Open(logMenu, 0);
    EXPECT_EQ(States(logMenu), (std::vector<std::string>{"+x &Quillbridge Log", "+. &Debug Log", "-. Recent File",
                                                         "-. &Nobody", "+. Log &Detail", "+x &Toolbar"}));
    Open(filterMenu, 1);
    EXPECT_EQ(States(filterMenu), (std::vector<std::string>{"+. 1 &Week", "+x &All", "-. &Level"}))
        << "a popup item is greyed only by its own rule, which the level items do not have";

    frame.SendMessage(WM_COMMAND, kDebug);
    frame.SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR);
    Open(logMenu, 0);
    EXPECT_EQ(States(logMenu), (std::vector<std::string>{"+. &Quillbridge Log", "+o &Debug Log", "-. Recent File",
                                                         "-. &Nobody", "+. No detail", "+. &Toolbar"}));
    Open(filterMenu, 1);
    EXPECT_EQ(States(filterMenu), (std::vector<std::string>{"-. 1 &Week", "+x &All", "-. &Level"}));
    HMENU levels = GetSubMenu(filterMenu, 3);
    Open(levels, 3);
    EXPECT_EQ(States(levels), (std::vector<std::string>{"+. &Fatal", "+x &Info"}));

    frame.SendMessage(WM_COMMAND, kWeek);
    EXPECT_EQ(frame.age, kAll) << "a command greyed by its rule does not run from a menu or key";
}

TEST_F(MenuCommands, TheRecentFilesTakeTheirItemsPlace) {
    app.AddToRecentFileList("/logs/b&w.txt");
    app.AddToRecentFileList("/logs/a.txt");
    Open(logMenu, 0);
    EXPECT_EQ(States(logMenu),
              (std::vector<std::string>{"+x &Quillbridge Log", "+. &Debug Log", "+. &1 /logs/a.txt",
                                        "+. &2 /logs/b&&w.txt", "-. &Nobody", "+. Log &Detail", "+x &Toolbar"}));
    EXPECT_EQ(GetMenuItemID(logMenu, 4), ID_FILE_MRU_FILE1 + 1);
}

TEST_F(MenuCommands, KeysOfTheFramesTableRunTheirCommandsFromTheMessageLoop) {
    SetFocus(frame.m_hWnd);
    display->KeyPress(VK_F5);
    display->KeyPress('A');  // not a key of the table
    PostMessageA(frame.m_hWnd, WM_NULL, 0, 0);
    for (int i = 0; i < 100 && frame.refreshes == 0 && app.PumpMessage(); ++i) {
    }
    EXPECT_EQ(frame.refreshes, 1);
}

TEST_F(MenuCommands, OwnerDrawnItemsReachTheObjectOfTheirMenu) {
    COwnMenu own;
    ASSERT_TRUE(own.Attach(filterMenu));
    MEASUREITEMSTRUCT mis{ODT_MENU, 0, kAll, 0, 0, 0};
    frame.SendMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    EXPECT_EQ(mis.itemWidth, 99u);
    MEASUREITEMSTRUCT nested{ODT_MENU, 0, kFatal, 0, 0, 0};
    frame.SendMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&nested));
    EXPECT_EQ(nested.itemWidth, 0u) << "the level popup has no object of its own";
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_MENU;
    dis.itemID = kWeek;
    dis.hwndItem = reinterpret_cast<HWND>(filterMenu);
    frame.SendMessage(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    EXPECT_EQ(own.measured, std::vector<UINT>{kAll});
    EXPECT_EQ(own.drawn, std::vector<UINT>{kWeek});
    own.Detach();
}

}  // namespace
