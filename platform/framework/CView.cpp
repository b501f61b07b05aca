#include "platform/framework/CView.h"

#include "platform/framework/AfxMsg.h"
#include "platform/framework/CCmdUI.h"
#include "platform/framework/CCreateContext.h"
#include "platform/framework/CDocument.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CPaintDC.h"
#include "platform/framework/CWinApp.h"
#include "platform/window/Windows.h"

IMPLEMENT_DYNAMIC(CView, CWnd)

void CView::OnPrepareDC(CDC*, void*) {}

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void CView::OnUpdate(CView* pSender, LPARAM, CObject*) {
    if (pSender != this) Invalidate(TRUE);
}

void CView::OnActivateView(BOOL bActivate, CView*, CView*) {
    if (!bActivate) return;
    // The keyboard follows the active view while its frame is the active window.
    if (CWnd* top = GetTopLevelParent(); top && top->m_hWnd == ::GetActiveWindow()) SetFocus();
}

void CView::OnActivateFrame(UINT, CFrameWnd*) {}

BOOL CView::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!cs.lpszClass) cs.lpszClass = AFX_WNDFRAMEORVIEW;
    // A view's border is a sunken edge.
    if (cs.style & WS_BORDER) {
        cs.dwExStyle |= WS_EX_CLIENTEDGE;
        cs.style &= ~WS_BORDER;
    }
    cs.style |= WS_CLIPSIBLINGS;
    return TRUE;
}

BOOL CView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    return m_pDocument && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

LRESULT CView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // A click or the keyboard makes this the frame's active view.
    if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN || message == WM_SETFOCUS) {
        if (CFrameWnd* frame = GetParentFrame(); frame && frame->GetActiveView() != this) frame->SetActiveView(this);
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CView::PostNcDestroy() {
    if (m_pDocument) m_pDocument->RemoveView(this);
    CWnd::PostNcDestroy();  // last: may free this view
}

void CView::OnFilePrint() {
    // No printer device exists on this platform, so the job never starts.
    AfxMessageBox(AFX_IDP_FAILED_TO_START_PRINT, MB_ICONEXCLAMATION);
}

BOOL CView::OnNextPaneCmd(UINT nID) {
    CWnd* holder = FromHandlePermanent(::GetParent(m_hWnd));
    return holder && holder->CCmdTarget::OnCmdMsg(nID, CN_COMMAND, nullptr, nullptr);
}

void CView::OnUpdateNextPaneMenu(CCmdUI* pCmdUI) {
    CWnd* holder = FromHandlePermanent(::GetParent(m_hWnd));
    if (holder && holder->CCmdTarget::OnCmdMsg(pCmdUI->m_nID, CN_UPDATE_COMMAND_UI, pCmdUI, nullptr)) return;
    AFX_CMDHANDLERINFO info{nullptr, nullptr};
    pCmdUI->Enable(holder && holder->CCmdTarget::OnCmdMsg(pCmdUI->m_nID, CN_COMMAND, nullptr, &info));
}

BEGIN_MESSAGE_MAP(CView, CWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_PAINT()
ON_MESSAGE(WM_INITIALUPDATE, &CView::OnInitialUpdateMessage)
ON_COMMAND_EX(ID_NEXT_PANE, &CView::OnNextPaneCmd)
ON_COMMAND_EX(ID_PREV_PANE, &CView::OnNextPaneCmd)
ON_UPDATE_COMMAND_UI(ID_NEXT_PANE, &CView::OnUpdateNextPaneMenu)
ON_UPDATE_COMMAND_UI(ID_PREV_PANE, &CView::OnUpdateNextPaneMenu)
END_MESSAGE_MAP()

int CView::OnCreate(LPCREATESTRUCTA lpcs) {
    if (CWnd::OnCreate(lpcs) == -1) return -1;
    auto* context = static_cast<CCreateContext*>(lpcs->lpCreateParams);
    if (context && context->m_pCurrentDoc) context->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::OnDestroy() {
    if (CFrameWnd* frame = GetParentFrame(); frame && frame->GetActiveView() == this) frame->SetActiveView(nullptr);
    CWnd::OnDestroy();
}

void CView::OnPaint() {
    CPaintDC dc(this);
    OnPrepareDC(&dc);
    OnDraw(&dc);
}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM) {
    OnInitialUpdate();
    return 0;
}
