// framework-sample: a single-document application on the framework, for eyes-on checks: a frame
// made from resource 128 with a menu, a dockable toolbar and a status bar, a 2 x 2 static splitter
// holding a list view and views that show what the framework tells them (commands, idle updates,
// activation), an About box, and the framework's standard commands.
//
//   framework-sample                       on the X display, or headless without one
//   framework-sample --seconds N           ends by itself after N seconds
//   framework-sample --snapshot FILE.png   headless: shows itself, saves a snapshot, ends

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/controls/AcceleratorTable.h"
#include "platform/controls/DialogTemplate.h"
#include "platform/controls/MenuRegistry.h"
#include "platform/drivers/DriverChoice.h"
#include "platform/drivers/HeadlessDriver.h"
#include "platform/framework/AfxMsg.h"
#include "platform/framework/CCmdUI.h"
#include "platform/framework/CCommandLineInfo.h"
#include "platform/framework/CDialog.h"
#include "platform/framework/CDocument.h"
#include "platform/framework/CFont.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CListView.h"
#include "platform/framework/CSingleDocTemplate.h"
#include "platform/framework/CSplitterWnd.h"
#include "platform/framework/CStatusBar.h"
#include "platform/framework/CToolBar.h"
#include "platform/framework/CView.h"
#include "platform/framework/CWinApp.h"
#include "platform/framework/StringTable.h"
#include "platform/framework/ToolbarResource.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/SystemColors.h"
#include "platform/window/Windows.h"
#include "resources/ImageResources.h"

