// CDialog over a registered template: the map sees the dialog's messages, OnInitDialog runs once
// the controls exist, and OK, Cancel or a handler end DoModal with their result.

#include "platform/controls/Dialog.h"
#include "platform/controls/MessageBox.h"
#include "platform/framework/AfxMsg.h"
#include "platform/framework/CDialog.h"
#include "tests/platform/framework/FrameworkTesting.h"

namespace {

constexpr UINT kTemplate = 9100;
constexpr int kName = 1002, kApply = 1010;

class CTestDialog : public CDialog {
public:
    CTestDialog() : CDialog(kTemplate) {}
    std::string nameSeen;
    std::string initialText;
    int initialised = 0;
    bool pressApply = false;  // as if the user clicked Apply at once

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        ++initialised;
        initialText = GetDlgItemText(kName);
        SetDlgItemText(kName, "Quillbridge Log Viewer");
        SetWindowText("&About...");
        if (pressApply)
            PostMessage(WM_COMMAND, MAKEWPARAM(kApply, 0), reinterpret_cast<LPARAM>(GetDlgItem(kApply)->m_hWnd));
        return TRUE;
    }
    void OnOK() override {
        nameSeen = GetDlgItemText(kName);
        CDialog::OnOK();
    }

protected:
    DECLARE_MESSAGE_MAP()
    void OnApply() { EndDialog(42); }
};
BEGIN_MESSAGE_MAP(CTestDialog, CDialog)
ON_COMMAND(kApply, &CTestDialog::OnApply)
END_MESSAGE_MAP()

class DialogBox : public FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        DialogTemplate about;
        about.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
        about.cx = 196;
        about.cy = 62;
        about.caption = "About ...";
        about.fontFace = "MS Sans Serif";
        about.pointSize = 8;
        about.items = {
            {"Button", "OK", IDOK, WS_TABSTOP | 0x0001 /* BS_DEFPUSHBUTTON */, 0, 137, 41, 52, 14},
            {"Button", "Apply", kApply, WS_TABSTOP, 0, 80, 41, 52, 14},
            {"Static", "replaced at run time", kName, 0, 0, 42, 11, 142, 8},
        };
        DialogTemplate::Register(MAKEINTRESOURCEA(kTemplate), about);
        owner = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        app.m_pMainWnd = CWnd::FromHandle(owner);
    }
    void TearDown() override {
        app.m_pMainWnd = nullptr;
        FrameworkTest::TearDown();
    }

    // Runs the dialog with `key` waiting in the input, taken by its own loop.
    std::intptr_t RunWith(CTestDialog& dialog, int key) {
        display->KeyPress(key);
        return dialog.DoModal();
    }

    HWND owner = nullptr;
};

TEST_F(DialogBox, TheDialogsMapAndOnInitDialogSeeItAndItsKeysEndIt) {
    struct Case {
        int key;
        std::intptr_t result;
        const char* nameSeenOnOk;
    };
    for (const Case& c : {Case{VK_RETURN, IDOK, "Quillbridge Log Viewer"}, Case{VK_ESCAPE, IDCANCEL, ""}}) {
        CTestDialog dialog;
        EXPECT_EQ(RunWith(dialog, c.key), c.result) << c.key;
        EXPECT_EQ(dialog.initialised, 1);
        EXPECT_EQ(dialog.initialText, "replaced at run time") << "the controls exist by then";
        EXPECT_EQ(dialog.nameSeen, c.nameSeenOnOk);
        EXPECT_EQ(dialog.m_hWnd, nullptr) << "the window is gone, the object stays";
        EXPECT_TRUE(IsWindowEnabled(owner)) << "the owner is enabled again";
    }
}

TEST_F(DialogBox, AButtonsHandlerEndsTheDialogWithItsOwnResult) {
    CTestDialog dialog;
    dialog.pressApply = true;
    EXPECT_EQ(dialog.DoModal(), 42);
}

TEST_F(DialogBox, AMissingTemplateMakesNoDialog) {
    CDialog missing(9199u);
    EXPECT_EQ(missing.DoModal(), -1);
    EXPECT_EQ(missing.m_hWnd, nullptr);
}

TEST_F(DialogBox, AModelessDialogStaysUntilDestroyed) {
    CTestDialog dialog;
    ASSERT_TRUE(dialog.Create(kTemplate, CWnd::FromHandle(owner)));
    EXPECT_EQ(dialog.initialised, 1);
    EXPECT_EQ(dialog.GetWindowText(), "&About...");
    EXPECT_EQ(CWnd::FromHandlePermanent(dialog.m_hWnd), &dialog);
    dialog.DestroyWindow();
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST_F(DialogBox, TheApplicationsMessagesAreMessageBoxesTitledWithItsName) {
    // A plain application object shows a real box; Enter answers it.
    CWinApp plain("Plain Test");
    display->KeyPress(VK_RETURN);
    EXPECT_EQ(AfxMessageBox("Failed to create empty document."), IDOK);
}

}  // namespace
