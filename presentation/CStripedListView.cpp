#include "presentation/CStripedListView.h"

#include "platform/controls/Header.h"
#include "platform/graphics/SystemColors.h"

IMPLEMENT_DYNCREATE(CStripedListView, CListView)

CStripedListView::CStripedListView()
    : alternateTextColor(GetSysColor(COLOR_WINDOWTEXT)), alternateBkColor(GetSysColor(COLOR_WINDOW)) {}

CStripedListView::~CStripedListView() = default;

BOOL CStripedListView::SortList(int, BOOL) { return TRUE; }

BEGIN_MESSAGE_MAP(CStripedListView, CListView)
ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, &CStripedListView::OnCustomDraw)
ON_NOTIFY(HDN_ITEMCLICKA, 0, &CStripedListView::OnHeaderItemClick)
ON_NOTIFY(HDN_ITEMCLICKW, 0, &CStripedListView::OnHeaderItemClick)
END_MESSAGE_MAP()

void CStripedListView::OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult) {
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(pNMHDR);
    *pResult = CDRF_DODEFAULT;
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
        *pResult = CDRF_NOTIFYITEMDRAW;
    } else if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && (draw->nmcd.dwItemSpec & 1)) {
        draw->clrText = alternateTextColor;
        draw->clrTextBk = alternateBkColor;
    }
}

void CStripedListView::OnHeaderItemClick(NMHDR* pNMHDR, LRESULT* pResult) {
    // Both forms carry the item at the same place.
    const auto* header = reinterpret_cast<const NMHEADERA*>(pNMHDR);
    *pResult = 0;
    if (header->iButton != 0) return;
    ascending = header->iItem == sortedColumn ? !ascending : TRUE;
    sortedColumn = header->iItem;
    SortList(sortedColumn, ascending);
}
