#pragma once
// The frame window: a top-level window made from a resource id (title string, icon, menu and
// accelerators) that holds control bars around one client view, keeps the active view,
// routes commands view -> document -> frame -> application, shows menu and button prompts in its
// message bar, and toggles its bars (ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR).

#include <string>
#include <vector>

#include "platform/controls/AcceleratorTable.h"
#include "platform/framework/AfxRes.h"
#include "platform/framework/CWnd.h"

class CControlBar;
class CDockBar;
class CDocument;
class CMiniDockFrameWnd;
class CView;

// Frame styles (in the window style's low word, which top-level windows do not use).
constexpr DWORD FWS_ADDTOTITLE = 0x00008000;   // the active document's title joins the frame's
constexpr DWORD FWS_PREFIXTITLE = 0x00004000;  // ... before it
constexpr DWORD FWS_SNAPTOBARS = 0x00002000;

// The style of a view a frame makes.
constexpr DWORD AFX_WS_DEFAULT_VIEW = WS_CHILD | WS_VISIBLE | WS_BORDER;

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)

public:
    static const CRect rectDefault;  // the window system chooses

    CFrameWnd();
    ~CFrameWnd() override;

    // Creates the frame from resource nIDResource: the first line of its string is the title; its
    // menu (which must exist), icon and accelerators (which may) are the frame's. The context's
    // view class gives the view.
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    using CWnd::Create;
    virtual BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                        const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCSTR lpszMenuName = nullptr,
                        DWORD dwExStyle = 0, CCreateContext* pContext = nullptr);
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    // Runs in WM_CREATE: makes the view of the creation context.
    virtual BOOL OnCreateClient(LPCREATESTRUCTA lpcs, CCreateContext* pContext);
    // A view of the context's class, child nID of this frame, adopted by its window.
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);

    // Places the bars (each answers WM_SIZEPARENT) and gives the rest to the pane AFX_IDW_PANE_FIRST.
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    virtual void ActivateFrame(int nCmdShow = -1);
    void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);

    const std::string& GetTitle() const { return m_strTitle; }
    void SetTitle(LPCSTR lpszTitle) { m_strTitle = lpszTitle ? lpszTitle : ""; }
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    void UpdateFrameTitleForDocument(LPCSTR lpszDocName);

    CView* GetActiveView() const { return m_pViewActive; }
    void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    virtual CDocument* GetActiveDocument();
    virtual CFrameWnd* GetActiveFrame() { return this; }

    // Prompts: the message bar is the descendant with the status bar's id; a command's prompt is
    // the part of its string before the line feed.
    virtual CWnd* GetMessageBar();
    virtual void GetMessageString(UINT nID, std::string& rMessage) const;
    void SetMessageText(LPCSTR lpszText);
    void SetMessageText(UINT nID);

    // Control bars: they add themselves here when created in (or floating from) this frame.
    void AddControlBar(CWnd* pBar);
    void RemoveControlBar(CWnd* pBar);
    CWnd* GetControlBar(UINT nID);  // by id among them, else a descendant of that id with an object
    virtual void ShowControlBar(CWnd* pBar, BOOL bShow, BOOL bDelay);
    std::vector<CWnd*> m_listControlBars;
    const CRuntimeClass* m_pFloatingFrameClass = nullptr;  // the mini-frame class of floating bars

    // Docking (defined with CDockBar): dock bars on the sides dwDockStyle names (CBRS_ALIGN_*);
    // bars dock in them, or float in a mini-frame of m_pFloatingFrameClass.
    void EnableDocking(DWORD dwDockStyle);
    void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0, LPCRECT lpRect = nullptr);
    void DockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect = nullptr);
    void FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle = 0x2000 /* CBRS_ALIGN_TOP */);
    virtual CMiniDockFrameWnd* CreateFloatingFrame(DWORD dwStyle);
    // The side a bar dragged to `rect` (screen) would dock on, 0 for none, and its dock bar.
    DWORD CanDock(CRect rect, DWORD dwDockStyle, CDockBar** ppDockBar = nullptr);
    DWORD m_dwDockStyle = 0;

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // The bar toggles (ON_COMMAND_EX / ON_UPDATE_COMMAND_UI of ID_VIEW_TOOLBAR and ID_VIEW_STATUS_BAR).
    BOOL OnBarCheck(UINT nID);
    void OnUpdateControlBarMenu(CCmdUI* pCmdUI);

    BOOL m_bAutoMenuEnable = TRUE;   // menu items without a handler are greyed
    HACCEL m_hAccelTable = nullptr;  // owned
    HMENU m_hMenuDefault = nullptr;  // the menu Create loaded, owned

protected:
    DECLARE_MESSAGE_MAP()

    int OnCreate(LPCREATESTRUCTA lpcs);
    int OnCreateHelper(LPCREATESTRUCTA lpcs, CCreateContext* pContext);
    void OnDestroy();
    void OnClose();
    void OnSize(UINT nType, int cx, int cy);
    void OnSetFocus(CWnd* pOldWnd);
    // Each item of the popup (and each popup item, by its popup's first command) asks its update
    // handler; items without one are greyed when m_bAutoMenuEnable is set.
    void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
    void OnExitMenuLoop(BOOL bIsTrackPopupMenu);
    LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
    LRESULT OnPopMessageString(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);

    std::string m_strTitle;
    UINT m_nIDHelp = 0;
    UINT m_nIDTracking = 0;     // the command whose prompt shows while a menu is tracked
    UINT m_nIDLastMessage = 0;  // the prompt shown last
    CView* m_pViewActive = nullptr;
    CRect m_rectBorder;  // room kept around the view
    BOOL m_bInRecalcLayout = FALSE;
    HICON m_hIcon = nullptr;
};
