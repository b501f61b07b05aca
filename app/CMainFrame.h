#pragma once
// The program's only top-level window: icon menus, toolbar, status bar with the load progress, and an
// outer splitter with the side bar (column 0, hidden at start) and the main view (column 1). It
// owns the shown log's state, the loader thread with its lock and the attachments, and the
// versions the service reported; it runs every command of the menus, toolbar and keys.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "app/LoaderFrame.h"
#include "app/LogLoader.h"
#include "platform/framework/CImageList.h"
#include "platform/framework/CStatusBar.h"
#include "presentation/LogViewOwner.h"
#include "widgets/CFlatToolBar.h"
#include "widgets/CHideableSplitter.h"
#include "widgets/CIconMenuFrameWnd.h"
#include "widgets/CProgressBar.h"
#include "widgets/CSideBarCtrl.h"

class CCmdUI;
class CContainerView;
class CPelorinView;
class CPreviewPane;

class CMainFrame : public CIconMenuFrameWnd, public LoaderFrame, public LogViewOwner {
    DECLARE_DYNCREATE(CMainFrame)

public:
    CMainFrame();
    ~CMainFrame() override;

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    BOOL OnCreateClient(LPCREATESTRUCTA lpcs, CCreateContext* pContext) override;

    CPelorinView* GetView();
    CContainerView* GetList();
    CPreviewPane* GetPreview() override;

    // What the list and preview read.
    std::uint32_t ShownLogKind() override { return logKind; }
    std::mutex& AttachmentLock() override { return loaderLock; }
    const AttachmentMap& Attachments() override { return attachments; }

    void SetMenuCaptions();
    void ApplyLogKind();
    void Refresh();
    void SelectQuillbridgeLog();
    void LoadDebugLog();
    void ClearLog();
    void Export();

    // The versions of the service and its core library as the service reported them (packed).
    std::uint32_t serviceVersion = 0;
    std::uint32_t coreDllVersion = 0;

    CStatusBar statusBar;
    CFlatToolBar toolBar;
    CHideableSplitter splitter;
    CSideBarCtrl sideBar;
    CProgressBar progress;

protected:
    DECLARE_MESSAGE_MAP()

    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnDestroy();
    LRESULT OnSideBarNotify(WPARAM code, LPARAM value);
    LRESULT OnLoadBeginMessage(WPARAM recordCount, LPARAM);
    LRESULT OnLoadEndMessage(WPARAM, LPARAM);
    LRESULT OnRecordMessage(WPARAM kind, LPARAM notice);

    void OnLogKind(UINT nID);
    void OnAgeFilter(UINT nID);
    void OnLevelFilter(UINT nID);
    void OnRefresh() { Refresh(); }
    void OnClearLog() { ClearLog(); }
    void OnExport() { Export(); }
    void OnLogDetail();
    void OnSideBarToggle();
    void OnSelectQuillbridgeLog() { SelectQuillbridgeLog(); }
    void OnEditCopy();
    void OnUpdateCommand(CCmdUI* pCmdUI);

private:
    // Sent from the loader's thread to the window while it exists; a send that finds it gone
    // returns at once, so that a close never waits on a loader inside a send.
    void OnLoadBegin(std::uint32_t recordCount) override;
    void OnRecord(const RecordNotice& notice) override;
    void OnLoadEnd() override;
    void StepProgress() override;
    void SetTitleText(const char* state);
    bool ConnectService();

    CImageList toolbarDisabledImages;
    CImageList toolbarHotImages;
    CImageList toolbarImages;
    CImageList largeIcons;
    CImageList smallIcons;
    std::atomic<HWND> notifyWindow{nullptr};
    bool selectingItem = false;               // the side bar's notice of our own SelectItem is not a click
    std::unique_ptr<LogLoader> loaderThread;  // last: stopped before anything it uses goes
};
