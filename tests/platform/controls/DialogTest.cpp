// Dialogs: templates made windows in dialog units of their font, the keyboard interface (Tab
// order, groups, Enter, Escape, mnemonics, what controls ask for), default buttons, colours, the
// dialog functions, and modal dialogs that disable their owner while they run.

#include "platform/controls/Button.h"
#include "platform/controls/Edit.h"
#include "platform/controls/Static.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/SystemColors.h"
#include "tests/platform/controls/DialogTesting.h"

namespace {

// What the dialog procedure of a test saw and answers.
struct ProcLog {
    std::vector<Seen> seen;
    std::map<UINT, std::function<INT_PTR(HWND, WPARAM, LPARAM)>> answers;
};
thread_local ProcLog tLog;

INT_PTR CALLBACK LoggingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    tLog.seen.push_back(Seen{hwnd, message, wParam, lParam});
    auto it = tLog.answers.find(message);
    return it == tLog.answers.end() ? FALSE : it->second(hwnd, wParam, lParam);
}

constexpr int kName = 10, kCheck = 11, kRed = 12, kGreen = 13, kBlue = 14, kYellow = 15, kNotes = 16;

// A dialog with a label, an edit, a check box, four radio buttons (one disabled), OK, Cancel and
// a multi-line edit that keeps Enter.
DialogTemplate Form() {
    DialogTemplate t;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | WS_VISIBLE;
    t.caption = "Form";
    t.fontFace = "MS Sans Serif";
    t.pointSize = 8;
    t.x = 10;
    t.y = 10;
    t.cx = 220;
    t.cy = 130;
    const DWORD on = WS_VISIBLE;
    t.items = {
        {"Static", "&Name:", IDC_STATIC, on, 0, 7, 7, 40, 8},
        {"Edit", "", kName, on | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL | WS_BORDER, 0, 50, 5, 100, 12},
        {"Button", "&Check", kCheck, on | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX, 0, 7, 22, 80, 10},
        {"Button", "&Red", kRed, on | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 0, 7, 36, 60, 10},
        {"Button", "&Green", kGreen, on | BS_AUTORADIOBUTTON, 0, 7, 48, 60, 10},
        {"Button", "&Blue", kBlue, on | WS_DISABLED | BS_AUTORADIOBUTTON, 0, 7, 60, 60, 10},
        {"Button", "Yel&low", kYellow, on | BS_AUTORADIOBUTTON, 0, 7, 72, 60, 10},
        {"Button", "OK", IDOK, on | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 0, 100, 90, 50, 14},
        {"Button", "Cancel", IDCANCEL, on | WS_TABSTOP | BS_PUSHBUTTON, 0, 155, 90, 50, 14},
        {"Edit", "", kNotes, on | WS_TABSTOP | WS_GROUP | ES_MULTILINE | ES_WANTRETURN | WS_BORDER, 0, 100, 22, 105,
         60},
    };
    return t;
}

// The About box's template, as the viewer's resources lay it out.
DialogTemplate AboutBox() {
    DialogTemplate t;
    t.style = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    t.caption = "About ...";
    t.fontFace = "MS Sans Serif";
    t.pointSize = 8;
    t.cx = 196;
    t.cy = 62;
    t.items = {
        {"Button", "OK", IDOK, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 0, 137, 41, 52, 14},
        {"Static", "", IDC_STATIC, WS_VISIBLE | SS_ICON, 0, 9, 10, 20, 20},
        {"Static", "", 1002, WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 42, 11, 142, 8},
        {"Static", "", 1005, WS_VISIBLE | SS_GRAYFRAME, 0, 7, 38, 181, 1},
        {"Static", "", 1003, WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 7, 44, 125, 8},
        {"Static", "", 1007, WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 42, 23, 146, 8},
    };
    return t;
}

int Scaled(int v, int units, int per) { return (v * units + per / 2) / per; }

class DialogNavigationTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        tLog = ProcLog{};
        tLog.answers[WM_INITDIALOG] = [](HWND, WPARAM, LPARAM) { return TRUE; };
        const DialogTemplate form = Form();
        dialog = CreateDialogIndirectParamA(nullptr, &form, parent, LoggingProc, 42);
        ASSERT_NE(dialog, nullptr);
        Pump();
    }

    // Takes what is queued as a modeless dialog's loop does.
    void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (IsDialogMessageA(dialog, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    void Key(int vk, int modifier = 0) {
        if (modifier) display->Key(modifier, true);
        display->KeyPress(vk);
        if (modifier) display->Key(modifier, false);
        Pump();
    }

    int FocusId() const { return GetFocus() ? GetDlgCtrlID(GetFocus()) : 0; }
    void FocusOn(int id) {
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, id)), TRUE);
        Pump();
    }
    std::vector<int> Commands() const {
        std::vector<int> ids;
        for (const Seen& s : tLog.seen)
            if (s.message == WM_COMMAND && HIWORD(s.wParam) == BN_CLICKED) ids.push_back(LOWORD(s.wParam));
        return ids;
    }
    bool IsDefault(int id) const {
        return (GetWindowLongPtrA(GetDlgItem(dialog, id), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    }

    HWND dialog = nullptr;
};

TEST_F(DialogNavigationTest, ItIsMadeFromItsTemplateAndInitialisedWithTheFocusOnTheFirstTabStop) {
    std::vector<UINT> order;
    for (const Seen& s : tLog.seen)
        if (s.message == WM_SETFONT || s.message == WM_INITDIALOG) order.push_back(s.message);
    EXPECT_EQ(order, (std::vector<UINT>{WM_SETFONT, WM_INITDIALOG}));
    for (const Seen& s : tLog.seen) {
        if (s.message != WM_INITDIALOG) continue;
        EXPECT_EQ(reinterpret_cast<HWND>(s.wParam), GetDlgItem(dialog, kName));
        EXPECT_EQ(s.lParam, 42);
    }
    EXPECT_EQ(FocusId(), kName);
    EXPECT_EQ(GetActiveWindow(), dialog);
    EXPECT_EQ(TextOf(dialog), "Form");
    char cls[16];
    GetClassNameA(dialog, cls, sizeof cls);
    EXPECT_STREQ(cls, "#32770");
    // Every control has the dialog's font; the label's id is kept as the window system keeps it.
    const auto font = SendMessageA(dialog, WM_GETFONT, 0, 0);
    EXPECT_NE(font, 0);
    for (int id : {kName, kCheck, IDOK, 0xFFFF}) EXPECT_EQ(SendDlgItemMessageA(dialog, id, WM_GETFONT, 0, 0), font) << id;
    EXPECT_EQ(GetParent(dialog), parent) << "a popup dialog is owned";
}

TEST_F(DialogNavigationTest, TabMovesOverTabStopsInTheirOrderAndArrowsWithinAGroup) {
    CheckDlgButton(dialog, kGreen, BST_CHECKED);
    struct Case {
        int from;
        int key;
        int modifier;
        int to;
    } cases[] = {
        {kName, VK_TAB, 0, kCheck},
        {kCheck, VK_TAB, 0, kGreen},  // into a group of radio buttons: the checked one
        {kGreen, VK_DOWN, 0, kYellow},  // the disabled one is passed over
        {kYellow, VK_DOWN, 0, kRed},  // round within the group
        {kRed, VK_UP, 0, kYellow},
        {kYellow, VK_TAB, 0, IDOK},
        {IDOK, VK_TAB, 0, IDCANCEL},
        {IDCANCEL, VK_TAB, 0, kNotes},  // a multi-line edit lets Tab go
        {kNotes, VK_TAB, 0, kName},     // round the dialog
        {kName, VK_TAB, VK_SHIFT, kNotes},
        {IDOK, VK_RIGHT, 0, IDCANCEL},
        {kName, VK_DOWN, 0, kName},  // an edit keeps its arrows
        {kCheck, VK_TAB, VK_SHIFT, kName},
    };
    for (const Case& c : cases) {
        FocusOn(c.from);
        Key(c.key, c.modifier);
        EXPECT_EQ(FocusId(), c.to) << "from " << c.from << " key " << c.key;
    }
    // Arrows in a group of automatic radio buttons check the one they reach.
    EXPECT_EQ(IsDlgButtonChecked(dialog, kYellow), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog, kGreen), BST_UNCHECKED);
    EXPECT_EQ(GetNextDlgTabItem(dialog, nullptr, FALSE), GetDlgItem(dialog, kName));
    EXPECT_EQ(GetNextDlgGroupItem(dialog, GetDlgItem(dialog, kRed), TRUE), GetDlgItem(dialog, kYellow));
}

