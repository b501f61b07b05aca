// The program's menu, keys, toolbar and strings as the frame and framework will load them.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "platform/controls/Menus.h"
#include "resources/ProgramResources.h"
#include "resources/ResourceIds.h"

namespace {

std::string Caption(HMENU menu, int position) {
    char text[64] = {};
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

struct Entry {
    int position;
    const char* caption;
    UINT command;  // 0: a submenu
};

void ExpectPopup(HMENU popup, int count, std::initializer_list<Entry> entries) {
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(GetMenuItemCount(popup), count);
    std::vector<bool> named(count, false);
    for (const Entry& e : entries) {
        named[e.position] = true;
        EXPECT_EQ(Caption(popup, e.position), e.caption) << e.position;
        if (e.command) {
            EXPECT_EQ(GetMenuItemID(popup, e.position), e.command) << e.caption;
        }
    }
    for (int position = 0; position < count; ++position)
        if (!named[position]) {
            EXPECT_TRUE(GetMenuState(popup, position, MF_BYPOSITION) & MF_SEPARATOR) << position;
        }
}

}  // namespace

TEST(ProgramResources, MenuLoadsWithItsCaptionsAndCommands) {
    RegisterProgramResources();
    HMENU menu = LoadMenuA(nullptr, MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_NE(menu, nullptr);
    ExpectPopup(menu, 4, {{0, " &Log ", 0}, {1, " &View ", 0}, {2, " &Filter ", 0}, {3, " &About ", 0}});
    ExpectPopup(GetSubMenu(menu, 0), 8,
                {{0, "&Quillbridge Log", 32804},
                 {1, "&Debug Log", 32805},
                 {3, "&Export...", 32790},
                 {5, "&Clear log", 32792},
                 {7, "E&xit", 57665}});
    ExpectPopup(
        GetSubMenu(menu, 1), 6,
        {{0, "&Toolbar", 59392}, {1, "&Statusbar", 59393}, {3, "Log &Detail", 32794}, {5, "&Refresh\tF5", 32793}});
    HMENU filter = GetSubMenu(menu, 2);
    ExpectPopup(filter, 9,
                {{0, "&1 Day", 32774},
                 {1, "&2 Days", 32780},
                 {2, "&3 Days", 32781},
                 {3, "1 &Week", 32782},
                 {4, "2 W&eeks", 32783},
                 {5, "1 &Month", 32784},
                 {6, "&All", 32785},
                 {8, "&Level", 0}});
    ExpectPopup(GetSubMenu(filter, 8), 4,
                {{0, "&Fatal", 32786}, {1, "&Error", 32787}, {2, "&Warning", 32788}, {3, "&Info", 32789}});
    ExpectPopup(GetSubMenu(menu, 3), 1, {{0, "&About...", 57664}});
    DestroyMenu(menu);
}

TEST(ProgramResources, KeysToolbarAndStrings) {
    RegisterProgramResources();
    HACCEL keys = LoadAcceleratorsA(nullptr, MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_NE(keys, nullptr);
    std::vector<ACCEL> entries(CopyAcceleratorTableA(keys, nullptr, 0));
    CopyAcceleratorTableA(keys, entries.data(), static_cast<int>(entries.size()));
    DestroyAcceleratorTable(keys);
    std::map<std::pair<int, int>, int> commands;  // (modifiers, key) -> command
    for (const ACCEL& a : entries) {
        EXPECT_TRUE(a.fVirt & FVIRTKEY);
        EXPECT_TRUE(commands.emplace(std::pair{a.fVirt & ~FVIRTKEY, a.key}, a.cmd).second) << "one command a key";
    }
    const std::map<std::pair<int, int>, int> expected = {
        {{0, VK_F5}, 32793},      {{0, VK_F1}, 57670},
        {{FCONTROL, 'N'}, 57600}, {{FCONTROL, 'O'}, 57601},
        {{FCONTROL, 'P'}, 57607}, {{FCONTROL, 'S'}, 57603},
        {{0, VK_F6}, 57680},      {{FSHIFT, VK_F6}, 57681},
        {{FCONTROL, 'C'}, 57634}, {{FCONTROL, VK_INSERT}, 57634},
        {{FCONTROL, 'V'}, 57637}, {{FSHIFT, VK_INSERT}, 57637},
        {{FCONTROL, 'X'}, 57635}, {{FSHIFT, VK_DELETE}, 57635},
        {{FCONTROL, 'Z'}, 57643}, {{FALT, VK_BACK}, 57643},
    };
    EXPECT_EQ(commands, expected);

    const ToolbarLayout toolbar = MainToolbar();
    EXPECT_EQ(toolbar.width, 16);
    EXPECT_EQ(toolbar.height, 15);
    EXPECT_EQ(toolbar.items, (std::vector<WORD>{32804, 32805, 0, 32790, 0, 32793, 32792, 0, 57664}));

    // Every toolbar button but About has a prompt and a tooltip.
    std::map<UINT, std::string> strings;
    for (const StringResource& s : ProgramStrings()) strings[s.id] = s.text;
    for (WORD command : toolbar.items)
        if (command && command != ID_APP_ABOUT) {
            EXPECT_NE(strings[command].find('\n'), std::string::npos) << command;
        }
    EXPECT_EQ(strings[32805], "Show Quillbridge debug logs\nDebug Log");
    EXPECT_EQ(strings[57665], "Quit the application; prompts to save documents\nExit");
    EXPECT_EQ(strings[128], "Quillbridge Log Viewer\n\npelorin\n\n\npelorin.Document\npelorin Document");
}

TEST(ProgramResources, AboutBoxTemplate) {
    RegisterProgramResources();
    const auto about = DialogTemplate::Find(MAKEINTRESOURCEA(IDD_ABOUTBOX));
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->caption, "About ...");
    EXPECT_EQ(about->cx, 196);
    EXPECT_EQ(about->cy, 62);
    std::map<int, std::tuple<short, short, short, short>> placed;
    for (const DialogItem& item : about->items)
        if (item.id != IDC_STATIC) placed[item.id] = {item.x, item.y, item.cx, item.cy};
    const std::map<int, std::tuple<short, short, short, short>> expected = {
        {1, {137, 41, 52, 14}},  {1002, {42, 11, 142, 8}}, {1005, {7, 38, 181, 1}},
        {1003, {7, 44, 125, 8}}, {1007, {42, 23, 146, 8}},
    };
    EXPECT_EQ(placed, expected);
}
