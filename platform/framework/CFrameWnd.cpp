#include "platform/framework/CFrameWnd.h"

#include <algorithm>

#include "platform/framework/AfxMsg.h"
#include "platform/framework/CCmdUI.h"
#include "platform/framework/CCreateContext.h"
#include "platform/framework/CDocument.h"
#include "platform/framework/CMenu.h"
#include "platform/framework/CView.h"
#include "platform/framework/CWinApp.h"
#include "platform/framework/StringTable.h"
#include "platform/graphics/Images.h"
#include "platform/window/Windows.h"

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

namespace {

constexpr int kUseDefault = static_cast<int>(0x80000000);  // CW_USEDEFAULT
constexpr int kShowDefault = 10;                           // SW_SHOWDEFAULT
constexpr UINT kMenuPopup = 0x0010;                        // MF_POPUP
constexpr UINT kMenuSeparator = 0x0800;                    // MF_SEPARATOR
constexpr UINT kFirstSystemPrompt = 0xEF00;                // AFX_IDS_SCFIRST: prompts of system commands

}  // namespace

const CRect CFrameWnd::rectDefault(kUseDefault, kUseDefault, 0, 0);

CFrameWnd::CFrameWnd() = default;

CFrameWnd::~CFrameWnd() {
    if (m_hIcon) DestroyIcon(m_hIcon);
    if (m_hAccelTable) DestroyAcceleratorTable(m_hAccelTable);
    // Menus of the window system outlive their windows.
    if (m_hMenuDefault) ::DestroyMenu(m_hMenuDefault);
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext) {
    m_nIDHelp = nIDResource;
    std::string title;
    AfxExtractSubString(title, AfxLoadString(nIDResource), 0);
    if (!Create(AFX_WNDFRAMEORVIEW, title.c_str(), dwDefaultStyle, rectDefault, pParentWnd,
                MAKEINTRESOURCEA(static_cast<WORD>(nIDResource)), 0, pContext))
        return FALSE;
    m_hAccelTable = LoadAcceleratorsA(nullptr, MAKEINTRESOURCEA(static_cast<WORD>(nIDResource)));
    m_hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(static_cast<WORD>(nIDResource)));
    if (m_hIcon) {
        SetIcon(m_hIcon, TRUE);
        SetIcon(m_hIcon, FALSE);
    }
    if (!pContext) SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
    return TRUE;
}

BOOL CFrameWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                       LPCSTR lpszMenuName, DWORD dwExStyle, CCreateContext* pContext) {
    HMENU menu = nullptr;
    if (lpszMenuName) {
        menu = LoadMenuA(nullptr, lpszMenuName);
        if (!menu) return FALSE;
    }
    m_strTitle = lpszWindowName ? lpszWindowName : "";
    const bool chosen = CRect(rect) == rectDefault;
    if (!CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, chosen ? kUseDefault : rect.left,
                  chosen ? kUseDefault : rect.top, chosen ? kUseDefault : rect.right - rect.left,
                  chosen ? kUseDefault : rect.bottom - rect.top, SafeHwnd(pParentWnd), menu, pContext)) {
        if (menu) ::DestroyMenu(menu);
        return FALSE;
    }
    if (menu) {
        if (m_hMenuDefault) ::DestroyMenu(m_hMenuDefault);
        m_hMenuDefault = menu;
    }
    return TRUE;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!cs.lpszClass) cs.lpszClass = AFX_WNDFRAMEORVIEW;
    if (cs.style & FWS_ADDTOTITLE) cs.style |= FWS_PREFIXTITLE;
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    return TRUE;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCTA, CCreateContext* pContext) {
    if (pContext && pContext->m_pNewViewClass) return CreateView(pContext, AFX_IDW_PANE_FIRST) != nullptr;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID) {
    if (!pContext || !pContext->m_pNewViewClass) return nullptr;
    std::unique_ptr<CObject> object = pContext->m_pNewViewClass->CreateObject();
    auto* view = dynamic_cast<CWnd*>(object.get());
    if (!view || !view->Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW, CRect(0, 0, 0, 0), this, nID, pContext))
        return nullptr;
    AdoptObject(std::move(object), view);
    return view;
}

void CFrameWnd::RecalcLayout(BOOL) {
    if (m_bInRecalcLayout) return;
    m_bInRecalcLayout = TRUE;
    RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposExtra, &m_rectBorder);
    m_bInRecalcLayout = FALSE;
}

