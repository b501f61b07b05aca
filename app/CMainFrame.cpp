#include "app/CMainFrame.h"

#include <string>

#include "app/CPelorinApp.h"
#include "app/FrameCommands.h"
#include "app/ListExportRows.h"
#include "channel/ServiceProtocol.h"
#include "platform/controls/Menus.h"
#include "platform/controls/MessageBox.h"
#include "platform/controls/Toolbar.h"
#include "platform/framework/AfxMsg.h"
#include "platform/framework/CBitmap.h"
#include "platform/framework/CCmdUI.h"
#include "platform/framework/CMenu.h"
#include "platform/graphics/Images.h"
#include "platform/kernel/FileTime.h"
#include "presentation/CContainerView.h"
#include "presentation/CPelorinView.h"
#include "presentation/CPreviewPane.h"
#include "presentation/CTextFileIO.h"
#include "presentation/ExportFile.h"
#include "presentation/FileDialogRequest.h"
#include "presentation/OsNaming.h"
#include "resources/ProgramTexts.h"
#include "resources/ResourceIds.h"
#include "widgets/CreateSideBarSplitter.h"

IMPLEMENT_DYNCREATE(CMainFrame, CIconMenuFrameWnd)

namespace {

constexpr DWORD kRequestTimeoutMs = 120000;
constexpr COLORREF kMaskColour = RGB(192, 192, 192);

// The menus' icons: bitmap 135 of 16 x 15 pictures, for the toolbar's commands in its order.
constexpr WORD kMenuIcons[] = {IDB_TOOLBAR_HOT, 16, 15, ID_LOG_QUILLBRIDGE, ID_LOG_DEBUG, ID_LOG_EXPORT,
                               ID_VIEW_REFRESH, ID_LOG_CLEAR,    ID_APP_ABOUT, 0};

// Captions by position; a popup that is not there is skipped.
void SetMenuTexts(CIconMenu* menu, std::initializer_list<std::pair<UINT, const char*>> texts) {
    if (!menu) return;
    for (const auto& [position, text] : texts) menu->SetMenuText(position, text, MF_BYPOSITION);
}

BOOL LoadImages(CImageList& list, UINT bitmap) {
    CBitmap pictures;
    return list.Create(16, 15, ILC_COLORDDB | ILC_MASK, 4, 0) && pictures.LoadBitmap(bitmap) &&
           list.Add(&pictures, kMaskColour) >= 0;
}

}  // namespace

BEGIN_MESSAGE_MAP(CMainFrame, CIconMenuFrameWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_MESSAGE(WM_SIDEBAR_NOTIFY, &CMainFrame::OnSideBarNotify)
ON_MESSAGE(WM_LOG_LOAD_BEGIN, &CMainFrame::OnLoadBeginMessage)
ON_MESSAGE(WM_LOG_LOAD_END, &CMainFrame::OnLoadEndMessage)
ON_MESSAGE(WM_LOG_RECORD, &CMainFrame::OnRecordMessage)
ON_COMMAND_RANGE(ID_LOG_QUILLBRIDGE, ID_LOG_DEBUG, &CMainFrame::OnLogKind)
ON_COMMAND_RANGE(ID_FILTER_1DAY, ID_FILTER_1DAY, &CMainFrame::OnAgeFilter)
ON_COMMAND_RANGE(ID_FILTER_2DAYS, ID_FILTER_ALL, &CMainFrame::OnAgeFilter)
ON_COMMAND_RANGE(ID_LEVEL_FATAL, ID_LEVEL_INFO, &CMainFrame::OnLevelFilter)
ON_COMMAND(ID_LOG_EXPORT, &CMainFrame::OnExport)
ON_COMMAND(ID_LOG_CLEAR, &CMainFrame::OnClearLog)
ON_COMMAND(ID_VIEW_REFRESH, &CMainFrame::OnRefresh)
ON_COMMAND(ID_VIEW_DETAIL, &CMainFrame::OnLogDetail)
ON_COMMAND(ID_VIEW_SIDEBAR, &CMainFrame::OnSideBarToggle)
ON_COMMAND(ID_SELECT_QUILLBRIDGE_LOG, &CMainFrame::OnSelectQuillbridgeLog)
ON_COMMAND(ID_EDIT_COPY, &CMainFrame::OnEditCopy)
ON_UPDATE_COMMAND_UI_RANGE(ID_VIEW_SIDEBAR, ID_SELECT_QUILLBRIDGE_LOG, &CMainFrame::OnUpdateCommand)
ON_UPDATE_COMMAND_UI_RANGE(ID_FILTER_2DAYS, ID_LEVEL_INFO, &CMainFrame::OnUpdateCommand)
ON_UPDATE_COMMAND_UI(ID_VIEW_DETAIL, &CMainFrame::OnUpdateCommand)
ON_UPDATE_COMMAND_UI_RANGE(ID_LOG_QUILLBRIDGE, ID_LOG_DEBUG, &CMainFrame::OnUpdateCommand)
END_MESSAGE_MAP()

CMainFrame::CMainFrame() : loaderThread(std::make_unique<LogLoader>(*this)) {}

CMainFrame::~CMainFrame() {
    // The loader may be inside a send to the window that went just now: the sends that reach
    // this thread are answered while the stop waits, so that neither waits for the other.
    notifyWindow = nullptr;
    loaderThread->Stop([] {
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    });
    std::lock_guard lock(loaderLock);
    attachments.clear();
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!CIconMenuFrameWnd::PreCreateWindow(cs)) return FALSE;
    // Exactly these: the framework never adds a document name to the title.
    cs.style = WS_OVERLAPPEDWINDOW | WS_MAXIMIZE;
    cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
    return TRUE;
}

