// The single-document template: document, frame and view made together from class records, the
// command routing between them, and the standard new, open, print and exit commands.

#include <fstream>

#include "platform/controls/MenuRegistry.h"
#include "platform/framework/AfxMsg.h"
#include "platform/framework/CCmdUI.h"
#include "platform/framework/CCommandLineInfo.h"
#include "platform/framework/CDocument.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CRecentFileList.h"
#include "platform/framework/CSingleDocTemplate.h"
#include "platform/framework/CView.h"
#include "platform/framework/StringTable.h"
#include "tests/platform/framework/FrameworkTesting.h"
#include "tests/support/TempDirectory.h"

namespace {

constexpr UINT kResource = 128;
// Commands handled by the view and everything after it, by the document and after, ...
constexpr UINT kViewCmd = 32801, kDocCmd = 32802, kFrameCmd = 32803, kAppCmd = 32804, kNobodyCmd = 32805;

class CTestDoc : public CDocument {
    DECLARE_DYNCREATE(CTestDoc)

public:
    static inline int alive = 0;
    CTestDoc() { ++alive; }
    ~CTestDoc() override { --alive; }

protected:
    DECLARE_MESSAGE_MAP()
    void OnViewCmd() { Trail().push_back("doc"); }
    void OnDocCmd() { Trail().push_back("doc"); }
    void OnUpdateDoc(CCmdUI* ui) { ui->SetCheck(1); }
};
IMPLEMENT_DYNCREATE(CTestDoc, CDocument)
BEGIN_MESSAGE_MAP(CTestDoc, CDocument)
ON_COMMAND(kViewCmd, &CTestDoc::OnViewCmd)
ON_COMMAND(kDocCmd, &CTestDoc::OnDocCmd)
ON_UPDATE_COMMAND_UI(kDocCmd, &CTestDoc::OnUpdateDoc)
END_MESSAGE_MAP()

class CTestView : public CView {
    DECLARE_DYNCREATE(CTestView)

public:
    int initialUpdates = 0;
    void OnDraw(CDC*) override {}
    void OnInitialUpdate() override {
        ++initialUpdates;
        CView::OnInitialUpdate();
    }

protected:
    DECLARE_MESSAGE_MAP()
    void OnViewCmd() { Trail().push_back("view"); }
};
IMPLEMENT_DYNCREATE(CTestView, CView)
BEGIN_MESSAGE_MAP(CTestView, CView)
ON_COMMAND(kViewCmd, &CTestView::OnViewCmd)
ON_COMMAND(ID_FILE_PRINT, &CView::OnFilePrint)
END_MESSAGE_MAP()

class CTestFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CTestFrame)

public:
    static inline int alive = 0;
    CTestFrame() { ++alive; }
    ~CTestFrame() override { --alive; }

protected:
    DECLARE_MESSAGE_MAP()
    void OnHandled() { Trail().push_back("frame"); }
    void OnUpdateFrame(CCmdUI* ui) { ui->Enable(FALSE); }
};
IMPLEMENT_DYNCREATE(CTestFrame, CFrameWnd)
BEGIN_MESSAGE_MAP(CTestFrame, CFrameWnd)
ON_COMMAND(kViewCmd, &CTestFrame::OnHandled)
ON_COMMAND(kDocCmd, &CTestFrame::OnHandled)
ON_COMMAND(kFrameCmd, &CTestFrame::OnHandled)
ON_UPDATE_COMMAND_UI(kFrameCmd, &CTestFrame::OnUpdateFrame)
END_MESSAGE_MAP()

class CFailingFrame : public CTestFrame {
    DECLARE_DYNCREATE(CFailingFrame)

protected:
    DECLARE_MESSAGE_MAP()
    int OnCreate(LPCREATESTRUCTA lpcs) {
        if (CFrameWnd::OnCreate(lpcs) == -1) return -1;
        return -1;  // as when a bar cannot be made
    }
};
IMPLEMENT_DYNCREATE(CFailingFrame, CTestFrame)
BEGIN_MESSAGE_MAP(CFailingFrame, CTestFrame)
ON_WM_CREATE()
END_MESSAGE_MAP()

