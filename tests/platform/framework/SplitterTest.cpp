// The static splitter in a frame: panes made from class records under their ids, the layout from
// the row and column sizes, dragging a bar with the mouse or the keyboard, and a list view pane
// whose notifications come back to it.

#include "platform/controls/CommCtrl.h"
#include "platform/framework/CDocument.h"
#include "platform/framework/CListView.h"
#include "platform/framework/CSplitterWnd.h"
#include "tests/platform/framework/BarsTesting.h"

namespace bars {
namespace {

// Counts the custom-draw stages the list asks its own view about.
class CCountingListView : public CListView {
    DECLARE_DYNCREATE(CCountingListView)

public:
    int prepaints = 0;

protected:
    DECLARE_MESSAGE_MAP()
    void OnCustomDraw(NMHDR* header, LRESULT* result) {
        if (reinterpret_cast<NMCUSTOMDRAW*>(header)->dwDrawStage == CDDS_PREPAINT) ++prepaints;
        *result = CDRF_DODEFAULT;
    }
};
IMPLEMENT_DYNCREATE(CCountingListView, CListView)
BEGIN_MESSAGE_MAP(CCountingListView, CListView)
ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, &CCountingListView::OnCustomDraw)
END_MESSAGE_MAP()

class CSplitFrame : public CFrameWnd {
public:
    CSplitterWnd splitter;

protected:
    BOOL OnCreateClient(LPCREATESTRUCTA, CCreateContext* context) override {
        if (!splitter.CreateStatic(this, 2, 2)) return FALSE;
        splitter.SetColumnInfo(0, 0, 40);
        // Each pane sets its column's width and its row's height.
        return splitter.CreateView(0, 0, RUNTIME_CLASS(CCountingListView), CSize(200, 150), context) &&
               splitter.CreateView(0, 1, RUNTIME_CLASS(CPlainView), CSize(0, 150), context) &&
               splitter.CreateView(1, 0, RUNTIME_CLASS(CPlainView), CSize(200, 0), context) &&
               splitter.CreateView(1, 1, RUNTIME_CLASS(CPlainView), CSize(0, 0), context);
    }
};

class SplitterTest : public FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        CCreateContext context;
        ASSERT_TRUE(frame.Create(nullptr, "Split", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 600, 400), nullptr,
                                 nullptr, 0, &context));
        app.m_pMainWnd = &frame;
        PumpAll();
    }
    void TearDown() override {
        app.m_pMainWnd = nullptr;
        FrameworkTest::TearDown();
    }

    int ColumnWidth(int col) const {
        int cur = 0, min = 0;
        frame.splitter.GetColumnInfo(col, cur, min);
        return cur;
    }
    int RowHeight(int row) const {
        int cur = 0, min = 0;
        frame.splitter.GetRowInfo(row, cur, min);
        return cur;
    }
    // The screen point in the middle of the bar right of column 0.
    CPoint OnColumnBar() const {
        CRect pane;
        frame.splitter.GetPane(0, 0)->GetWindowRect(&pane);
        return CPoint(pane.right + 3, pane.top + 20);
    }

    CSplitFrame frame;
};

TEST_F(SplitterTest, PanesHaveTheirIdsAndTheLayoutFollowsTheIdealSizes) {
    CSplitterWnd& s = frame.splitter;
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 2; ++col) {
            CWnd* pane = s.GetPane(row, col);
            ASSERT_NE(pane, nullptr);
            EXPECT_EQ(pane->GetDlgCtrlID(), static_cast<int>(0xE900 + 16 * row + col));
            EXPECT_EQ(s.IdFromRowCol(row, col), pane->GetDlgCtrlID());
            int r = -1, c = -1;
            EXPECT_TRUE(s.IsChildPane(pane, &r, &c));
            EXPECT_EQ(r, row);
            EXPECT_EQ(c, col);
            EXPECT_EQ(CSplitterWnd::GetParentSplitter(pane, FALSE), &s);
        }
    }
    EXPECT_TRUE(s.GetPane(0, 0)->IsKindOf(RUNTIME_CLASS(CListView)));
    EXPECT_EQ(s.GetDlgCtrlID(), static_cast<int>(AFX_IDW_PANE_FIRST));

    // Every row and column but the last gets its ideal size; the last gets the rest.
    CRect inside;
    s.GetClientRect(&inside);
    EXPECT_EQ(ColumnWidth(0), 200);
    EXPECT_EQ(RowHeight(0), 150);
    EXPECT_GT(ColumnWidth(1), 0);
    CRect a, b;
    s.GetPane(0, 0)->GetWindowRect(&a);
    s.GetPane(1, 1)->GetWindowRect(&b);
    EXPECT_EQ(a.Width(), 200);
    EXPECT_EQ(a.Height(), 150);
    EXPECT_GT(b.left, a.right);
    EXPECT_GT(b.top, a.bottom);
    EXPECT_EQ(ColumnWidth(0) + ColumnWidth(1) + (b.left - a.right), inside.Width() - 4);  // less the outer borders

    // A taken cell, a cell outside the grid and a class that is no window are refused.
    CCreateContext context;
    EXPECT_FALSE(s.CreateView(0, 0, RUNTIME_CLASS(CPlainView), CSize(10, 10), &context));
    EXPECT_FALSE(s.CreateView(2, 0, RUNTIME_CLASS(CPlainView), CSize(10, 10), &context));
    EXPECT_FALSE(s.CreateView(0, 0, RUNTIME_CLASS(CDocument), CSize(10, 10), &context));
}