BOOL CMainFrame::OnCreateClient(LPCREATESTRUCTA, CCreateContext* pContext) {
    if (!CreateSideBarSplitter(this, splitter, RUNTIME_CLASS(CPelorinView), pContext, sideBar, largeIcons, smallIcons,
                               IDI_SIDEBAR_LOG, text::kLogsFolder, text::kQuillbridgeLog))
        return FALSE;

    // Laid out over the client area it is about to fill: the side bar's column keeps the width
    // it gets here while hidden, and shows again with it.
    CRect client;
    GetClientRect(&client);
    const int width = client.Width() > 0 ? client.Width() : 0;
    splitter.MoveWindow(&client, FALSE);
    splitter.SetColumnInfo(0, width / 7, 0);
    splitter.SetColumnInfo(1, width / 5, 0);
    splitter.RecalcLayout();
    splitter.HideColumn(0);
    return TRUE;
}

int CMainFrame::OnCreate(LPCREATESTRUCTA lpcs) {
    if (CIconMenuFrameWnd::OnCreate(lpcs) == -1) return -1;
    notifyWindow = m_hWnd;

    if (!toolBar.CreateEx(
            this, TBSTYLE_FLAT,
            WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_BORDER_BOTTOM | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC,
            CRect(0, 0, 0, 0), AFX_IDW_TOOLBAR) ||
        !toolBar.LoadToolBar(IDR_MAINFRAME))
        return -1;
    if (LoadImages(toolbarImages, IDB_TOOLBAR_NORMAL) && LoadImages(toolbarDisabledImages, IDB_TOOLBAR_DISABLED) &&
        LoadImages(toolbarHotImages, IDB_TOOLBAR_HOT)) {
        toolBar.SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(toolbarImages.m_hImageList));
        toolBar.SendMessage(TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(toolbarDisabledImages.m_hImageList));
        toolBar.SendMessage(TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(toolbarHotImages.m_hImageList));
    }

    const UINT indicators[] = {ID_SEPARATOR};
    if (!statusBar.Create(this) || !statusBar.SetIndicators(indicators, 1)) return -1;

    toolBar.EnableDocking(CBRS_ALIGN_ANY);
    EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&toolBar);

    // Without the bitmap the menus draw on without icons.
    menuBar.LoadToolBar(kMenuIcons, kMaskColour);
    SetMenuCaptions();

    if (!ConnectService()) {
        MessageBoxA(m_hWnd, text::kServiceNotResponding, text::kErrorCaption, MB_OK | MB_ICONHAND);
        PostQuitMessage(0);
        return 0;
    }
    std::int32_t service = 0, core = 0;
    MessageBuffer none;
    if (channel->SendMsg(VersionsRequest, service, core, none, kRequestTimeoutMs)) {
        serviceVersion = static_cast<std::uint32_t>(service);
        coreDllVersion = static_cast<std::uint32_t>(core);
    }
    RequestReload();
    return 0;
}

bool CMainFrame::ConnectService() {
    auto* app = dynamic_cast<CPelorinApp*>(AfxGetApp());
    channel = app ? app->channel.get() : nullptr;
    return channel && channel->IsServiceRunning() && channel->Connect(SYNCHRONIZE);
}

void CMainFrame::OnDestroy() {
    notifyWindow = nullptr;
    CIconMenuFrameWnd::OnDestroy();
}

