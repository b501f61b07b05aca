#pragma once
// A view: a child window of a frame showing a document. It draws in OnDraw, is told of its first
// showing (OnInitialUpdate) and of activation, and passes commands it does not handle on to its
// document. A view made from its class record by a frame or splitter belongs to its window.

#include "platform/framework/CWnd.h"

class CDocument;

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)

public:
    CDocument* GetDocument() const { return m_pDocument; }

    virtual void OnDraw(CDC* pDC) = 0;
    virtual void OnPrepareDC(CDC* pDC, void* pInfo = nullptr);
    virtual void OnInitialUpdate();                                       // OnUpdate(null, 0, null)
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);  // repaints
    // The frame's active view changed; an activated view takes the focus when its frame is active.
    virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);
    virtual void OnActivateFrame(UINT nState, CFrameWnd* pFrameWnd);

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

    // The print command (ID_FILE_PRINT, for a view's map): there is no printer here, so the job
    // cannot start and the user is told so.
    void OnFilePrint();
    // The pane commands (ID_NEXT_PANE, ID_PREV_PANE) belong to the window holding the view, a
    // splitter: they are offered to its own map (not routed on), and greyed unless it handles them.
    BOOL OnNextPaneCmd(UINT nID);
    void OnUpdateNextPaneMenu(CCmdUI* pCmdUI);

protected:
    DECLARE_MESSAGE_MAP()

    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnDestroy();
    void OnPaint();
    LRESULT OnInitialUpdateMessage(WPARAM, LPARAM);

    CDocument* m_pDocument = nullptr;
    friend class CDocument;
};