TEST_F(SplitterTest, DraggingABarWithTheMouseResizesTheColumnAndBelowItsMinimumHidesIt) {
    const CPoint bar = OnColumnBar();
    display->MoveMouse(bar);
    display->Press();
    display->MoveMouse(CPoint(bar.x + 30, bar.y));
    display->MoveMouse(CPoint(bar.x + 60, bar.y + 5));
    display->Release();
    ASSERT_TRUE(PumpUntil([&] { return ColumnWidth(0) == 260; }));

    // Dropped at 30 pixels, under the column's minimum of 40: it goes and the next one has it all.
    const CPoint moved = OnColumnBar();
    display->MoveMouse(moved);
    display->Press();
    display->MoveMouse(CPoint(moved.x - 230, moved.y));
    display->Release();
    ASSERT_TRUE(PumpUntil([&] { return ColumnWidth(0) == 0; }));
    CRect client, right;
    frame.splitter.GetClientRect(&client);
    frame.splitter.GetPane(0, 1)->GetWindowRect(&right);
    frame.splitter.ScreenToClient(&right);
    EXPECT_LE(right.left, 9);
}

TEST_F(SplitterTest, DraggingWhereTheBarsCrossMovesBoth) {
    CRect pane;
    frame.splitter.GetPane(0, 0)->GetWindowRect(&pane);
    const CPoint cross(pane.right + 3, pane.bottom + 3);
    display->MoveMouse(cross);
    display->Press();
    display->MoveMouse(CPoint(cross.x - 50, cross.y + 40));
    display->Release();
    ASSERT_TRUE(PumpUntil([&] { return ColumnWidth(0) == 150; }));
    EXPECT_EQ(RowHeight(0), 190);
}

TEST_F(SplitterTest, TheKeyboardMovesTheFirstBarEnterKeepsItEscapeDoesNot) {
    frame.splitter.GetPane(0, 0)->SetFocus();
    display->KeyPress(VK_RIGHT);
    display->KeyPress(VK_RIGHT);
    display->KeyPress(VK_RETURN);
    ASSERT_TRUE(frame.splitter.DoKeyboardSplit());
    EXPECT_EQ(ColumnWidth(0), 232);

    display->KeyPress(VK_LEFT);
    display->KeyPress(VK_ESCAPE);
    ASSERT_TRUE(frame.splitter.DoKeyboardSplit());
    EXPECT_EQ(ColumnWidth(0), 232);
}

TEST_F(SplitterTest, TheActivePaneFollowsTheFramesActiveViewAndNextPaneCycles) {
    CSplitterWnd& s = frame.splitter;
    s.SetActivePane(1, 0);
    int row = -1, col = -1;
    EXPECT_EQ(s.GetActivePane(&row, &col), s.GetPane(1, 0));
    EXPECT_EQ(row, 1);
    EXPECT_EQ(col, 0);
    EXPECT_EQ(static_cast<CWnd*>(frame.GetActiveView()), s.GetPane(1, 0));
    s.ActivateNext();
    EXPECT_EQ(static_cast<CWnd*>(frame.GetActiveView()), s.GetPane(1, 1));
    s.ActivateNext();
    EXPECT_EQ(static_cast<CWnd*>(frame.GetActiveView()), s.GetPane(0, 0));
    s.ActivateNext(TRUE);
    EXPECT_EQ(static_cast<CWnd*>(frame.GetActiveView()), s.GetPane(1, 1));
}

TEST_F(SplitterTest, AListViewPaneKeepsRowsAndHearsItsOwnCustomDraw) {
    auto* list = static_cast<CCountingListView*>(frame.splitter.GetPane(0, 0));
    CListCtrl& ctrl = list->GetListCtrl();
    ASSERT_EQ(ctrl.InsertColumn(0, "Message", LVCFMT_LEFT, 120), 0);
    ASSERT_EQ(ctrl.InsertColumn(1, "Time", LVCFMT_LEFT, 60), 1);
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(ctrl.InsertItem(i, ("row " + std::to_string(i)).c_str()), i);
        ctrl.SetItemText(i, 1, "12:00");
    }
    EXPECT_EQ(ctrl.GetItemCount(), 3);
    EXPECT_EQ(ctrl.GetItemText(2, 0), "row 2");
    EXPECT_EQ(ctrl.GetItemText(1, 1), "12:00");
    list->Invalidate();
    list->UpdateWindow();
    EXPECT_GT(list->prepaints, 0);
}

}  // namespace
}  // namespace bars
