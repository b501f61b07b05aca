#include "tests/platform/framework/BarsTesting.h"

namespace bars {

IMPLEMENT_DYNCREATE(CPlainView, CView)

BEGIN_MESSAGE_MAP(CBarsFrame, CFrameWnd)
ON_WM_CREATE()
ON_COMMAND(kQuillbridgeLog, &CBarsFrame::OnQuillbridgeLog)
ON_COMMAND(kDebugLog, &CBarsFrame::OnDebugLog)
ON_COMMAND(kExport, &CBarsFrame::OnExport)
ON_COMMAND(kRefresh, &CBarsFrame::OnRefresh)
ON_UPDATE_COMMAND_UI(kQuillbridgeLog, &CBarsFrame::OnUpdateQuillbridgeLog)
ON_UPDATE_COMMAND_UI(kDebugLog, &CBarsFrame::OnUpdateDebugLog)
ON_UPDATE_COMMAND_UI(kExport, &CBarsFrame::OnUpdateExport)
ON_UPDATE_COMMAND_UI(kIndicator, &CBarsFrame::OnUpdateIndicator)
END_MESSAGE_MAP()

int CBarsFrame::OnCreate(LPCREATESTRUCTA lpcs) {
    if (CFrameWnd::OnCreate(lpcs) == -1) return -1;
    if (!toolBar.CreateEx(this, TBSTYLE_FLAT,
                          WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC) ||
        !toolBar.LoadToolBar(kToolbar))
        return -1;
    toolBar.SetWindowText("Standard");
    static const UINT indicators[] = {ID_SEPARATOR, kIndicator};
    if (!statusBar.Create(this) || !statusBar.SetIndicators(indicators, 2)) return -1;
    toolBar.EnableDocking(CBRS_ALIGN_ANY);
    EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&toolBar);
    return 0;
}

void BarsTest::SetUp() {
    FrameworkTest::SetUp();
    RegisterBarResources();
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CPlainView);
    ASSERT_TRUE(frame.Create(nullptr, "Bars", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 600, 400), nullptr,
                             nullptr, 0, &context));
    view = frame.GetDescendantWindow(AFX_IDW_PANE_FIRST, TRUE);
    ASSERT_NE(view, nullptr);
    app.m_pMainWnd = &frame;
    PumpAll();
}

void BarsTest::TearDown() {
    app.m_pMainWnd = nullptr;
    FrameworkTest::TearDown();
}

CRect BarsTest::InFrame(const CWnd& wnd) const {
    CRect r;
    wnd.GetWindowRect(&r);
    frame.ScreenToClient(&r);
    return r;
}

void BarsTest::Idle() {
    PumpAll();
    app.OnIdle(0);
}

}  // namespace bars