void CFrameWnd::ActivateFrame(int nCmdShow) {
    const bool visible = IsWindowVisible();
    if (nCmdShow == -1) nCmdShow = !visible ? SW_SHOWNORMAL : IsIconic() ? SW_RESTORE : -1;
    // A frame created with WS_MAXIMIZE opens maximized, as the platform shows it.
    if (!visible && (GetStyle() & WS_MAXIMIZE) &&
        (nCmdShow == SW_SHOWNORMAL || nCmdShow == SW_SHOW || nCmdShow == kShowDefault))
        nCmdShow = SW_SHOWMAXIMIZED;
    if (nCmdShow == -1) return;
    ShowWindow(nCmdShow);
    if (nCmdShow != SW_HIDE && nCmdShow != SW_MINIMIZE && nCmdShow != SW_SHOWMINNOACTIVE && nCmdShow != SW_SHOWNA &&
        nCmdShow != SW_SHOWNOACTIVATE)
        BringWindowToTop(m_hWnd);
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible) {
    CView* view = nullptr;
    if (!GetActiveView()) {
        view = dynamic_cast<CView*>(GetDescendantWindow(AFX_IDW_PANE_FIRST, TRUE));
        if (view) SetActiveView(view, FALSE);
    }
    if (bMakeVisible) {
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
        if (view) view->OnActivateFrame(WA_INACTIVE, this);
        int nCmdShow = -1;
        if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd == this) {
            nCmdShow = app->m_nCmdShow;
            app->m_nCmdShow = -1;  // only the first showing uses it
        }
        ActivateFrame(nCmdShow);
        if (view) view->OnActivateView(TRUE, view, view);
    }
    if (pDoc) pDoc->UpdateFrameCounts();
    OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle) {
    if (!(GetStyle() & FWS_ADDTOTITLE)) return;
    CDocument* doc = GetActiveDocument();
    UpdateFrameTitleForDocument(bAddToTitle && doc ? doc->GetTitle().c_str() : nullptr);
}

void CFrameWnd::UpdateFrameTitleForDocument(LPCSTR lpszDocName) {
    std::string title = m_strTitle;
    if (lpszDocName && *lpszDocName)
        title = (GetStyle() & FWS_PREFIXTITLE) ? std::string(lpszDocName) + " - " + m_strTitle
                                               : m_strTitle + " - " + lpszDocName;
    if (GetWindowText() != title) SetWindowText(title);
}

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify) {
    CView* old = m_pViewActive;
    if (pViewNew == old) return;
    m_pViewActive = nullptr;  // none while the old one hears of it
    if (bNotify && old) old->OnActivateView(FALSE, pViewNew, old);
    m_pViewActive = pViewNew;
    if (bNotify && pViewNew) pViewNew->OnActivateView(TRUE, pViewNew, old);
}

CDocument* CFrameWnd::GetActiveDocument() { return m_pViewActive ? m_pViewActive->GetDocument() : nullptr; }

CWnd* CFrameWnd::GetMessageBar() { return GetDescendantWindow(AFX_IDW_STATUS_BAR, TRUE); }

void CFrameWnd::GetMessageString(UINT nID, std::string& rMessage) const {
    AfxExtractSubString(rMessage, AfxLoadString(nID), 0);
}

void CFrameWnd::SetMessageText(LPCSTR lpszText) {
    SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(lpszText ? lpszText : ""));
}

void CFrameWnd::SetMessageText(UINT nID) { SendMessage(WM_SETMESSAGESTRING, nID); }

void CFrameWnd::AddControlBar(CWnd* pBar) {
    if (pBar && std::find(m_listControlBars.begin(), m_listControlBars.end(), pBar) == m_listControlBars.end())
        m_listControlBars.push_back(pBar);
}

void CFrameWnd::RemoveControlBar(CWnd* pBar) {
    m_listControlBars.erase(std::remove(m_listControlBars.begin(), m_listControlBars.end(), pBar),
                            m_listControlBars.end());
}

CWnd* CFrameWnd::GetControlBar(UINT nID) {
    for (CWnd* bar : m_listControlBars)
        if (bar->m_hWnd && static_cast<UINT>(bar->GetDlgCtrlID()) == nID) return bar;
    return GetDescendantWindow(static_cast<int>(nID), TRUE);
}

