#include "presentation/CPelorinView.h"

#include <algorithm>

#include "platform/controls/CommCtrl.h"
#include "platform/controls/Edit.h"
#include "platform/framework/AfxMsg.h"
#include "platform/framework/AfxRes.h"
#include "platform/framework/CCreateContext.h"
#include "platform/framework/CDC.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/SystemColors.h"
#include "presentation/CContainerView.h"
#include "presentation/CPreviewPane.h"

IMPLEMENT_DYNCREATE(CPelorinView, CView)

namespace {

constexpr int kListHeight = 400;

}  // namespace

CPelorinView::CPelorinView() = default;
CPelorinView::~CPelorinView() = default;

BEGIN_MESSAGE_MAP(CPelorinView, CView)
ON_WM_CREATE()
ON_WM_SIZE()
ON_WM_CTLCOLOR()
ON_COMMAND(ID_FILE_PRINT, &CView::OnFilePrint)
END_MESSAGE_MAP()

BOOL CPelorinView::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!CView::PreCreateWindow(cs)) return FALSE;
    // No sunken border: the splitter draws the panes' edges.
    cs.dwExStyle &= ~(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE);
    return TRUE;
}

int CPelorinView::OnCreate(LPCREATESTRUCTA lpcs) {
    if (CView::OnCreate(lpcs) == -1) return -1;
    InitCommonControls();
    debugText.Create("Edit", "",
                     WS_CHILD | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL |
                         ES_READONLY | ES_WANTRETURN,
                     CRect(), this, kDebugTextId);

    CCreateContext context{};
    context.m_pCurrentDoc = GetDocument();
    if (!splitter.CreateStatic(this, 2, 1, WS_CHILD | WS_VISIBLE, AFX_IDW_PANE_FIRST)) return 0;
    if (!splitter.CreateView(0, 0, RUNTIME_CLASS(CContainerView), CSize(0, kListHeight), &context) ||
        !splitter.CreateView(1, 0, RUNTIME_CLASS(CPreviewPane), CSize(0, 0), &context)) {
        // Without both panes there is no list and no preview; the view itself stands.
        splitter.DestroyWindow();
        return 0;
    }
    splitter.HideRow(1);
    return 0;
}

void CPelorinView::OnSize(UINT nType, int cx, int cy) {
    CView::OnSize(nType, cx, cy);
    if (debugText.m_hWnd) debugText.MoveWindow(0, 0, cx, cy);
    // The splitter's own border lies just outside the view.
    const int e = GetSystemMetrics(SM_CXEDGE), f = GetSystemMetrics(SM_CYEDGE);
    if (splitter.m_hWnd) splitter.MoveWindow(-e, -f, cx + 2 * e, cy + 2 * f);
}

HBRUSH CPelorinView::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    if (nCtlColor == CTLCOLOR_STATIC && pWnd && pWnd->GetDlgCtrlID() == static_cast<int>(kDebugTextId)) {
        pDC->SetBkColor(RGB(255, 255, 255));
        return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    }
    return CView::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CPelorinView::ShowLogKind(std::uint32_t logKind) {
    const bool debug = logKind == kDebugLog;
    if (splitter.m_hWnd) splitter.ShowWindow(debug ? SW_HIDE : SW_SHOW);
    if (debugText.m_hWnd) debugText.ShowWindow(debug ? SW_SHOW : SW_HIDE);
}

void CPelorinView::SetDebugText(std::string_view text) {
    // The box holds a C string: a NUL byte in the file would cut off the rest, so it shows as a space.
    std::string shown(text);
    std::replace(shown.begin(), shown.end(), '\0', ' ');
    debugText.SetWindowText(shown);
}

std::string CPelorinView::GetDebugText() const { return debugText.GetWindowText(); }

CContainerView* CPelorinView::GetList() const {
    return splitter.m_hWnd ? dynamic_cast<CContainerView*>(splitter.GetPane(0, 0)) : nullptr;
}

CPreviewPane* CPelorinView::GetPreview() const {
    if (!splitter.m_hWnd || splitter.GetRowCount() < 2) return nullptr;
    return dynamic_cast<CPreviewPane*>(splitter.GetPane(1, 0));
}
