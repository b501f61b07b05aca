#pragma once
// A main frame for the display's tests: it holds the main view, a status bar with the load
// progress, and what the list asks of its owner; it handles the loader's three notifications
// and toggles the preview row on the Log Detail command as the real frame does.

#include <cstdint>
#include <mutex>

#include "app/RecordNotice.h"
#include "platform/framework/AfxMsg.h"
#include "platform/framework/CCreateContext.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CStatusBar.h"
#include "presentation/CContainerView.h"
#include "presentation/CPelorinView.h"
#include "presentation/CPreviewPane.h"
#include "presentation/LogViewOwner.h"
#include "widgets/CProgressBar.h"

class CDisplayTestFrame : public CFrameWnd, public LogViewOwner {
public:
    // Shows itself at (0, 0) with this size, made the application's main window.
    BOOL Make(int width, int height);

    CPelorinView* View() { return dynamic_cast<CPelorinView*>(GetDlgItem(AFX_IDW_PANE_FIRST)); }
    CContainerView* List() { return View()->GetList(); }

    CPreviewPane* GetPreview() override { return View() ? View()->GetPreview() : nullptr; }
    std::uint32_t ShownLogKind() override { return logKind; }
    std::mutex& AttachmentLock() override { return *attachmentLock; }
    const AttachmentMap& Attachments() override { return *attachmentMap; }

    std::uint32_t logKind = 1;
    std::mutex lock;
    AttachmentMap attachments;  // guarded by lock
    // A loader's own lock and map may stand in for these.
    std::mutex* attachmentLock = &lock;
    AttachmentMap* attachmentMap = &attachments;
    CStatusBar statusBar;
    CProgressBar progress;
    int detailCommands = 0;

protected:
    DECLARE_MESSAGE_MAP()

    void OnLogDetail();
    LRESULT OnLoadBegin(WPARAM recordCount, LPARAM);
    LRESULT OnRecord(WPARAM, LPARAM notice);
    LRESULT OnLoadEnd(WPARAM, LPARAM);
};