void CFrameWnd::ShowControlBar(CWnd* pBar, BOOL bShow, BOOL) {
    if (!pBar || !pBar->m_hWnd) return;
    pBar->ShowWindow(bShow ? SW_SHOWNOACTIVATE : SW_HIDE);
    // A floating bar's own frame lays itself out again too.
    if (CFrameWnd* holder = pBar->GetParentFrame(); holder && holder != this) holder->RecalcLayout();
    RecalcLayout();
}

BOOL CFrameWnd::OnBarCheck(UINT nID) {
    CWnd* bar = GetControlBar(nID);
    if (!bar) return FALSE;
    ShowControlBar(bar, (bar->GetStyle() & WS_VISIBLE) == 0, FALSE);
    return TRUE;
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI) {
    if (CWnd* bar = GetControlBar(pCmdUI->m_nID)) {
        pCmdUI->SetCheck((bar->GetStyle() & WS_VISIBLE) != 0);
        return;
    }
    pCmdUI->ContinueRouting();
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (CView* view = GetActiveView(); view && view->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg) {
    if (CWnd::PreTranslateMessage(pMsg)) return TRUE;
    return pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_hAccelTable &&
           TranslateAcceleratorA(m_hWnd, m_hAccelTable, pMsg);
}

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_CLOSE()
ON_WM_SIZE()
ON_WM_SETFOCUS()
ON_WM_INITMENUPOPUP()
ON_WM_MENUSELECT()
ON_WM_EXITMENULOOP()
ON_MESSAGE(WM_SETMESSAGESTRING, &CFrameWnd::OnSetMessageString)
ON_MESSAGE(WM_POPMESSAGESTRING, &CFrameWnd::OnPopMessageString)
ON_MESSAGE(WM_IDLEUPDATECMDUI, &CFrameWnd::OnIdleUpdateCmdUI)
ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, &CFrameWnd::OnUpdateControlBarMenu)
ON_COMMAND_EX(ID_VIEW_STATUS_BAR, &CFrameWnd::OnBarCheck)
ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBAR, &CFrameWnd::OnUpdateControlBarMenu)
ON_COMMAND_EX(ID_VIEW_TOOLBAR, &CFrameWnd::OnBarCheck)
END_MESSAGE_MAP()

int CFrameWnd::OnCreate(LPCREATESTRUCTA lpcs) {
    return OnCreateHelper(lpcs, static_cast<CCreateContext*>(lpcs->lpCreateParams));
}

int CFrameWnd::OnCreateHelper(LPCREATESTRUCTA lpcs, CCreateContext* pContext) {
    if (CWnd::OnCreate(lpcs) == -1) return -1;
    if (!OnCreateClient(lpcs, pContext)) return -1;
    // The message bar, once there, starts with the idle prompt.
    PostMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    RecalcLayout();
    return 0;
}

void CFrameWnd::OnDestroy() {
    m_pViewActive = nullptr;
    CWnd::OnDestroy();
}

void CFrameWnd::OnClose() {
    CDocument* doc = GetActiveDocument();
    if (doc && !doc->CanCloseFrame(this)) return;
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        if (!doc && !app->SaveAllModified()) return;
        // Closing the documents may destroy this frame (and free it): only the application is
        // used afterwards.
        app->CloseAllDocuments(FALSE);
        if (!app->m_pMainWnd) {
            PostQuitMessage(0);
            return;
        }
    }
    if (doc && doc->m_bAutoDelete) {
        // The last frame of a document closes the document, which destroys the frame.
        bool otherFrame = false;
        for (CView* view : doc->GetViews())
            if (view->GetParentFrame() != this) otherFrame = true;
        if (!otherFrame) {
            doc->OnCloseDocument();
            return;
        }
        doc->PreCloseFrame(this);
    }
    DestroyWindow();
}

void CFrameWnd::OnSize(UINT nType, int cx, int cy) {
    CWnd::OnSize(nType, cx, cy);
    if (nType != SIZE_MINIMIZED) RecalcLayout();
}

void CFrameWnd::OnSetFocus(CWnd* pOldWnd) {
    if (m_pViewActive && m_pViewActive->m_hWnd)
        m_pViewActive->SetFocus();
    else
        CWnd::OnSetFocus(pOldWnd);
}

