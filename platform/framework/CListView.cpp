#include "platform/framework/CListView.h"

#include "platform/framework/AfxMsg.h"

IMPLEMENT_DYNCREATE(CListView, CView)

CListView::CListView() = default;

CListView::~CListView() { m_list.m_hWnd = nullptr; }

CListCtrl& CListView::GetListCtrl() const {
    m_list.m_hWnd = m_hWnd;
    return m_list;
}

BOOL CListView::PreCreateWindow(CREATESTRUCTA& cs) {
    InitCommonControls();
    cs.lpszClass = WC_LISTVIEWA;
    return CView::PreCreateWindow(cs);
}

void CListView::PostNcDestroy() {
    m_list.m_hWnd = nullptr;
    CView::PostNcDestroy();  // last: may free this view
}

BEGIN_MESSAGE_MAP(CListView, CView)
ON_WM_PAINT()
END_MESSAGE_MAP()

// The control paints its rows itself.
void CListView::OnPaint() { Default(); }