// The application's map: the framework's commands and one of its own.
class RoutingApp : public TestApp {
protected:
    DECLARE_MESSAGE_MAP()
    void OnHandled() { trail.push_back("app"); }
};
BEGIN_MESSAGE_MAP(RoutingApp, TestApp)
ON_COMMAND(kViewCmd, &RoutingApp::OnHandled)
ON_COMMAND(kDocCmd, &RoutingApp::OnHandled)
ON_COMMAND(kFrameCmd, &RoutingApp::OnHandled)
ON_COMMAND(kAppCmd, &RoutingApp::OnHandled)
ON_COMMAND(ID_FILE_NEW, &CWinApp::OnFileNew)
ON_COMMAND(ID_FILE_OPEN, &CWinApp::OnFileOpen)
END_MESSAGE_MAP()

class DocTemplate : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        StringTable::Register(kResource, "Test Viewer\n\ntest\n\n\ntest.Document\ntest Document");
        MenuRegistry::Instance().Register(
            MAKEINTRESOURCEA(kResource), MenuTemplate(0, 0, "", {{MF_POPUP, 0, "&File", {{0, ID_APP_EXIT, "E&xit"}}}}));
        app.LoadStdProfileSettings(4);  // no registry key: kept in memory only
    }
    void TearDown() override {
        WindowTest::TearDown();
        StringTable::Unregister(kResource);
        MenuRegistry::Instance().Unregister(MAKEINTRESOURCEA(kResource));
    }

    void UseTemplate(const CRuntimeClass* frameClass) {
        app.AddDocTemplate(std::make_unique<CSingleDocTemplate>(kResource, RUNTIME_CLASS(CTestDoc), frameClass,
                                                                RUNTIME_CLASS(CTestView)));
    }
    // The program's start: an empty command line.
    BOOL Start() {
        char name[] = "test-viewer";
        char* argv[] = {name};
        app.SetCommandLine(1, argv);
        CCommandLineInfo info;
        app.ParseCommandLine(info);
        return app.ProcessShellCommand(info);
    }
    CFrameWnd* Frame() { return dynamic_cast<CFrameWnd*>(app.m_pMainWnd); }
    CDocument* Doc() { return app.GetDocTemplates().front()->GetDocuments().front(); }

    RoutingApp app;
};

TEST_F(DocTemplate, AnEmptyCommandLineMakesTheDocumentItsFrameAndItsView) {
    UseTemplate(RUNTIME_CLASS(CTestFrame));
    ASSERT_TRUE(Start());
    CFrameWnd* frame = Frame();
    ASSERT_NE(frame, nullptr);
    auto* view = dynamic_cast<CTestView*>(frame->GetActiveView());
    ASSERT_NE(view, nullptr) << "the pane AFX_IDW_PANE_FIRST is the active view";
    EXPECT_EQ(view->GetDlgCtrlID(), static_cast<int>(AFX_IDW_PANE_FIRST));
    EXPECT_EQ(view->GetDocument(), Doc());
    EXPECT_EQ(Doc()->GetViews(), std::vector<CView*>{view});
    EXPECT_EQ(view->initialUpdates, 1);
    EXPECT_TRUE(view->GetExStyle() & WS_EX_CLIENTEDGE) << "a view's border is a sunken edge";
    EXPECT_TRUE(frame->IsWindowVisible());
    EXPECT_EQ(frame->GetTitle(), "Test Viewer") << "the first line of the template's string";
    EXPECT_EQ(Doc()->GetTitle(), "Untitled");
    EXPECT_EQ(frame->GetWindowText(), "Untitled - Test Viewer");

    CRect client, placed;
    frame->GetClientRect(&client);
    view->GetWindowRect(&placed);
    frame->ScreenToClient(&placed);
    EXPECT_EQ(placed, client) << "the view fills the frame";

    // A second new document reuses frame and view.
    app.OnFileNew();
    EXPECT_EQ(Frame(), frame);
    EXPECT_EQ(CTestDoc::alive, 1);
    EXPECT_EQ(view->initialUpdates, 2);
}

