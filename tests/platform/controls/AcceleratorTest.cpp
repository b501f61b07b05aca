// Accelerator tables: keys with Ctrl, Shift and Alt and function keys become WM_COMMAND with 1 in
// the high word; a command whose menu item is greyed is not sent.

#include "platform/controls/AcceleratorTable.h"
#include "platform/controls/Menus.h"
#include "platform/kernel/LastError.h"
#include "tests/platform/controls/MenuTesting.h"

namespace {

class AcceleratorTest : public MenuTestBase {
protected:
    // The application's loop: accelerators first, then the usual translation.
    void Pump(HWND hwnd, HACCEL table) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (TranslateAcceleratorA(hwnd, table, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
};

// The viewer's table, as its resources register it.
const std::vector<ACCEL> kTable{
    {FVIRTKEY, VK_F5, 32793},
    {FVIRTKEY, VK_F1, 57670},
    {FVIRTKEY | FCONTROL, 'N', 57600},
    {FVIRTKEY | FCONTROL, 'O', 57601},
    {FVIRTKEY | FCONTROL, 'S', 57603},
    {FVIRTKEY, VK_F6, 57680},
    {FVIRTKEY | FSHIFT, VK_F6, 57681},
    {FVIRTKEY | FCONTROL, 'C', 57634},
    {FVIRTKEY | FCONTROL, VK_INSERT, 57634},
    {FVIRTKEY | FSHIFT, VK_DELETE, 57635},
    {FVIRTKEY | FALT, VK_BACK, 57643},
    {0, '?', 900},  // a character, whatever keys type it
};

void With(HeadlessDriver& d, int modifier, int vk) {
    d.Key(modifier, true);
    d.KeyPress(vk);
    d.Key(modifier, false);
}

TEST_F(AcceleratorTest, KeysWithModifiersRunTheirCommands) {
    AcceleratorTable::Instance().Register(MAKEINTRESOURCEA(128), kTable);
    const HACCEL table = LoadAcceleratorsA(nullptr, MAKEINTRESOURCEA(128));
    ASSERT_TRUE(table);
    const HWND frame = Frame(nullptr);
    struct Case {
        const char* name;
        std::function<void(HeadlessDriver&)> keys;
        std::vector<WPARAM> commands;
    } cases[] = {
        {"F5", [](HeadlessDriver& d) { d.KeyPress(VK_F5); }, {MAKEWPARAM(32793, 1)}},
        {"F1", [](HeadlessDriver& d) { d.KeyPress(VK_F1); }, {MAKEWPARAM(57670, 1)}},
        {"Ctrl+N", [](HeadlessDriver& d) { With(d, VK_CONTROL, 'N'); }, {MAKEWPARAM(57600, 1)}},
        {"N alone", [](HeadlessDriver& d) { d.KeyPress('N'); }, {}},
        {"Ctrl+Shift+N", [](HeadlessDriver& d) {
             d.Key(VK_SHIFT, true);
             With(d, VK_CONTROL, 'N');
             d.Key(VK_SHIFT, false);
         }, {}},
        {"F6", [](HeadlessDriver& d) { d.KeyPress(VK_F6); }, {MAKEWPARAM(57680, 1)}},
        {"Shift+F6", [](HeadlessDriver& d) { With(d, VK_SHIFT, VK_F6); }, {MAKEWPARAM(57681, 1)}},
        {"Ctrl+C", [](HeadlessDriver& d) { With(d, VK_CONTROL, 'C'); }, {MAKEWPARAM(57634, 1)}},
        {"Ctrl+Insert", [](HeadlessDriver& d) { With(d, VK_CONTROL, VK_INSERT); }, {MAKEWPARAM(57634, 1)}},
        {"Shift+Delete", [](HeadlessDriver& d) { With(d, VK_SHIFT, VK_DELETE); }, {MAKEWPARAM(57635, 1)}},
        {"Alt+Backspace", [](HeadlessDriver& d) { With(d, VK_MENU, VK_BACK); }, {MAKEWPARAM(57643, 1)}},
        {"Backspace alone", [](HeadlessDriver& d) { d.KeyPress(VK_BACK); }, {}},
        {"a typed character", [](HeadlessDriver& d) { d.Type("?"); }, {MAKEWPARAM(900, 1)}},
    };
    for (const auto& c : cases) {
        recorder.Log().clear();
        c.keys(*display);
        Pump(frame, table);
        EXPECT_EQ(ParamsOf(frame, WM_COMMAND), c.commands) << c.name;
    }
    DestroyAcceleratorTable(table);
    AcceleratorTable::Instance().Register(MAKEINTRESOURCEA(128), {});
}

// The owner updates its items on WM_INITMENUPOPUP before the item's state decides.
TEST_F(AcceleratorTest, AGreyedMenuItemSwallowsItsAccelerator) {
    const HMENU bar = LoadMenuIndirectA(&TestMenu());
    const HMENU file = GetSubMenu(bar, 0);
    const ACCEL keys[] = {{FVIRTKEY | FCONTROL, 'S', 102}, {FVIRTKEY | FCONTROL, 'O', 101}};
    const HACCEL table = CreateAcceleratorTableA(keys, 2);
    const HWND frame = Frame(bar);
    struct Case {
        const char* name;
        int key;
        bool enableOnInit;
        std::vector<WPARAM> commands;
    } cases[] = {
        {"greyed", 'S', false, {}},
        {"enabled by the owner's update", 'S', true, {MAKEWPARAM(102, 1)}},
        {"enabled", 'O', false, {MAKEWPARAM(101, 1)}},
    };
    for (const Case& c : cases) {
        EnableMenuItem(bar, 102, MF_BYCOMMAND | MF_GRAYED);
        recorder.Log().clear();
        recorder.On(WM_INITMENUPOPUP, [&](HWND, UINT, WPARAM wParam, LPARAM lParam, bool&) -> LRESULT {
            EXPECT_EQ(wParam, reinterpret_cast<WPARAM>(file));
            EXPECT_EQ(lParam, MAKELPARAM(0, FALSE));
            if (c.enableOnInit) EnableMenuItem(file, 102, MF_BYCOMMAND | MF_ENABLED);
            return 0;
        });
        With(*display, VK_CONTROL, c.key);
        Pump(frame, table);
        EXPECT_EQ(ParamsOf(frame, WM_COMMAND), c.commands) << c.name;
        EXPECT_EQ(recorder.MessagesOf(frame, {WM_INITMENU, WM_INITMENUPOPUP}),
                  (std::vector<UINT>{WM_INITMENU, WM_INITMENUPOPUP}))
            << c.name;
        EXPECT_EQ(recorder.Count(frame, WM_CHAR), 0) << c.name << ": the key is used up either way";
    }
    DestroyAcceleratorTable(table);
}

TEST_F(AcceleratorTest, TablesAreCheckedHandles) {
    const ACCEL keys[] = {{FVIRTKEY, VK_F5, 1}, {FVIRTKEY, VK_F6, 2}};
    const HACCEL table = CreateAcceleratorTableA(keys, 2);
    ACCEL out[4] = {};
    EXPECT_EQ(CopyAcceleratorTableA(table, nullptr, 0), 2);
    EXPECT_EQ(CopyAcceleratorTableA(table, out, 1), 1);
    EXPECT_EQ(out[0].cmd, 1);
    EXPECT_TRUE(DestroyAcceleratorTable(table));
    const HACCEL other = CreateAcceleratorTableA(keys, 1);  // may reuse the slot
    EXPECT_FALSE(DestroyAcceleratorTable(table));
    const HWND frame = Frame(nullptr);
    MSG msg{frame, WM_KEYDOWN, VK_F5, 1, 0, {}, 0};
    EXPECT_EQ(TranslateAcceleratorA(frame, table, &msg), 0);
    EXPECT_EQ(recorder.Count(frame, WM_COMMAND), 0);
    EXPECT_EQ(CreateAcceleratorTableA(keys, 0), nullptr);
    EXPECT_EQ(LoadAcceleratorsA(nullptr, MAKEINTRESOURCEA(4321)), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
    DestroyAcceleratorTable(other);
}

}  // namespace
