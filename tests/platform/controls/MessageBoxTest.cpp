// MessageBoxA: its text and caption read back, its icon, its button sets answered by keys and
// clicks, its default button, and its owner disabled while it runs.

#include "platform/controls/DialogNavigation.h"
#include "platform/controls/MessageBox.h"
#include "platform/graphics/Surface.h"
#include "platform/graphics/SystemColors.h"
#include "tests/platform/controls/DialogTesting.h"

namespace {

class MessageBoxTest : public DialogTest {
protected:
    // Runs a box with `steps` pressing its keys; the box's text, caption and buttons as seen.
    int Run(UINT type, std::vector<DialogScript::Step> steps, const char* text = "Text") {
        shown = {};
        steps.insert(steps.begin(), WhenDialog([this](HWND box) {
                         shown.text = ItemText(box, MessageBox::kTextId);
                         shown.caption = TextOf(box);
                         shown.ownerEnabled = IsWindowEnabled(parent);
                         shown.icon = GetDlgItem(box, MessageBox::kIconId) != nullptr;
                         for (HWND h : DialogNavigation::Controls(box))
                             if (SendMessageA(h, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON) shown.buttons.push_back(TextOf(h));
                         shown.focus = GetFocus() ? GetDlgCtrlID(GetFocus()) : 0;
                         shown.box = box;
                     }));
        DialogScript script(std::move(steps));
        const int result = MessageBoxA(parent, text, "Caption", type);
        EXPECT_TRUE(script.Finished());
        return result;
    }

    struct Shown {
        std::string text, caption;
        std::vector<std::string> buttons;
        bool ownerEnabled = true, icon = false;
        int focus = 0;
        HWND box = nullptr;
    } shown;
};

TEST_F(MessageBoxTest, EachButtonSetAnswersByTheKeys) {
    struct Case {
        const char* name;
        UINT type;
        std::vector<int> keys;
        int modifier;
        int result;
        std::vector<std::string> buttons;
    };
    const std::vector<Case> cases{
        {"OK by Enter", MB_OK, {VK_RETURN}, 0, IDOK, {"OK"}},
        {"a lone OK by Escape", MB_OK, {VK_ESCAPE}, 0, IDOK, {"OK"}},
        {"Cancel by Escape", MB_OKCANCEL, {VK_ESCAPE}, 0, IDCANCEL, {"OK", "Cancel"}},
        {"No by its mnemonic", MB_YESNO, {'N'}, 0, IDNO, {"&Yes", "&No"}},
        {"Escape does nothing without Cancel", MB_YESNO, {VK_ESCAPE, VK_RETURN}, 0, IDYES, {"&Yes", "&No"}},
        {"the second default", MB_YESNOCANCEL | MB_DEFBUTTON2, {VK_RETURN}, 0, IDNO, {"&Yes", "&No", "Cancel"}},
        {"the third default", MB_YESNOCANCEL | MB_DEFBUTTON3, {VK_RETURN}, 0, IDCANCEL, {"&Yes", "&No", "Cancel"}},
        {"Alt and a mnemonic", MB_ABORTRETRYIGNORE, {'I'}, VK_MENU, IDIGNORE, {"&Abort", "&Retry", "&Ignore"}},
        {"an arrow to the next button", MB_RETRYCANCEL, {VK_RIGHT, VK_RETURN}, 0, IDCANCEL, {"&Retry", "Cancel"}},
        {"Tab to the next button", MB_OKCANCEL, {VK_TAB, VK_RETURN}, 0, IDCANCEL, {"OK", "Cancel"}},
        {"Space on the focused button", MB_YESNO | MB_DEFBUTTON2, {VK_SPACE}, 0, IDNO, {"&Yes", "&No"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.type, {Keys(c.keys, c.modifier)}), c.result) << c.name;
        EXPECT_EQ(shown.buttons, c.buttons) << c.name;
        EXPECT_EQ(shown.text, "Text") << c.name;
        EXPECT_EQ(shown.caption, "Caption") << c.name;
        EXPECT_FALSE(shown.ownerEnabled) << c.name;
        EXPECT_TRUE(IsWindowEnabled(parent)) << c.name;
        EXPECT_EQ(GetActiveWindow(), parent) << c.name;
    }
}

TEST_F(MessageBoxTest, AClickOnAButtonAnswersItAndTheDefaultHasTheFocus) {
    const int result = Run(MB_YESNOCANCEL | MB_DEFBUTTON2 | MB_ICONQUESTION,
                           {WhenDialog([&](HWND box) { display->Click(OnScreen(GetDlgItem(box, IDCANCEL), 4, 4)); })});
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(shown.focus, IDNO);
    EXPECT_TRUE(shown.icon);
    EXPECT_FALSE(IsWindow(shown.box));
}

TEST_F(MessageBoxTest, TheStartUpErrorShowsItsTextCaptionAndStopIcon) {
    const char* text = "Quillbridge Service is not responding, Log Viewer has to be terminated!";
    COLORREF iconCentre = 0, iconCorner = 0;
    RECT textRect{}, boxRect{};
    DialogScript script({WhenDialog([&](HWND box) {
                             EXPECT_EQ(ItemText(box, MessageBox::kTextId), text);
                             EXPECT_EQ(TextOf(box), "Error");
                             HWND icon = GetDlgItem(box, MessageBox::kIconId);
                             iconCentre = PixelAt(icon, 6, 16);
                             iconCorner = PixelAt(icon, 0, 0);
                             GetWindowRect(GetDlgItem(box, MessageBox::kTextId), &textRect);
                             GetWindowRect(box, &boxRect);
                         }),
                         Keys({VK_RETURN})});
    EXPECT_EQ(MessageBoxA(parent, text, nullptr, MB_ICONHAND | MB_OK), IDOK);
    const COLORREF face = GetSysColor(COLOR_3DFACE);
    EXPECT_GT(GetRValue(iconCentre), 0xA0) << "red inside the stop sign";
    EXPECT_LT(GetGValue(iconCentre), 0x60);
    EXPECT_EQ(iconCorner, face) << "the icon's corners show the box's face";
    // One line, beside the icon and inside the box, centred on the screen.
    EXPECT_LT(textRect.bottom - textRect.top, 20);
    EXPECT_GT(textRect.left, boxRect.left + 32);
    EXPECT_LT(textRect.right, boxRect.right);
    EXPECT_NEAR((boxRect.left + boxRect.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
}

TEST_F(MessageBoxTest, ALongTextIsWrappedAndAmpersandsAreShownAsTheyAre) {
    std::string text = "Tom & Jerry:";
    for (int i = 0; i < 40; ++i) text += " a long line of words";
    RECT textRect{};
    const int result = Run(MB_OK, {WhenDialog([&](HWND box) {
                                       GetWindowRect(GetDlgItem(box, MessageBox::kTextId), &textRect);
                                   }),
                                   Keys({VK_RETURN})},
                           text.c_str());
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(shown.text, text);
    EXPECT_FALSE(shown.icon);
    EXPECT_LE(textRect.right - textRect.left, GetSystemMetrics(SM_CXSCREEN) * 5 / 8);
    EXPECT_GT(textRect.bottom - textRect.top, 40) << "several lines";
}

}  // namespace