void CMainFrame::SetMenuCaptions() {
    using namespace text;
    SetWindowText(kAppTitle);
    SetMenuTexts(&menuBar, {{0, kMenuLog}, {1, kMenuView}, {2, kMenuFilter}, {3, kMenuAbout}});
    SetMenuTexts(menuBar.GetSubMenu(0),
                 {{0, kItemQuillbridgeLog}, {1, kItemDebugLog}, {3, kItemExport}, {5, kItemClearLog}, {7, kItemExit}});
    SetMenuTexts(menuBar.GetSubMenu(1), {{0, kItemToolbar}, {1, kItemStatusbar}, {3, kItemLogDetail}, {5, kItemRefresh}});
    CIconMenu* filter = menuBar.GetSubMenu(2);
    SetMenuTexts(filter, {{0, kItem1Day},
                          {1, kItem2Days},
                          {2, kItem3Days},
                          {3, kItem1Week},
                          {4, kItem2Weeks},
                          {5, kItem1Month},
                          {6, kItemAll},
                          {8, kItemLevel}});
    SetMenuTexts(filter ? filter->FindSubMenu(kItemLevel) : nullptr,
                 {{0, kItemFatal}, {1, kItemError}, {2, kItemWarning}, {3, kItemInfo}});
    SetMenuTexts(menuBar.GetSubMenu(3), {{0, kItemAbout}});
    if (menuBar.m_hMenu) DrawMenuBar();
    ApplyLogKind();
}

void CMainFrame::ApplyLogKind() {
    CIconMenu* filter = menuBar.GetSubMenu(2);
    const std::uint32_t kind = logKind;
    if (filter && (kind == QuillbridgeLog || kind == DebugLog))
        filter->EnableMenuItem(8, MF_BYPOSITION | (kind == QuillbridgeLog ? MF_ENABLED : MF_GRAYED));
    SetWindowText(FrameCommands::TitleOfLogKind(kind).c_str());
    if (CPelorinView* view = GetView()) view->ShowLogKind(kind);
}

CPelorinView* CMainFrame::GetView() {
    if (!splitter.m_hWnd) return nullptr;
    const int column = splitter.GetColumnCount() > 1 ? 1 : 0;
    return dynamic_cast<CPelorinView*>(splitter.GetPane(0, column));
}

CContainerView* CMainFrame::GetList() {
    CPelorinView* view = GetView();
    return view ? view->GetList() : nullptr;
}

CPreviewPane* CMainFrame::GetPreview() {
    CPelorinView* view = GetView();
    return view ? view->GetPreview() : nullptr;
}

void CMainFrame::SetTitleText(const char* state) { SetWindowText(FrameCommands::Title(state).c_str()); }

// The loader's notifications.

void CMainFrame::OnLoadBegin(std::uint32_t recordCount) {
    if (HWND window = notifyWindow) ::SendMessageA(window, WM_LOG_LOAD_BEGIN, recordCount, 0);
}

void CMainFrame::OnRecord(const RecordNotice& notice) {
    if (HWND window = notifyWindow) ::SendMessageA(window, WM_LOG_RECORD, 1, reinterpret_cast<LPARAM>(&notice));
}

void CMainFrame::OnLoadEnd() {
    if (HWND window = notifyWindow) ::SendMessageA(window, WM_LOG_LOAD_END, 0, 0);
}

void CMainFrame::StepProgress() { progress.StepIt(); }

LRESULT CMainFrame::OnLoadBeginMessage(WPARAM recordCount, LPARAM) {
    SetTitleText(text::kLoadingQuillbridgeLog);
    if (CContainerView* list = GetList()) list->InitColumns(logKind);
    if (progress.m_hWnd)
        progress.SetText(text::kLoading);
    else
        progress.Create(text::kLoading, 60, 100, FALSE, 0);
    if (progress.m_hWnd) {
        progress.SetRange32(0, static_cast<int>(recordCount));
        progress.SetPos(0);
        progress.ShowWindow(SW_SHOW);
    }
    return 0;
}

LRESULT CMainFrame::OnLoadEndMessage(WPARAM, LPARAM) {
    SetTitleText(text::kQuillbridgeLog);
    if (progress.m_hWnd) {
        progress.SetText("");
        progress.ShowWindow(SW_HIDE);
    }
    return 0;
}

LRESULT CMainFrame::OnRecordMessage(WPARAM kind, LPARAM notice) {
    if (kind != 1 || !notice) return 0;
    const auto* n = reinterpret_cast<const RecordNotice*>(notice);
    if (CContainerView* list = GetList()) list->AddRecord(*n->record, n->recordKey, FILETIME{n->timeLow, n->timeHigh});
    progress.StepIt();  // with its row, not sent by the loader: one hand-off a record instead of two
    return 0;
}

LRESULT CMainFrame::OnSideBarNotify(WPARAM code, LPARAM value) {
    switch (code) {
        case SBN_ITEMCLICKED:
            if (!selectingItem && sideBar.GetSelectedFolder() == 0 && value == 0) SelectQuillbridgeLog();
            return 0;
        case SBN_ITEMEDITED:
        case SBN_FOLDEREDITED:
        case SBN_ITEMDROPPED:
            return 1;
        default:
            return 0;
    }
}

// Commands.