TEST_F(DialogNavigationTest, TheFocusedPushButtonWearsTheDefaultFrameAndOthersGiveItBack) {
    EXPECT_TRUE(IsDefault(IDOK));
    FocusOn(IDCANCEL);
    EXPECT_TRUE(IsDefault(IDCANCEL));
    EXPECT_FALSE(IsDefault(IDOK));
    FocusOn(kName);
    EXPECT_TRUE(IsDefault(IDOK));
    EXPECT_FALSE(IsDefault(IDCANCEL));
    // DM_SETDEFID moves the dialog's default.
    SendMessageA(dialog, DM_SETDEFID, IDCANCEL, 0);
    EXPECT_EQ(SendMessageA(dialog, DM_GETDEFID, 0, 0), MAKELPARAM(IDCANCEL, DC_HASDEFID));
    EXPECT_TRUE(IsDefault(IDCANCEL));
    EXPECT_FALSE(IsDefault(IDOK));
}

TEST_F(DialogNavigationTest, EnterCommandsTheDefaultOrFocusedButtonAndEscapeCancels) {
    struct Case {
        const char* name;
        std::function<void()> before;
        int focus;
        int key;
        std::vector<int> commands;
    };
    const std::vector<Case> cases{
        {"enter in an edit", [] {}, kName, VK_RETURN, {IDOK}},
        {"enter on a push button", [] {}, IDCANCEL, VK_RETURN, {IDCANCEL}},
        {"escape", [] {}, kName, VK_ESCAPE, {IDCANCEL}},
        {"a multi-line edit that wants Enter", [] {}, kNotes, VK_RETURN, {}},
        {"another default", [&] { SendMessageA(dialog, DM_SETDEFID, IDCANCEL, 0); }, kName, VK_RETURN, {IDCANCEL}},
        {"a disabled default", [&] { EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE); }, kName, VK_RETURN, {}},
        {"a disabled cancel", [] {}, kName, VK_ESCAPE, {}},
    };
    for (const Case& c : cases) {
        c.before();
        FocusOn(c.focus);
        tLog.seen.clear();
        Key(c.key);
        EXPECT_EQ(Commands(), c.commands) << c.name;
    }
    EXPECT_EQ(ItemText(dialog, kNotes), "\r\n");
    // Closing is cancelling.
    EnableWindow(GetDlgItem(dialog, IDCANCEL), TRUE);
    tLog.seen.clear();
    SendMessageA(dialog, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_EQ(Commands(), std::vector<int>{IDCANCEL});
}

TEST_F(DialogNavigationTest, MnemonicsFocusTheControlALabelNamesAndClickButtons) {
    struct Case {
        const char* name;
        int focus;
        int key;
        int modifier;
        int to;
    } cases[] = {
        {"a label's mnemonic", IDOK, 'N', VK_MENU, kName},
        {"a check box's", kName, 'C', VK_MENU, kCheck},
        {"without Alt where the control takes no characters", IDOK, 'C', 0, kCheck},
        {"a radio button's", kName, 'L', VK_MENU, kYellow},
        {"a disabled control's", kName, 'B', VK_MENU, kName},
        {"in an edit a letter is typed", kName, 'C', 0, kName},
    };
    for (const Case& c : cases) {
        FocusOn(c.focus);
        Key(c.key, c.modifier);
        EXPECT_EQ(FocusId(), c.to) << c.name;
    }
    EXPECT_EQ(IsDlgButtonChecked(dialog, kCheck), BST_UNCHECKED) << "clicked twice";
    EXPECT_EQ(IsDlgButtonChecked(dialog, kYellow), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog, kBlue), BST_UNCHECKED);
    EXPECT_EQ(ItemText(dialog, kName), "c");
}

class DialogUnitsTest : public DialogTest {};

