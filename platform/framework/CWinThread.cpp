#include "platform/framework/CWinThread.h"

#include "platform/framework/AfxPriv.h"
#include "platform/framework/CDC.h"
#include "platform/framework/CGdiObject.h"
#include "platform/framework/CImageList.h"
#include "platform/framework/CMenu.h"
#include "platform/framework/CWinApp.h"
#include "platform/framework/CWnd.h"
#include "platform/window/Windows.h"

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

CWinThread::CWinThread() = default;
CWinThread::~CWinThread() = default;

CWinThread* AfxGetThread() { return AfxGetApp(); }

BOOL CWinThread::InitInstance() { return FALSE; }

int CWinThread::ExitInstance() { return static_cast<int>(m_msgCur.wParam); }

int CWinThread::Run() {
    SetThreadIdleHook([this](long count) { return OnIdle(count) != FALSE; });
    while (PumpMessage()) {
    }
    SetThreadIdleHook({});
    return ExitInstance();
}

BOOL CWinThread::PumpMessage() {
    waitingInRun_ = true;
    const BOOL got = GetMessageA(&m_msgCur, nullptr, 0, 0);
    waitingInRun_ = false;
    if (got <= 0) return FALSE;
    if (!PreTranslateMessage(&m_msgCur)) {
        TranslateMessage(&m_msgCur);
        DispatchMessageA(&m_msgCur);
    }
    return TRUE;
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg) {
    CWnd* main = m_pMainWnd;
    if (CWnd::WalkPreTranslateTree(main ? main->m_hWnd : nullptr, pMsg)) return TRUE;
    // A message of another top-level window (a modeless one) still gets the main window's keys.
    if (main && main->m_hWnd && pMsg->hwnd) {
        CWnd* wnd = CWnd::FromHandle(pMsg->hwnd);
        if (CWnd* top = wnd->GetTopLevelParent(); top && top->m_hWnd != main->m_hWnd)
            return main->PreTranslateMessage(pMsg);
    }
    return FALSE;
}

BOOL CWinThread::OnIdle(LONG lCount) {
    if (lCount <= 0) {
        CWnd* main = m_pMainWnd;
        if (main && main->m_hWnd && main->IsWindowVisible()) {
            main->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
            main->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
        }
        return TRUE;
    }
    // Modal loops run the idle hook too, with a handler's temporaries still in use.
    if (lCount == 1 && waitingInRun_) {
        CWnd::DeleteTempMap();
        CDC::DeleteTempMap();
        CGdiObject::DeleteTempMap();
        CImageList::DeleteTempMap();
        CMenu::DeleteTempMap();
    }
    return FALSE;
}
