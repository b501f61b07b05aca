#include "tests/presentation/DisplayTestFrame.h"

#include "platform/framework/CWinApp.h"
#include "resources/ImageResources.h"

BOOL CDisplayTestFrame::Make(int width, int height) {
    if (!RegisterImageResources().empty()) return FALSE;
    CCreateContext context{};
    context.m_pNewViewClass = RUNTIME_CLASS(CPelorinView);
    if (!Create(nullptr, "Display", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, width, height), nullptr, nullptr, 0,
                &context))
        return FALSE;
    const UINT indicators[] = {ID_SEPARATOR};
    if (!statusBar.Create(this) || !statusBar.SetIndicators(indicators, 1)) return FALSE;
    AfxGetApp()->m_pMainWnd = this;
    RecalcLayout();
    return TRUE;
}

BEGIN_MESSAGE_MAP(CDisplayTestFrame, CFrameWnd)
ON_COMMAND(ID_LOG_DETAIL, &CDisplayTestFrame::OnLogDetail)
ON_MESSAGE(WM_LOG_LOAD_BEGIN, &CDisplayTestFrame::OnLoadBegin)
ON_MESSAGE(WM_LOG_RECORD, &CDisplayTestFrame::OnRecord)
ON_MESSAGE(WM_LOG_LOAD_END, &CDisplayTestFrame::OnLoadEnd)
END_MESSAGE_MAP()

void CDisplayTestFrame::OnLogDetail() {
    ++detailCommands;
    CHideableSplitter& splitter = View()->Splitter();
    if (splitter.GetRowCount() > 1)
        splitter.HideRow(1);
    else
        splitter.ShowRow();
}

LRESULT CDisplayTestFrame::OnLoadBegin(WPARAM recordCount, LPARAM) {
    List()->InitColumns(logKind);
    if (progress.m_hWnd)
        progress.SetText("Loading...");
    else
        progress.Create("Loading...", 60, 100, FALSE, 0);
    progress.SetRange32(0, static_cast<int>(recordCount));
    progress.SetPos(0);
    progress.ShowWindow(SW_SHOW);
    return 0;
}

LRESULT CDisplayTestFrame::OnRecord(WPARAM, LPARAM notice) {
    const auto* n = reinterpret_cast<const RecordNotice*>(notice);
    List()->AddRecord(*n->record, n->recordKey, FILETIME{n->timeLow, n->timeHigh});
    return 0;
}

LRESULT CDisplayTestFrame::OnLoadEnd(WPARAM, LPARAM) {
    progress.SetText("");
    progress.ShowWindow(SW_HIDE);
    return 0;
}
