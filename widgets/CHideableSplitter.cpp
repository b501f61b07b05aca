#include "widgets/CHideableSplitter.h"

#include "platform/framework/CDC.h"
#include "platform/graphics/SystemColors.h"
#include "platform/window/Windows.h"

IMPLEMENT_DYNAMIC(CHideableSplitter, CSplitterWnd)

CHideableSplitter::CHideableSplitter() = default;
CHideableSplitter::~CHideableSplitter() = default;

// Hiding a second column, the only one, or one that does not exist would leave the size records
// and pane ids beyond repair; such calls change nothing. Showing with nothing hidden likewise.

void CHideableSplitter::HideColumn(int colHide) {
    if (hiddenColumn != -1 || m_nCols < 2 || colHide < 0 || colHide >= m_nCols) return;
    hiddenColumn = colHide;

    int activeRow = 0, activeCol = 0;
    if (GetActivePane(&activeRow, &activeCol) && activeCol == colHide)
        SetActivePane(activeRow, colHide + 1 < m_nCols ? colHide + 1 : 0);

    for (int row = 0; row < m_nRows; ++row) {
        if (CWnd* hidden = GetPane(row, colHide)) {
            hidden->ShowWindow(SW_HIDE);
            hidden->SetDlgCtrlID(IdFromRowCol(row, m_nCols));
        }
        for (int col = colHide + 1; col < m_nCols; ++col)
            if (CWnd* pane = GetPane(row, col)) pane->SetDlgCtrlID(IdFromRowCol(row, col - 1));
    }
    const int saved = m_pColInfo[colHide].nCurSize;
    --m_nCols;
    m_pColInfo[m_nCols].nCurSize = saved;
    RecalcLayout();
}

void CHideableSplitter::ShowColumn() {
    if (hiddenColumn == -1) return;
    const int colShow = hiddenColumn;
    hiddenColumn = -1;
    const int saved = m_pColInfo[m_nCols].nCurSize;
    ++m_nCols;

    for (int row = 0; row < m_nRows; ++row) {
        CWnd* shown = GetPane(row, m_nCols);
        if (shown) shown->ShowWindow(SW_SHOWNA);
        for (int col = m_nCols - 2; col >= colShow; --col)
            if (CWnd* pane = GetPane(row, col)) pane->SetDlgCtrlID(IdFromRowCol(row, col + 1));
        if (shown) shown->SetDlgCtrlID(IdFromRowCol(row, colShow));
    }
    for (int col = colShow + 1; col < m_nCols; ++col) m_pColInfo[col].nIdealSize = m_pColInfo[col - 1].nCurSize;
    m_pColInfo[colShow].nIdealSize = saved;
    RecalcLayout();
}

void CHideableSplitter::HideRow(int rowHide) {
    if (hiddenRow != -1 || m_nRows < 2 || rowHide < 0 || rowHide >= m_nRows) return;
    hiddenRow = rowHide;

    int activeRow = 0, activeCol = 0;
    if (GetActivePane(&activeRow, &activeCol) && activeRow == rowHide)
        SetActivePane(rowHide + 1 < m_nRows ? rowHide + 1 : 0, activeCol);

    for (int col = 0; col < m_nCols; ++col) {
        if (CWnd* hidden = GetPane(rowHide, col)) {
            hidden->ShowWindow(SW_HIDE);
            hidden->SetDlgCtrlID(IdFromRowCol(m_nRows, col));
        }
        for (int row = rowHide + 1; row < m_nRows; ++row)
            if (CWnd* pane = GetPane(row, col)) pane->SetDlgCtrlID(IdFromRowCol(row - 1, col));
    }
    const int saved = m_pRowInfo[rowHide].nCurSize;
    --m_nRows;
    m_pRowInfo[m_nRows].nCurSize = saved;
    RecalcLayout();
}

void CHideableSplitter::ShowRow() {
    if (hiddenRow == -1) return;
    const int rowShow = hiddenRow;
    hiddenRow = -1;
    const int saved = m_pRowInfo[m_nRows].nCurSize;
    ++m_nRows;

    for (int col = 0; col < m_nCols; ++col) {
        CWnd* shown = GetPane(m_nRows, col);
        if (shown) shown->ShowWindow(SW_SHOWNA);
        for (int row = m_nRows - 2; row >= rowShow; --row)
            if (CWnd* pane = GetPane(row, col)) pane->SetDlgCtrlID(IdFromRowCol(row + 1, col));
        if (shown) shown->SetDlgCtrlID(IdFromRowCol(rowShow, col));
    }
    for (int row = rowShow + 1; row < m_nRows; ++row) m_pRowInfo[row].nIdealSize = m_pRowInfo[row - 1].nCurSize;
    m_pRowInfo[rowShow].nIdealSize = saved;
    RecalcLayout();
}

void CHideableSplitter::OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect) {
    // Bars, boxes and intersections are the framework's flat ones already; only the pane border
    // differs: a ring of button face around a thin sunken edge.
    if (!flatDrawing || nType != splitBorder) {
        CSplitterWnd::OnDrawSplitter(pDC, nType, rect);
        return;
    }
    if (!pDC) {
        RedrawWindow(&rect, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
        return;
    }
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    CRect r = rect;
    pDC->Draw3dRect(&r, face, face);
    r.DeflateRect(1, 1);
    pDC->Draw3dRect(&r, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
}
