// The button control: clicks by mouse, Space and Enter; the checks of check boxes and radio
// buttons and the groups radio buttons form; the default push button's style and dialog codes.

#include "platform/controls/Button.h"
#include "tests/platform/controls/ControlTesting.h"

namespace {

class ButtonTest : public ControlTest {
protected:
    HWND Make(const char* text, DWORD style, const RECT& r = RECT{10, 10, 90, 33}) {
        return Control(Button::kClassName, text, style, r);
    }
    static LRESULT Check(HWND b) { return SendMessageA(b, BM_GETCHECK, 0, 0); }
    static bool Pushed(HWND b) { return SendMessageA(b, BM_GETSTATE, 0, 0) & BST_PUSHED; }
};

TEST_F(ButtonTest, APushButtonIsClickedByTheMouseReleasedInsideBySpaceAndByEnter) {
    HWND ok = Make("OK", BS_DEFPUSHBUTTON | WS_TABSTOP);
    struct Case {
        const char* name;
        std::function<void()> act;
        std::vector<WORD> heard;
    };
    const std::vector<Case> cases{
        {"a click", [&] { display->Click(OnScreen(ok, 10, 10)); }, {BN_CLICKED}},
        {"released outside",
         [&] {
             display->MoveMouse(OnScreen(ok, 10, 10));
             display->Press();
             display->MoveMouse(OnScreen(ok, 200, 10));
             display->Release();
         },
         {}},
        {"out and back in",
         [&] {
             display->MoveMouse(OnScreen(ok, 10, 10));
             display->Press();
             display->MoveMouse(OnScreen(ok, 200, 10));
             display->MoveMouse(OnScreen(ok, 12, 10));
             display->Release();
         },
         {BN_CLICKED}},
        {"a quick second click is a click too", [&] { display->DoubleClick(OnScreen(ok, 10, 10)); },
         {BN_CLICKED, BN_CLICKED}},
        {"space", [&] { display->KeyPress(VK_SPACE); }, {BN_CLICKED}},
        {"enter", [&] { display->KeyPress(VK_RETURN); }, {BN_CLICKED}},
        {"BM_CLICK", [&] { SendMessageA(ok, BM_CLICK, 0, 0); }, {BN_CLICKED}},
        {"a disabled button",
         [&] {
             EnableWindow(ok, FALSE);
             display->Click(OnScreen(ok, 10, 10));
             SendMessageA(ok, BM_CLICK, 0, 0);
         },
         {}},
    };
    for (const Case& c : cases) {
        display->Advance(1000);
        PumpAll();
        recorder.Log().clear();
        c.act();
        PumpAll();
        EXPECT_EQ(Notifications(ok), c.heard) << c.name;
        for (const Seen& s : recorder.Log()) {
            if (s.message == WM_COMMAND) {
                EXPECT_EQ(LOWORD(s.wParam), 100) << c.name;
            }
        }
        if (&c == &cases.front()) {
            EXPECT_EQ(GetFocus(), ok) << "the mouse gave it the focus";
        }
    }
}

TEST_F(ButtonTest, ItLooksPressedWhileHeldInsideAndFocusedWithTheFocus) {
    HWND b = Make("Press", BS_PUSHBUTTON);
    display->MoveMouse(OnScreen(b, 10, 10));
    display->Press();
    PumpAll();
    EXPECT_TRUE(Pushed(b));
    EXPECT_EQ(GetCapture(), b);
    display->MoveMouse(OnScreen(b, -20, 10));
    PumpAll();
    EXPECT_FALSE(Pushed(b));
    display->MoveMouse(OnScreen(b, 10, 10));
    PumpAll();
    EXPECT_TRUE(Pushed(b));
    display->Release();
    PumpAll();
    EXPECT_FALSE(Pushed(b));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(SendMessageA(b, BM_GETSTATE, 0, 0) & BST_FOCUS);
    // Space held down shows it pressed; losing the focus meanwhile lets it go without a click.
    display->Key(VK_SPACE, true);
    PumpAll();
    EXPECT_TRUE(Pushed(b));
    recorder.Log().clear();
    SetFocus(parent);
    display->Key(VK_SPACE, false);
    PumpAll();
    EXPECT_FALSE(Pushed(b));
    EXPECT_FALSE(SendMessageA(b, BM_GETSTATE, 0, 0) & BST_FOCUS);
    EXPECT_TRUE(Notifications(b).empty());
    // BM_SETSTATE is the owner's way to show it pressed.
    SendMessageA(b, BM_SETSTATE, TRUE, 0);
    EXPECT_TRUE(Pushed(b));
}

TEST_F(ButtonTest, CheckBoxesKeepTheirCheckAndTheAutomaticOnesChangeItOnAClick) {
    struct Case {
        DWORD style;
        std::vector<LRESULT> afterClicks;
    } cases[] = {
        {BS_AUTOCHECKBOX, {BST_CHECKED, BST_UNCHECKED, BST_CHECKED}},
        {BS_CHECKBOX, {BST_UNCHECKED, BST_UNCHECKED}},
        {BS_AUTO3STATE, {BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED}},
        {BS_AUTORADIOBUTTON, {BST_CHECKED, BST_CHECKED}},
        {BS_RADIOBUTTON, {BST_UNCHECKED}},
    };
    for (const Case& c : cases) {
        HWND b = Make("Option", c.style | WS_GROUP);
        for (std::size_t i = 0; i < c.afterClicks.size(); ++i) {
            display->Advance(1000);
            // Alternately by mouse and by Space.
            if (i % 2 == 0)
                display->Click(OnScreen(b, 5, 5));
            else
                display->KeyPress(VK_SPACE);
            PumpAll();
            EXPECT_EQ(Check(b), c.afterClicks[i]) << c.style << " click " << i;
        }
        recorder.Log().clear();
        display->KeyPress(VK_RETURN);
        PumpAll();
        EXPECT_TRUE(Notifications(b).empty()) << c.style << ": Enter is for push buttons";
        DestroyWindow(b);
    }
    struct Set {
        DWORD style;
        WPARAM check;
        LRESULT got;
    } sets[] = {
        {BS_CHECKBOX, BST_CHECKED, BST_CHECKED},
        {BS_CHECKBOX, BST_INDETERMINATE, BST_CHECKED},
        {BS_3STATE, BST_INDETERMINATE, BST_INDETERMINATE},
        {BS_PUSHBUTTON, BST_CHECKED, BST_UNCHECKED},
        {BS_RADIOBUTTON, BST_CHECKED, BST_CHECKED},
    };
    for (const Set& s : sets) {
        HWND b = Make("Set", s.style);
        SendMessageA(b, BM_SETCHECK, s.check, 0);
        EXPECT_EQ(Check(b), s.got) << s.style << " set to " << s.check;
        DestroyWindow(b);
    }
}

TEST_F(ButtonTest, AnAutomaticRadioButtonUnchecksTheOthersOfItsGroupOnly) {
    // Two groups, each starting at WS_GROUP; a plain radio button in the first.
    HWND a1 = Make("A1", BS_AUTORADIOBUTTON | WS_GROUP, RECT{10, 10, 90, 30});
    HWND a2 = Make("A2", BS_AUTORADIOBUTTON, RECT{10, 30, 90, 50});
    HWND a3 = Make("A3", BS_RADIOBUTTON, RECT{10, 50, 90, 70});
    HWND b1 = Make("B1", BS_AUTORADIOBUTTON | WS_GROUP, RECT{100, 10, 180, 30});
    HWND b2 = Make("B2", BS_AUTORADIOBUTTON, RECT{100, 30, 180, 50});
    for (HWND b : {a1, a3, b1}) SendMessageA(b, BM_SETCHECK, BST_CHECKED, 0);
    display->Click(OnScreen(a2, 5, 5));
    PumpAll();
    EXPECT_EQ(Check(a1), BST_UNCHECKED);
    EXPECT_EQ(Check(a2), BST_CHECKED);
    EXPECT_EQ(Check(a3), BST_CHECKED) << "only automatic ones are unchecked";
    EXPECT_EQ(Check(b1), BST_CHECKED) << "another group";
    display->Advance(1000);
    display->Click(OnScreen(b2, 5, 5));
    PumpAll();
    EXPECT_EQ(Check(b1), BST_UNCHECKED);
    EXPECT_EQ(Check(b2), BST_CHECKED);
    EXPECT_EQ(Check(a2), BST_CHECKED);
}

TEST_F(ButtonTest, DialogCodesFollowTheKindAndBM_SETSTYLEMakesTheDefault) {
    struct Case {
        DWORD style;
        LRESULT code;
    } cases[] = {
        {BS_PUSHBUTTON, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON},
        {BS_DEFPUSHBUTTON, DLGC_BUTTON | DLGC_DEFPUSHBUTTON},
        {BS_AUTOCHECKBOX, DLGC_BUTTON},
        {BS_AUTORADIOBUTTON, DLGC_BUTTON | DLGC_RADIOBUTTON},
        {BS_RADIOBUTTON, DLGC_BUTTON | DLGC_RADIOBUTTON},
        {BS_GROUPBOX, DLGC_STATIC},
    };
    for (const Case& c : cases) {
        HWND b = Make("Kind", c.style);
        EXPECT_EQ(SendMessageA(b, WM_GETDLGCODE, 0, 0), c.code) << c.style;
        DestroyWindow(b);
    }
    // As a dialog moves the default from one push button to another.
    HWND b = Make("Later default", BS_PUSHBUTTON | WS_TABSTOP);
    PumpAll();
    recorder.Log().clear();
    SendMessageA(b, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    PumpAll();
    EXPECT_EQ(SendMessageA(b, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(b, GWL_STYLE));
    EXPECT_EQ(style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_TRUE(style & WS_TABSTOP) << "the window's own style bits stay";
    EXPECT_EQ(recorder.Count(parent, WM_CTLCOLORBTN), 1) << "redrawn as asked";
    recorder.Log().clear();
    SendMessageA(b, BM_SETSTYLE, BS_PUSHBUTTON, FALSE);
    PumpAll();
    EXPECT_EQ(SendMessageA(b, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
}

}  // namespace