namespace {

constexpr UINT kMainResource = 128;
constexpr UINT kAboutResource = 100;
constexpr int kProductLine = 1002, kVersionLine = 1007;
// The toolbar's commands, in the order of the toolbar pictures of bitmap 128.
constexpr UINT kShowLog = 32804, kShowDebugLog = 32805, kExport = 32790, kRefresh = 32793, kClear = 32792;
constexpr UINT kRowsIndicator = 32900;

// The sample's resources, as a program registers its own from data tables.
void RegisterResources() {
    StringTable::Register({
        {kMainResource, "Framework Sample\n\nsample\n\n\nsample.Document\nsample Document"},
        {AFX_IDS_APP_TITLE, "Framework Sample"},
        {ID_FILE_NEW, "Start a new document\nNew"},
        {ID_FILE_OPEN, "Open a document\nOpen"},
        {ID_APP_EXIT, "Quit the application; prompts to save documents\nExit"},
        {ID_APP_ABOUT, "Display program information\nAbout"},
        {ID_VIEW_TOOLBAR, "Show or hide the toolbar\nToggle ToolBar"},
        {ID_VIEW_STATUS_BAR, "Show or hide the status bar\nToggle StatusBar"},
        {kShowLog, "Show the program's log\nLog"},
        {kShowDebugLog, "Show the debug log\nDebug Log"},
        {kExport, "Export the rows to a file (not in this sample)\nExport"},
        {kRefresh, "Count one more refresh\nRefresh"},
        {kClear, "Clear the refresh count\nClear"},
        {kRowsIndicator, "ROWS 00"},
    });
    ToolbarResource::Register(kMainResource, ToolbarResource{1, 16, 15,
                                                             {kShowLog, kShowDebugLog, 0, kExport, 0, kRefresh, kClear,
                                                              0, ID_APP_ABOUT}});
    MenuRegistry::Instance().Register(
        MAKEINTRESOURCEA(kMainResource),
        MenuTemplate(
            0, 0, "",
            {
                {MF_POPUP,
                 0,
                 "&File",
                 {{0, ID_FILE_NEW, "&New\tCtrl+N"},
                  {0, ID_FILE_OPEN, "&Open...\tCtrl+O"},
                  {MF_SEPARATOR},
                  {0, ID_FILE_MRU_FILE1, "Recent File"},
                  {MF_SEPARATOR},
                  {0, ID_APP_EXIT, "E&xit"}}},
                {MF_POPUP, 0, "&View", {{0, ID_VIEW_TOOLBAR, "&Toolbar"}, {0, ID_VIEW_STATUS_BAR, "&Status Bar"}}},
                {MF_POPUP, 0, "&Help", {{0, ID_APP_ABOUT, "&About Framework Sample..."}}},
            }));
    DialogTemplate about;
    about.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    about.cx = 196;
    about.cy = 62;
    about.caption = "About ...";
    about.fontFace = "MS Sans Serif";
    about.pointSize = 8;
    about.items = {
        {"Button", "OK", IDOK, WS_TABSTOP | 0x0001 /* BS_DEFPUSHBUTTON */, 0, 137, 41, 52, 14},
        {"Static", "", kProductLine, 0, 0, 42, 11, 142, 8},
        {"Static", "", kVersionLine, 0, 0, 42, 23, 146, 8},
    };
    DialogTemplate::Register(MAKEINTRESOURCEA(kAboutResource), about);
    AcceleratorTable::Instance().Register(MAKEINTRESOURCEA(kMainResource), {{FVIRTKEY | FCONTROL, 'N', ID_FILE_NEW},
                                                                            {FVIRTKEY | FCONTROL, 'O', ID_FILE_OPEN}});
}

class CSampleDoc : public CDocument {
    DECLARE_DYNCREATE(CSampleDoc)

public:
    bool debugLog = false;
    int refreshes = 0;

protected:
    DECLARE_MESSAGE_MAP()
    // The document keeps what the views show: its commands reach it through the active view.
    void OnShowLog() { SetLog(false); }
    void OnShowDebugLog() { SetLog(true); }
    void OnUpdateShowLog(CCmdUI* ui) { ui->SetRadio(!debugLog); }
    void OnUpdateShowDebugLog(CCmdUI* ui) { ui->SetRadio(debugLog); }
    void OnRefresh() {
        ++refreshes;
        UpdateAllViews(nullptr);
    }
    void OnClear() {
        refreshes = 0;
        UpdateAllViews(nullptr);
    }
    void OnUpdateClear(CCmdUI* ui) { ui->Enable(refreshes > 0); }
    void SetLog(bool debug) {
        debugLog = debug;
        UpdateAllViews(nullptr);
    }
};
IMPLEMENT_DYNCREATE(CSampleDoc, CDocument)
BEGIN_MESSAGE_MAP(CSampleDoc, CDocument)
ON_COMMAND(kShowLog, &CSampleDoc::OnShowLog)
ON_COMMAND(kShowDebugLog, &CSampleDoc::OnShowDebugLog)
ON_UPDATE_COMMAND_UI(kShowLog, &CSampleDoc::OnUpdateShowLog)
ON_UPDATE_COMMAND_UI(kShowDebugLog, &CSampleDoc::OnUpdateShowDebugLog)
ON_COMMAND(kRefresh, &CSampleDoc::OnRefresh)
ON_COMMAND(kClear, &CSampleDoc::OnClear)
ON_UPDATE_COMMAND_UI(kClear, &CSampleDoc::OnUpdateClear)
END_MESSAGE_MAP()

class CSampleView : public CView {
    DECLARE_DYNCREATE(CSampleView)

public:
    CSampleView() {
        LOGFONTA font{};
        CGdiObject::FromHandle(GetStockObject(DEFAULT_GUI_FONT))->GetObject(sizeof font, &font);
        font.lfWeight = FW_BOLD;
        boldFont_.CreateFontIndirect(&font);
    }

