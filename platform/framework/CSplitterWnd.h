#pragma once
// The static splitter: a grid of panes (views made from their class records, or any child with a
// pane's id) separated by bars the user drags, with the mouse or, once tracking, the arrow keys.
// Pane (row, col) is the child with id AFX_IDW_PANE_FIRST + 16 x row + col. Each row and column
// keeps {minimum, ideal, current} sizes: the layout gives every row but the last its ideal size
// (none at all when the ideal is below the minimum) and the last row what is left; columns alike.
//
// The data is laid out for classes that derive from it: a class may hide a whole row or column by
// renumbering its panes' ids, lowering m_nRows or m_nCols and keeping the size in the record just
// past the last one (the arrays have room for it), then calling RecalcLayout. Pane borders and
// bars are drawn by OnDrawSplitter, which a class may replace, from OnPaint.

#include <memory>
#include <vector>

#include "platform/framework/AfxRes.h"
#include "platform/framework/CWnd.h"

class TrackingOutline;

class CSplitterWnd : public CWnd {
    DECLARE_DYNAMIC(CSplitterWnd)

public:
    CSplitterWnd();
    ~CSplitterWnd() override;

    // A grid of nRows x nCols (1..16 each) panes to be made with CreateView.
    BOOL CreateStatic(CWnd* pParentWnd, int nRows, int nCols, DWORD dwStyle = WS_CHILD | WS_VISIBLE,
                      UINT nID = AFX_IDW_PANE_FIRST);
    // Makes pane (row, col) from a class record, sizeInit giving its column's ideal width and its
    // row's ideal height; the context names the document. FALSE when the class cannot be made or
    // the window cannot be created, or the cell is taken.
    virtual BOOL CreateView(int row, int col, const CRuntimeClass* pViewClass, SIZE sizeInit,
                            CCreateContext* pContext);

    int GetRowCount() const { return m_nRows; }
    int GetColumnCount() const { return m_nCols; }
    void GetRowInfo(int row, int& cyCur, int& cyMin) const;
    void SetRowInfo(int row, int cyIdeal, int cyMin);
    void GetColumnInfo(int col, int& cxCur, int& cxMin) const;
    void SetColumnInfo(int col, int cxIdeal, int cxMin);

    CWnd* GetPane(int row, int col) const;
    int IdFromRowCol(int row, int col) const { return static_cast<int>(AFX_IDW_PANE_FIRST) + 16 * row + col; }
    // TRUE when pWnd is a pane of this splitter, with its row and column from its id.
    BOOL IsChildPane(const CWnd* pWnd, int* pRow = nullptr, int* pCol = nullptr) const;
    // The frame's active view when it is a pane, else the pane holding the focus, else null.
    virtual CWnd* GetActivePane(int* pRow = nullptr, int* pCol = nullptr);
    // Makes the pane (or pWnd) the frame's active view if it is a view, else gives it the focus.
    virtual void SetActivePane(int row, int col, CWnd* pWnd = nullptr);
    virtual BOOL CanActivateNext(BOOL bPrev = FALSE);
    // The next (previous) pane in row order becomes active.
    virtual void ActivateNext(BOOL bPrev = FALSE);
    // Places the panes as the row and column sizes say.
    virtual void RecalcLayout();
    // Starts tracking the first bar from the keyboard: arrows move it, Enter keeps it, Escape not.
    virtual BOOL DoKeyboardSplit();

    // The splitter whose pane pWnd is, if any.
    static CSplitterWnd* GetParentSplitter(const CWnd* pWnd, BOOL bAnyState);

    enum ESplitType { splitBox, splitBar, splitIntersection, splitBorder };
    // Draws one part; without a context, only invalidates its rectangle.
    virtual void OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect);
    // Shows the tracker at rect, or takes it away when it shows there (an inversion).
    virtual void OnInvertTracker(const CRect& rect);

    struct CRowColInfo {
        int nMinSize;
        int nIdealSize;
        int nCurSize;
    };

protected:
    DECLARE_MESSAGE_MAP()

    enum HitTestValue {
        noHit = 0,
        vSplitterBox = 1,
        hSplitterBox = 2,
        bothSplitterBox = 3,
        vSplitterBar1 = 101,  // the bar right of column 0, ...
        vSplitterBar15 = 115,
        hSplitterBar1 = 201,  // the bar below row 0, ...
        hSplitterBar15 = 215,
        splitterIntersection1 = 301,  // + 15 x row + column
        splitterIntersection225 = 525
    };

    // The part of the splitter under a client point.
    virtual int HitTest(CPoint pt) const;
    // What a part covers (client coordinates).
    virtual void GetHitRect(int ht, CRect& rect) const;
    virtual void StartTracking(int ht);
    virtual void StopTracking(BOOL bAccept);
    // A bar dropped with its tracker's top at y (left at x): the row (column) above gets that size.
    virtual void TrackRowSize(int y, int row);
    virtual void TrackColumnSize(int x, int col);
    // The panes' area: the client area within the outer borders.
    void GetInsideRect(CRect& rect) const;
    // The client rectangle of pane (row, col) as laid out last.
    CRect PaneRect(int row, int col) const;

    void OnPaint();
    void OnSize(UINT nType, int cx, int cy);
    void OnLButtonDown(UINT nFlags, CPoint point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);

    int m_nMaxRows = 0;
    int m_nMaxCols = 0;
    int m_nRows = 0;
    int m_nCols = 0;
    std::unique_ptr<CRowColInfo[]> m_pRowInfo;  // m_nMaxRows + 1 records
    std::unique_ptr<CRowColInfo[]> m_pColInfo;  // m_nMaxCols + 1 records
    int m_cxSplitter = 7;  // a bar as the pointer takes hold of it
    int m_cySplitter = 7;
    int m_cxBorderShare = 0;
    int m_cyBorderShare = 0;
    int m_cxSplitterGap = 7;  // between two panes: their borders and the bar
    int m_cySplitterGap = 7;
    int m_cxBorder = 2;  // around each pane
    int m_cyBorder = 2;
    BOOL m_bHasHScroll = FALSE;
    BOOL m_bHasVScroll = FALSE;

    // Tracking.
    BOOL m_bTracking = FALSE;
    BOOL m_bTracking2 = FALSE;  // an intersection moves two bars
    CPoint m_ptTrackOffset;
    CRect m_rectLimit;
    CRect m_rectTracker;
    CRect m_rectTracker2;
    int m_htTrack = noHit;

private:
    // The sizes of rows (columns) in `size` pixels with `gap` between them.
    static void LayoutRowCol(CRowColInfo* info, int count, int size, int gap);
    // Where pane column `col` starts (x) and row `row` starts (y), as laid out last.
    int ColumnStart(int col) const;
    int RowStart(int row) const;
    // Moves the trackers so that their corner follows a client point, within the limits.
    void MoveTrackers(CPoint pt);
    void RunTracking();

    // The trackers showing, each where it shows.
    struct ShownTracker {
        CRect rect;
        std::unique_ptr<TrackingOutline> outline;
    };
    std::vector<ShownTracker> m_trackers;
};