TEST_F(DocTemplate, CommandsGoToTheViewThenTheDocumentThenTheFrameThenTheApplication) {
    UseTemplate(RUNTIME_CLASS(CTestFrame));
    ASSERT_TRUE(Start());
    struct Case {
        UINT id;
        const char* ranBy;  // null: nobody
    };
    for (const Case& c :
         {Case{kViewCmd, "view"}, Case{kDocCmd, "doc"}, Case{kAppCmd, "app"}, Case{kNobodyCmd, nullptr}}) {
        app.trail.clear();
        Frame()->SendMessage(WM_COMMAND, c.id);
        EXPECT_EQ(app.trail, c.ranBy ? std::vector<std::string>{c.ranBy} : std::vector<std::string>{}) << c.id;
    }
    app.trail.clear();
    Frame()->SendMessage(WM_COMMAND, kFrameCmd);
    EXPECT_TRUE(app.trail.empty()) << "a command its update greys is not run from a menu or key";

    // Updates: the first handler on the route says; without one, a command is enabled when it
    // has a handler anywhere on the route.
    struct Update {
        UINT id;
        int enabled, checked;
    };
    for (const Update& u :
         {Update{kDocCmd, 1, 1}, Update{kFrameCmd, 0, -1}, Update{kAppCmd, 1, -1}, Update{kNobodyCmd, 0, -1}}) {
        RecordingCmdUI ui;
        ui.m_nID = u.id;
        EXPECT_TRUE(ui.DoUpdate(Frame(), TRUE));
        EXPECT_EQ(ui.enabled, u.enabled) << u.id;
        EXPECT_EQ(ui.checked, u.checked) << u.id;
    }
}

TEST_F(DocTemplate, AFrameThatCannotBeCreatedIsReportedAndLeavesNothingBehind) {
    // Its window fails (as when a bar cannot be made), or there is no menu to make it with.
    for (const bool withMenu : {true, false}) {
        if (!withMenu) MenuRegistry::Instance().Unregister(MAKEINTRESOURCEA(kResource));
        app.shown.clear();
        UseTemplate(withMenu ? RUNTIME_CLASS(CFailingFrame) : RUNTIME_CLASS(CTestFrame));
        EXPECT_FALSE(app.GetDocTemplates().back()->OpenDocumentFile(nullptr)) << withMenu;
        EXPECT_EQ(app.shown, std::vector<std::string>{"Failed to create empty document."});
        EXPECT_EQ(app.m_pMainWnd, nullptr);
        EXPECT_EQ(CTestFrame::alive, 0);
        EXPECT_EQ(CTestDoc::alive, 0);
        EXPECT_TRUE(app.GetDocTemplates().back()->GetDocuments().empty());
    }
    EXPECT_FALSE(Start()) << "the program cannot start";
}

TEST_F(DocTemplate, ClosingTheMainFrameClosesTheDocumentAndEndsTheLoop) {
    UseTemplate(RUNTIME_CLASS(CTestFrame));
    for (const bool byCommand : {false, true}) {
        ASSERT_TRUE(Start());
        const HWND hwnd = Frame()->m_hWnd;
        if (byCommand)
            SendMessageA(hwnd, WM_COMMAND, ID_APP_EXIT, 0);
        else
            SendMessageA(hwnd, WM_CLOSE, 0, 0);
        EXPECT_FALSE(IsWindow(hwnd));
        EXPECT_EQ(app.m_pMainWnd, nullptr);
        EXPECT_EQ(CTestFrame::alive, 0);
        EXPECT_EQ(CTestDoc::alive, 0);
        MSG msg;
        EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << byCommand;
    }
}

TEST_F(DocTemplate, OpeningAFileNamesTheDocumentAndPutsItFirstInTheRecentFiles) {
    UseTemplate(RUNTIME_CLASS(CTestFrame));
    ASSERT_TRUE(Start());
    TempDirectory folder;
    const std::string path = folder.File("first.log");
    std::ofstream(path) << "anything";

    app.chosenFile = path;
    Frame()->SendMessage(WM_COMMAND, ID_FILE_OPEN);
    EXPECT_EQ(Doc()->GetPathName(), path);
    EXPECT_EQ(Doc()->GetTitle(), "first.log");
    EXPECT_EQ(Frame()->GetWindowText(), "first.log - Test Viewer");
    EXPECT_EQ((*app.m_pRecentFileList)[0], path);

    app.chosenFile = folder.File("missing.log");
    Frame()->SendMessage(WM_COMMAND, ID_FILE_OPEN);
    EXPECT_EQ(app.shown, std::vector<std::string>{"Failed to open document."});
    EXPECT_EQ(Doc()->GetPathName(), path) << "the open document stays";

    app.chosenFile.clear();  // cancelled
    Frame()->SendMessage(WM_COMMAND, ID_FILE_OPEN);
    EXPECT_EQ(app.shown.size(), 1u);

    // A recent file that went away leaves the list when chosen.
    std::remove(path.c_str());
    Frame()->SendMessage(WM_COMMAND, ID_FILE_MRU_FILE1);
    EXPECT_EQ((*app.m_pRecentFileList)[0], "");
}