    void OnDraw(CDC* dc) override {
        CRect client;
        GetClientRect(&client);
        dc->FillSolidRect(&client, GetSysColor(COLOR_WINDOW));
        dc->SetBkMode(TRANSPARENT);
        CFont* old = dc->SelectObject(&boldFont_);
        auto* doc = static_cast<CSampleDoc*>(GetDocument());
        dc->TextOut(12, 10, "Framework sample: " + doc->GetTitle());
        dc->SelectObject(CFont::FromHandle(GetStockObject(DEFAULT_GUI_FONT)));
        std::vector<std::string> lines{
            "Commands route view -> document -> frame -> application.",
            std::string("Active view: ") + (GetParentFrame()->GetActiveView() == this ? "this one" : "another"),
            "Initial updates: " + std::to_string(initialUpdates_),
            std::string("Showing: ") + (doc->debugLog ? "debug log" : "log") +
                ", refreshes: " + std::to_string(doc->refreshes),
        };
        for (std::size_t i = 0; i < lines.size(); ++i) dc->TextOut(12, 34 + 18 * static_cast<int>(i), lines[i]);
        dc->SelectObject(old);
    }
    void OnInitialUpdate() override {
        ++initialUpdates_;
        CView::OnInitialUpdate();
    }
    void OnUpdate(CView*, LPARAM, CObject*) override { Invalidate(); }

private:
    CFont boldFont_;
    int initialUpdates_ = 0;
};
IMPLEMENT_DYNCREATE(CSampleView, CView)

// A report list of a few generated rows.
class CSampleListView : public CListView {
    DECLARE_DYNCREATE(CSampleListView)

public:
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override {
        cs.style |= LVS_REPORT | LVS_SHOWSELALWAYS;
        return CListView::PreCreateWindow(cs);
    }
    void OnInitialUpdate() override {
        CListView::OnInitialUpdate();
        CListCtrl& list = GetListCtrl();
        if (list.GetItemCount() > 0) return;
        list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
        list.InsertColumn(0, "Time", LVCFMT_LEFT, 70);
        list.InsertColumn(1, "Message", LVCFMT_LEFT, 220);
        static const char* const kMessages[] = {"Service started", "Channel opened", "Settings read",
                                                "Window shown", "Idle"};
        for (int i = 0; i < 5; ++i) {
            list.InsertItem(i, ("12:00:0" + std::to_string(i)).c_str());
            list.SetItemText(i, 1, kMessages[i]);
        }
        list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    }
};
IMPLEMENT_DYNCREATE(CSampleListView, CListView)

class CSampleFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CSampleFrame)

public:
    CToolBar toolBar;
    CStatusBar statusBar;
    CSplitterWnd splitter;

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override {
        if (!CFrameWnd::PreCreateWindow(cs)) return FALSE;
        cs.cx = 760;
        cs.cy = 520;
        cs.x = cs.y = 80;
        return TRUE;
    }

protected:
    DECLARE_MESSAGE_MAP()

    int OnCreate(LPCREATESTRUCTA lpcs) {
        if (CFrameWnd::OnCreate(lpcs) == -1) return -1;
        if (!toolBar.CreateEx(this, TBSTYLE_FLAT,
                              WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_TOOLTIPS | CBRS_FLYBY |
                                  CBRS_SIZE_DYNAMIC) ||
            !toolBar.LoadToolBar(kMainResource))
            return -1;
        toolBar.SetWindowText("Standard");
        static const UINT indicators[] = {ID_SEPARATOR, kRowsIndicator};
        if (!statusBar.Create(this) || !statusBar.SetIndicators(indicators, 2)) return -1;
        toolBar.EnableDocking(CBRS_ALIGN_ANY);
        EnableDocking(CBRS_ALIGN_ANY);
        DockControlBar(&toolBar);
        return 0;
    }

    BOOL OnCreateClient(LPCREATESTRUCTA, CCreateContext* context) override {
        // Each pane gives its column's width and its row's height; the last ones take the rest.
        return splitter.CreateStatic(this, 2, 2) &&
               splitter.CreateView(0, 0, RUNTIME_CLASS(CSampleListView), CSize(320, 190), context) &&
               splitter.CreateView(0, 1, RUNTIME_CLASS(CSampleView), CSize(0, 190), context) &&
               splitter.CreateView(1, 0, RUNTIME_CLASS(CSampleView), CSize(320, 0), context) &&
               splitter.CreateView(1, 1, RUNTIME_CLASS(CSampleView), CSize(0, 0), context);
    }

    void OnUpdateRows(CCmdUI* ui) {
        auto* list = dynamic_cast<CListView*>(splitter.GetPane(0, 0));
        const int rows = list ? list->GetListCtrl().GetItemCount() : 0;
        ui->SetText(("ROWS " + std::string(rows < 10 ? "0" : "") + std::to_string(rows)).c_str());
    }
};
IMPLEMENT_DYNCREATE(CSampleFrame, CFrameWnd)
BEGIN_MESSAGE_MAP(CSampleFrame, CFrameWnd)
ON_WM_CREATE()
ON_UPDATE_COMMAND_UI(kRowsIndicator, &CSampleFrame::OnUpdateRows)
END_MESSAGE_MAP()

