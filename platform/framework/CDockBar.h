#pragma once
// A dock bar: the strip along one side of a frame (ids AFX_IDW_DOCKBAR_TOP..RIGHT) that holds the
// bars docked there, in rows (columns on the left and right), or the one bar of a floating
// mini-frame (AFX_IDW_DOCKBAR_FLOAT). Empty, it takes no room. It answers the frame's layout
// query with the thickness of its rows and then places its bars in them; each bar keeps the
// offset along its row where it was dropped, pushed along so that none overlaps the one before.
//
// CFrameWnd's docking operations (EnableDocking, DockControlBar, FloatControlBar, CanDock,
// CreateFloatingFrame) are defined with this class.

#include <vector>

#include "platform/framework/CControlBar.h"

class CDockBar : public CControlBar {
    DECLARE_DYNAMIC(CDockBar)

public:
    explicit CDockBar(BOOL bFloating = FALSE);
    ~CDockBar() override;

    // dwStyle carries the side (CBRS_ALIGN_*) besides the window style.
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID);

    // Takes the bar from wherever it is docked into the row `lpRect` (screen) falls on, at its
    // offset there; without a rectangle, into a new last row.
    void DockControlBar(CControlBar* pBar, LPCRECT lpRect = nullptr);
    // FALSE when the bar is not docked here.
    BOOL RemoveControlBar(CControlBar* pBar);
    int GetDockedCount() const;
    int GetDockedVisibleCount() const;
    // The bars docked here, row by row.
    std::vector<CControlBar*> GetDockedBars() const;
    // The row (column) index of a docked bar, -1 when it is not here.
    int RowOf(const CControlBar* pBar) const;

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}
    BOOL IsDockBar() const override { return TRUE; }

    BOOL m_bFloating;

protected:
    DECLARE_MESSAGE_MAP()

    LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);

private:
    struct Docked {
        CControlBar* bar;
        int offset;  // along the row, client coordinates
    };
    struct RowPlace {
        int start;  // across the rows, client coordinates
        int thickness;
    };

    bool Horizontal() const { return (m_dwStyle & CBRS_ORIENT_HORZ) != 0 || m_bFloating; }
    // Lays the rows out in `along` pixels; moves the bars when `move`. The rows' total thickness.
    int Arrange(int along, bool move);

    std::vector<std::vector<Docked>> m_rows;
    std::vector<RowPlace> m_rowPlaces;  // of the last arrangement
};
