#pragma once
// A static splitter whose whole column or row can be put out of sight and brought back, and whose
// pane borders and bars are drawn flat. A hidden column's panes keep their windows: they are
// hidden and renumbered past the last column, and the column's width waits in the size record
// just past the last one until it comes back. Rows alike. One column and one row at most are
// hidden at a time.

#include "platform/framework/CSplitterWnd.h"

class CHideableSplitter : public CSplitterWnd {
    DECLARE_DYNAMIC(CHideableSplitter)

public:
    CHideableSplitter();
    ~CHideableSplitter() override;

    void HideColumn(int colHide);
    void ShowColumn();
    void HideRow(int rowHide);
    void ShowRow();

    int HiddenColumn() const { return hiddenColumn; }
    int HiddenRow() const { return hiddenRow; }

    void OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect) override;

    int flatDrawing = 1;

private:
    int hiddenColumn = -1;
    int hiddenRow = -1;
};