TEST_F(DialogUnitsTest, MsSansSerifEightIsMeasuredLikeTheDefaultGuiFontAndTemplatesScaleByIt) {
    const SIZE gui = Dialog::BaseUnits(GetStockObject(DEFAULT_GUI_FONT));
    EXPECT_GE(gui.cx, 5);
    EXPECT_LE(gui.cx, 8);
    EXPECT_GE(gui.cy, 12);
    EXPECT_LE(gui.cy, 15);
    DialogTemplate::Register(MAKEINTRESOURCEA(100), AboutBox());
    const auto about = DialogTemplate::Find(MAKEINTRESOURCEA(100));
    ASSERT_TRUE(about);
    HWND box = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(100), parent, nullptr, 0);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Dialog::Of(box)->Units().cx, gui.cx);
    EXPECT_EQ(Dialog::Of(box)->Units().cy, gui.cy);
    RECT client;
    GetClientRect(box, &client);
    EXPECT_EQ(client.right, Scaled(196, gui.cx, 4));
    EXPECT_EQ(client.bottom, Scaled(62, gui.cy, 8));
    struct Case {
        int id;
        RECT units;
    } cases[] = {
        {IDOK, {137, 41, 137 + 52, 41 + 14}},
        {1002, {42, 11, 42 + 142, 11 + 8}},
        {1005, {7, 38, 7 + 181, 38 + 1}},
        {1007, {42, 23, 42 + 146, 23 + 8}},
    };
    for (const Case& c : cases) {
        // A control's place and its size are each scaled, as a template holds them.
        RECT at = c.units, size{0, 0, c.units.right - c.units.left, c.units.bottom - c.units.top};
        ASSERT_TRUE(MapDialogRect(box, &at));
        ASSERT_TRUE(MapDialogRect(box, &size));
        RECT r;
        GetWindowRect(GetDlgItem(box, c.id), &r);
        MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, at.left) << c.id;
        EXPECT_EQ(r.top, at.top) << c.id;
        EXPECT_EQ(r.right - r.left, size.right) << c.id;
        EXPECT_EQ(r.bottom - r.top, size.bottom) << c.id;
    }
    // The system font's units.
    const SIZE system = Dialog::BaseUnits(nullptr);
    EXPECT_EQ(GetDialogBaseUnits(), MAKELPARAM(system.cx, system.cy));
    EXPECT_EQ(CreateDialogParamA(nullptr, MAKEINTRESOURCEA(101), parent, nullptr, 0), nullptr) << "no such template";
    EXPECT_EQ(DialogBoxParamA(nullptr, "missing", parent, nullptr, 0), -1);
}

TEST_F(DialogUnitsTest, TheDialogStandsOnItsColourAndAsksItsProcedureFirst) {
    tLog = ProcLog{};
    DialogTemplate t = AboutBox();
    t.style |= WS_VISIBLE;
    HWND box = CreateDialogIndirectParamA(nullptr, &t, parent, LoggingProc, 0);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(PixelAt(box, 2, 2), GetSysColor(COLOR_3DFACE));
    tLog.answers[WM_CTLCOLORDLG] = [](HWND, WPARAM, LPARAM) {
        return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
    };
    InvalidateRect(box, nullptr, TRUE);
    EXPECT_EQ(PixelAt(box, 2, 2), RGB(255, 255, 255));
    // The separator: a grey frame one unit high.
    RECT separator;
    GetClientRect(GetDlgItem(box, 1005), &separator);
    EXPECT_EQ(PixelAt(GetDlgItem(box, 1005), 3, 0), GetSysColor(COLOR_3DSHADOW));
}