class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(kAboutResource) {}
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        SetDlgItemText(kProductLine, "Framework Sample");
        SetDlgItemText(kVersionLine, "A single-document application on the framework");
        return TRUE;
    }
};

class CSampleApp : public CWinApp {
public:
    CSampleApp() : CWinApp("Framework Sample") {}

    const char* snapshot = nullptr;
    long seconds = 0;
    HeadlessDriver* headless = nullptr;

    BOOL InitInstance() override {
        if (const std::string error = RegisterImageResources(); !error.empty()) {
            std::fprintf(stderr, "framework-sample: %s\n", error.c_str());
            return FALSE;
        }
        RegisterResources();
        AddDocTemplate(std::make_unique<CSingleDocTemplate>(kMainResource, RUNTIME_CLASS(CSampleDoc),
                                                            RUNTIME_CLASS(CSampleFrame), RUNTIME_CLASS(CSampleView)));
        CCommandLineInfo info;
        if (!ProcessShellCommand(info)) return FALSE;
        m_pMainWnd->ShowWindow(SW_SHOW);
        m_pMainWnd->UpdateWindow();
        if (seconds > 0)
            ::SetTimer(nullptr, 0, static_cast<UINT>(seconds * 1000),
                       [](HWND, UINT, std::uintptr_t, DWORD) { PostQuitMessage(0); });
        return TRUE;
    }

    BOOL OnIdle(LONG lCount) override {
        const BOOL more = CWinApp::OnIdle(lCount);
        // Headless: the picture is taken once the idle updates are drawn and nothing else waits.
        if (headless && snapshot && lCount == 1 && m_pMainWnd) {
            const std::string error = headless->Snapshot(m_pMainWnd->m_hWnd, snapshot);
            if (error.empty())
                std::printf("snapshot written to %s\n", snapshot);
            else
                std::fprintf(stderr, "framework-sample: %s\n", error.c_str());
            failed = !error.empty();
            snapshot = nullptr;
            m_pMainWnd->SendMessage(WM_CLOSE);
        }
        return more;
    }

    int ExitInstance() override {
        const int code = CWinApp::ExitInstance();
        return failed ? 1 : code;
    }

    bool failed = false;

protected:
    DECLARE_MESSAGE_MAP()
    void OnAppAbout() {
        CAboutDlg about;
        about.DoModal();
    }
};
BEGIN_MESSAGE_MAP(CSampleApp, CWinApp)
ON_COMMAND(ID_APP_ABOUT, &CSampleApp::OnAppAbout)
ON_COMMAND(ID_FILE_NEW, &CWinApp::OnFileNew)
ON_COMMAND(ID_FILE_OPEN, &CWinApp::OnFileOpen)
END_MESSAGE_MAP()

CSampleApp theApp;

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--snapshot") && i + 1 < argc) {
            theApp.snapshot = argv[++i];
        } else if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc) {
            theApp.seconds = std::strtol(argv[++i], nullptr, 10);
        } else {
            std::fprintf(stderr, "usage: framework-sample [--seconds N] [--snapshot FILE.png]\n");
            return 2;
        }
    }
    if (theApp.snapshot)
        theApp.headless = &HeadlessDriver::Install();
    else
        DriverChoice::Install();
    char* name = argv[0];
    return AfxWinMain(1, &name);
}