TEST_F(DocTemplate, TheCommandLineSaysWhatToOpenOrDo) {
    struct Case {
        std::vector<std::string> args;
        CCommandLineInfo::NewShellCommand command;
        std::string file, printer;
    };
    const Case cases[] = {
        {{}, CCommandLineInfo::FileNew, "", ""},
        {{"logs/one.log"}, CCommandLineInfo::FileOpen, "logs/one.log", ""},
        {{"/p", "one.log"}, CCommandLineInfo::FilePrint, "one.log", ""},
        {{"-pt", "one.log", "Office", "driver", "port"}, CCommandLineInfo::FilePrintTo, "one.log", "Office"},
        {{"/Unregister"}, CCommandLineInfo::AppUnregister, "", ""},
        {{"/nologo", "/tmp"}, CCommandLineInfo::FileOpen, "/tmp", ""},  // an existing path, not a switch
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"test-viewer"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        app.SetCommandLine(static_cast<int>(argv.size()), argv.data());
        CCommandLineInfo info;
        app.ParseCommandLine(info);
        EXPECT_EQ(info.m_nShellCommand, c.command) << args.back();
        EXPECT_EQ(info.m_strFileName, c.file) << args.back();
        EXPECT_EQ(info.m_strPrinterName, c.printer) << args.back();
    }

    // A file named on the command line opens at start.
    UseTemplate(RUNTIME_CLASS(CTestFrame));
    TempDirectory folder;
    const std::string path = folder.File("start.log");
    std::ofstream(path) << "x";
    CCommandLineInfo info;
    info.ParseParam(path.c_str(), FALSE, TRUE);
    EXPECT_TRUE(app.ProcessShellCommand(info));
    EXPECT_EQ(Doc()->GetPathName(), path);
    CCommandLineInfo unregister;
    unregister.ParseParam("Unregister", TRUE, TRUE);
    EXPECT_FALSE(app.ProcessShellCommand(unregister)) << "nothing to unregister: the program ends";
}

TEST_F(DocTemplate, SavingWritesWhereTheUserSaysAndThenToTheSamePath) {
    UseTemplate(RUNTIME_CLASS(CTestFrame));
    ASSERT_TRUE(Start());
    TempDirectory folder;
    const std::string path = folder.File("saved.log");
    Frame()->SendMessage(WM_COMMAND, ID_FILE_SAVE);
    EXPECT_FALSE(std::ifstream(path).good()) << "cancelled: nothing written";

    app.chosenFile = path;
    Frame()->SendMessage(WM_COMMAND, ID_FILE_SAVE);
    EXPECT_TRUE(std::ifstream(path).good());
    EXPECT_EQ(Doc()->GetPathName(), path);
    EXPECT_EQ((*app.m_pRecentFileList)[0], path);

    app.chosenFile = folder.File("elsewhere.log");
    std::remove(path.c_str());
    Frame()->SendMessage(WM_COMMAND, ID_FILE_SAVE);
    EXPECT_TRUE(std::ifstream(path).good()) << "saved again to its own path without asking";
    EXPECT_FALSE(std::ifstream(app.chosenFile).good());
    EXPECT_TRUE(app.shown.empty());
}

TEST_F(DocTemplate, PrintingWithoutAPrinterSaysTheJobCouldNotStart) {
    UseTemplate(RUNTIME_CLASS(CTestFrame));
    ASSERT_TRUE(Start());
    Frame()->SendMessage(WM_COMMAND, ID_FILE_PRINT);
    app.OnFilePrintSetup();
    EXPECT_EQ(app.shown, (std::vector<std::string>{"Could not start print job.", "No printers are installed."}));
}

}  // namespace
