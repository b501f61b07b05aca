#pragma once
// A list view that colours odd rows through custom draw and remembers header clicks: a click on
// the sorted column turns the direction round, any other starts ascending, then SortList runs.

#include "platform/framework/CListView.h"

class CStripedListView : public CListView {
    DECLARE_DYNCREATE(CStripedListView)

public:
    CStripedListView();
    ~CStripedListView() override;

    // Does nothing and reports success: rows stay as they came.
    virtual BOOL SortList(int column, BOOL ascendingOrder);

    int sortedColumn = -1;
    BOOL ascending = TRUE;
    COLORREF alternateTextColor;
    COLORREF alternateBkColor;

protected:
    DECLARE_MESSAGE_MAP()

    void OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);
    void OnHeaderItemClick(NMHDR* pNMHDR, LRESULT* pResult);
};