TEST_F(DialogUnitsTest, ItemIntegersAreReadAsThePlatformReadsThem) {
    const DialogTemplate form = Form();
    HWND box = CreateDialogIndirectParamA(nullptr, &form, parent, nullptr, 0);
    ASSERT_NE(box, nullptr);
    struct Case {
        const char* text;
        BOOL isSigned;
        BOOL translated;
        UINT value;
    } cases[] = {
        {"42", FALSE, TRUE, 42},
        {" 42 ", TRUE, TRUE, 42},
        {"-7", TRUE, TRUE, static_cast<UINT>(-7)},
        {"-7", FALSE, FALSE, 0},
        {"12a", TRUE, FALSE, 0},
        {"", TRUE, FALSE, 0},
        {"4294967295", FALSE, TRUE, 4294967295u},
        {"4294967296", FALSE, FALSE, 0},
        {"2147483648", TRUE, FALSE, 0},
        {"-2147483648", TRUE, TRUE, 0x80000000u},
    };
    for (const Case& c : cases) {
        SetDlgItemTextA(box, kName, c.text);
        BOOL translated = -1;
        EXPECT_EQ(GetDlgItemInt(box, kName, &translated, c.isSigned), c.value) << c.text;
        EXPECT_EQ(translated, c.translated) << c.text;
    }
    SetDlgItemInt(box, kName, static_cast<UINT>(-12), TRUE);
    EXPECT_EQ(ItemText(box, kName), "-12");
    SetDlgItemInt(box, kName, static_cast<UINT>(-12), FALSE);
    EXPECT_EQ(ItemText(box, kName), "4294967284");
    CheckRadioButton(box, kRed, kYellow, kGreen);
    EXPECT_EQ(IsDlgButtonChecked(box, kGreen), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(box, kRed), BST_UNCHECKED);
    char text[8] = "x";
    EXPECT_EQ(GetDlgItemTextA(box, 999, text, sizeof text), 0u);
    EXPECT_STREQ(text, "");
}

class ModalDialogTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        tLog = ProcLog{};
        tLog.answers[WM_INITDIALOG] = [](HWND, WPARAM, LPARAM) { return TRUE; };
        tLog.answers[WM_COMMAND] = [](HWND hwnd, WPARAM wParam, LPARAM) {
            EndDialog(hwnd, LOWORD(wParam) == IDOK ? 7 : 9);
            return TRUE;
        };
        DialogTemplate::Register(MAKEINTRESOURCEA(100), AboutBox());
    }
};

TEST_F(ModalDialogTest, TheOwnerIsDisabledWhileItRunsAndActiveAgainAfter) {
    // Owned through a child of the owner: the top-level window is what gets disabled.
    HWND child = recorder.Create(parent, RECT{0, 0, 50, 50});
    bool sawDisabled = false, sawFocusOnOk = false;
    DialogScript script({WhenDialog([&](HWND box) {
                             sawDisabled = !IsWindowEnabled(parent);
                             sawFocusOnOk = GetFocus() == GetDlgItem(box, IDOK);
                             EXPECT_EQ(GetParent(box), parent);
                         }),
                         Keys({VK_RETURN})});
    EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(100), child, LoggingProc, 0), 7);
    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(sawDisabled);
    EXPECT_TRUE(sawFocusOnOk);
    EXPECT_TRUE(IsWindowEnabled(parent));
    EXPECT_EQ(GetActiveWindow(), parent);
    EXPECT_EQ(ActiveDialog(), nullptr);
}

TEST_F(ModalDialogTest, EscapeAndClicksEndItAndAnEndInInitialisationNeverShowsIt) {
    {
        DialogScript script({Keys({VK_ESCAPE})});
        EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(100), parent, LoggingProc, 0), 9);
    }
    {
        DialogScript script({WhenDialog([&](HWND box) { display->Click(OnScreen(GetDlgItem(box, IDOK), 5, 5)); })});
        EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(100), parent, LoggingProc, 0), 7);
    }
    tLog.seen.clear();
    tLog.answers[WM_INITDIALOG] = [](HWND hwnd, WPARAM, LPARAM) {
        EndDialog(hwnd, 3);
        return TRUE;
    };
    EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(100), parent, LoggingProc, 0), 3);
    for (const Seen& s : tLog.seen) EXPECT_NE(s.message, WM_SHOWWINDOW);
    EXPECT_TRUE(IsWindowEnabled(parent));
    // A quit message ends the loop and is kept for the outer one.
    tLog.answers[WM_INITDIALOG] = [](HWND, WPARAM, LPARAM) {
        PostQuitMessage(5);
        return TRUE;
    };
    EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(100), parent, LoggingProc, 0), 0);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_TRUE(IsWindowEnabled(parent));
}

}  // namespace