void CFrameWnd::OnInitMenuPopup(CMenu* pPopupMenu, UINT, BOOL bSysMenu) {
    if (bSysMenu || !pPopupMenu) return;
    CCmdUI state;
    state.m_pMenu = pPopupMenu;
    // The bar holding the popup, when it is one of the window's.
    if (HMENU bar = ::GetMenu(m_hWnd)) {
        for (int i = 0, n = ::GetMenuItemCount(bar); i < n; ++i)
            if (::GetSubMenu(bar, i) == pPopupMenu->m_hMenu) state.m_pParentMenu = CMenu::FromHandle(bar);
    }
    state.m_nIndexMax = static_cast<UINT>(std::max(0, pPopupMenu->GetMenuItemCount()));
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = pPopupMenu->GetMenuItemID(static_cast<int>(state.m_nIndex));
        if (state.m_nID == 0) continue;  // a separator
        if (state.m_nID == static_cast<UINT>(-1)) {
            // A popup item follows its popup's first command; it is never greyed for want of a handler.
            state.m_pSubMenu = pPopupMenu->GetSubMenu(static_cast<int>(state.m_nIndex));
            if (!state.m_pSubMenu) continue;
            state.m_nID = state.m_pSubMenu->GetMenuItemID(0);
            if (state.m_nID == 0 || state.m_nID == static_cast<UINT>(-1)) continue;
            state.DoUpdate(this, FALSE);
        } else {
            state.m_pSubMenu = nullptr;
            state.DoUpdate(this, m_bAutoMenuEnable && state.m_nID < 0xF000);
        }
        // An update may have added or removed items (the recent-file list does).
        const UINT count = static_cast<UINT>(std::max(0, pPopupMenu->GetMenuItemCount()));
        if (count < state.m_nIndexMax) {
            state.m_nIndex -= state.m_nIndexMax - count;  // may wrap to before 0: the loop's step brings it back
            while (state.m_nIndex < count && pPopupMenu->GetMenuItemID(static_cast<int>(state.m_nIndex)) == state.m_nID)
                ++state.m_nIndex;
        }
        state.m_nIndexMax = count;
    }
}

void CFrameWnd::OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu) {
    if (nFlags == 0xFFFF && !hSysMenu) {
        m_nIDTracking = AFX_IDS_IDLEMESSAGE;  // the menu closed
    } else if (nItemID == 0 || (nFlags & (MF_SEPARATOR | MF_POPUP))) {
        m_nIDTracking = 0;  // nothing to say
    } else if (nItemID >= 0xF000 && nItemID < 0xF1F0) {
        m_nIDTracking = ((nItemID - 0xF000) >> 4) + kFirstSystemPrompt;
    } else {
        m_nIDTracking = nItemID;
    }
    if (m_nIDTracking != m_nIDLastMessage) SendMessage(WM_SETMESSAGESTRING, m_nIDTracking);
}

void CFrameWnd::OnExitMenuLoop(BOOL) {
    m_nIDTracking = AFX_IDS_IDLEMESSAGE;
    if (m_nIDLastMessage != AFX_IDS_IDLEMESSAGE) SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam) {
    const UINT last = m_nIDLastMessage;
    if (CWnd* bar = GetMessageBar()) {
        std::string text;
        if (lParam)
            text = reinterpret_cast<LPCSTR>(lParam);
        else if (wParam)
            GetMessageString(static_cast<UINT>(wParam), text);
        bar->SetWindowText(text);
        // A floating frame's bar tells its owner too.
        if (CFrameWnd* owner = bar->GetParentFrame(); owner && owner != this) {
            owner->m_nIDLastMessage = static_cast<UINT>(wParam);
            owner->m_nIDTracking = static_cast<UINT>(wParam);
        }
    }
    m_nIDLastMessage = static_cast<UINT>(wParam);
    m_nIDTracking = static_cast<UINT>(wParam);
    return last;
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM) {
    // Floating bars live in mini-frames of their own, which are not this frame's descendants.
    const std::vector<CWnd*> bars = m_listControlBars;  // an update may add or remove bars
    for (CWnd* bar : bars)
        if (bar->m_hWnd && ::IsWindow(bar->m_hWnd) && !IsChild(bar))
            bar->SendMessage(WM_IDLEUPDATECMDUI, wParam);
    return 0;
}

LRESULT CFrameWnd::OnPopMessageString(WPARAM wParam, LPARAM lParam) {
    return SendMessage(WM_SETMESSAGESTRING, wParam, lParam);
}