void CMainFrame::Refresh() {
    if (logKind == QuillbridgeLog)
        SelectQuillbridgeLog();
    else if (logKind == DebugLog)
        LoadDebugLog();
}

void CMainFrame::SelectQuillbridgeLog() {
    logKind = QuillbridgeLog;
    if (sideBar.m_hWnd) {
        selectingItem = true;
        sideBar.SelectItem(0);
        selectingItem = false;
    }
    RequestReload();
}

void CMainFrame::LoadDebugLog() {
    std::int32_t action = FetchLogFile, kind = static_cast<std::int32_t>(logKind.load());
    MessageBuffer reply;
    if (!channel || !channel->SendMsg(LogFileRequest, action, kind, reply, kRequestTimeoutMs)) return;
    SetTitleText(text::kLoadingDebugLog);
    const auto* bytes = reinterpret_cast<const char*>(reply.Data());
    const std::string path(bytes, strnlen(bytes, reply.Size()));
    CTextFileIO file("", "\r\n");
    std::string content;
    // With an empty path the user is asked for the file.
    if (file.ReadText(path, content)) {
        if (CPelorinView* view = GetView()) view->SetDebugText(content);
    }
    SetTitleText(text::kDebugLog);
}

void CMainFrame::ClearLog() {
    std::int32_t action = ClearLogFile, kind = static_cast<std::int32_t>(logKind.load());
    MessageBuffer none;
    if (channel && channel->SendMsg(LogFileRequest, action, kind, none, kRequestTimeoutMs)) {
        if (CPreviewPane* preview = GetPreview()) preview->SetContent("", "", "");
    }
    Refresh();
}

void CMainFrame::Export() {
    std::string path;
    if (!FileDialogRequest::ForExport().Ask(path)) return;
    std::string error;
    if (logKind == QuillbridgeLog) {
        CContainerView* list = GetList();
        if (!list) return;
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        const std::string header =
            ExportFile::BuildExportHeader(serviceVersion, coreDllVersion, OsNaming::Instance(), now);
        ListExportRows rows(list->GetListCtrl(), *this);
        ExportFile file;
        if (!file.Write(path, header, rows)) error = file.Error();
    } else if (logKind == DebugLog) {
        CPelorinView* view = GetView();
        if (!view) return;
        CTextFileIO file("", "\n");
        if (!file.WriteText(path, view->GetDebugText())) error = file.ErrorText();
    } else {
        return;
    }
    // A failed export is said, never passed off as done.
    if (!error.empty()) {
        const std::string message = "The log could not be exported to " + path + ":\n" + error;
        MessageBoxA(m_hWnd, message.c_str(), text::kErrorCaption, MB_OK | MB_ICONHAND);
    }
}

void CMainFrame::OnLogKind(UINT nID) {
    const std::uint32_t kind = nID == ID_LOG_DEBUG ? DebugLog : QuillbridgeLog;
    if (logKind == kind) return;
    logKind = kind;
    ApplyLogKind();
    Refresh();
}

void CMainFrame::OnAgeFilter(UINT nID) {
    const int age = FrameCommands::AgeFilterOf(nID);
    if (age < 0) return;
    ageFilter = static_cast<std::uint32_t>(age);
    Refresh();
}

void CMainFrame::OnLevelFilter(UINT nID) {
    const int level = FrameCommands::LevelFilterOf(nID);
    if (level < 0) return;
    levelFilter = static_cast<std::uint32_t>(level);
    Refresh();
}

void CMainFrame::OnLogDetail() {
    CPelorinView* view = GetView();
    if (!view) return;
    CHideableSplitter& inner = view->Splitter();
    if (inner.GetRowCount() > 1)
        inner.HideRow(1);
    else
        inner.ShowRow();
}

void CMainFrame::OnSideBarToggle() {
    if (splitter.GetColumnCount() > 1)
        splitter.HideColumn(0);
    else
        splitter.ShowColumn();
}

// The copy keys are the accelerator table's, so the text box never sees them: it is handed the
// copy itself while it has the focus. Everywhere else they do nothing.
void CMainFrame::OnEditCopy() {
    CPelorinView* view = GetView();
    if (view && view->DebugTextBox().m_hWnd && ::GetFocus() == view->DebugTextBox().m_hWnd)
        view->DebugTextBox().SendMessage(WM_COPY);
}

void CMainFrame::OnUpdateCommand(CCmdUI* pCmdUI) {
    CPelorinView* view = GetView();
    const FrameState state{logKind, ageFilter, levelFilter, view && view->Splitter().GetRowCount() > 1,
                           splitter.m_hWnd && splitter.GetColumnCount() > 1};
    CommandUpdate update;
    if (!FrameCommands::Update(pCmdUI->m_nID, state, update)) return;
    if (update.setsEnabled) pCmdUI->Enable(update.enabled);
    pCmdUI->SetCheck(update.checked);
}
