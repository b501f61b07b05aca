// The hideable splitter: columns and rows out of sight and back with their ids, sizes and
// activation; the flat parts' pixels.

#include "widgets/CHideableSplitter.h"

#include "platform/framework/CBitmap.h"
#include "platform/framework/CCreateContext.h"
#include "platform/framework/CDC.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CView.h"
#include "platform/graphics/SystemColors.h"
#include "tests/platform/framework/FrameworkTesting.h"

namespace {

class CBlankPane : public CView {
    DECLARE_DYNCREATE(CBlankPane)

public:
    void OnDraw(CDC*) override {}
};
IMPLEMENT_DYNCREATE(CBlankPane, CView)

constexpr int kFirst = static_cast<int>(AFX_IDW_PANE_FIRST);

class HideableSplitterTest : public FrameworkTest {
protected:
    // A frame 600 by 400 holding a splitter of rows x cols blank panes, each `size` big.
    void Make(int rows, int cols, CSize size) {
        ASSERT_TRUE(frame.Create(nullptr, "splitter", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 600, 400)));
        ASSERT_TRUE(splitter.CreateStatic(&frame, rows, cols));
        CCreateContext context{};
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c)
                ASSERT_TRUE(splitter.CreateView(r, c, RUNTIME_CLASS(CBlankPane), size, &context));
        frame.RecalcLayout();
        PumpAll();
    }
    void TearDown() override {
        if (frame.m_hWnd) frame.DestroyWindow();
        FrameworkTest::TearDown();
    }
    int IdOf(CWnd* pane) { return pane->GetDlgCtrlID(); }

    CFrameWnd frame;
    CHideableSplitter splitter;
};

TEST_F(HideableSplitterTest, HidingColumnZeroRenumbersAndShowingRestoresIdsAndWidth) {
    Make(1, 2, CSize(150, 0));
    CWnd* left = splitter.GetPane(0, 0);
    CWnd* right = splitter.GetPane(0, 1);
    int width = 0, minimum = 0;
    splitter.GetColumnInfo(0, width, minimum);
    ASSERT_EQ(width, 150);

    splitter.HideColumn(0);
    EXPECT_EQ(splitter.GetColumnCount(), 1);
    EXPECT_EQ(splitter.HiddenColumn(), 0);
    EXPECT_EQ(IdOf(right), kFirst);
    EXPECT_EQ(IdOf(left), kFirst + 2) << "the id just past the last column, where showing looks for it";
    EXPECT_FALSE(left->IsWindowVisible());
    CRect inside, rightRect;
    splitter.GetClientRect(&inside);
    right->GetWindowRect(&rightRect);
    EXPECT_GT(rightRect.Width(), 500) << "the remaining column fills the splitter";

    splitter.ShowColumn();
    EXPECT_EQ(splitter.GetColumnCount(), 2);
    EXPECT_EQ(splitter.HiddenColumn(), -1);
    EXPECT_EQ(IdOf(left), kFirst);
    EXPECT_EQ(IdOf(right), kFirst + 1);
    EXPECT_TRUE(left->IsWindowVisible());
    splitter.GetColumnInfo(0, width, minimum);
    EXPECT_EQ(width, 150) << "the hidden column's width comes back as its ideal width";
}

TEST_F(HideableSplitterTest, HidingTheActivePanesColumnOrRowActivatesTheNext) {
    Make(1, 2, CSize(150, 0));
    auto* left = static_cast<CView*>(splitter.GetPane(0, 0));
    auto* right = static_cast<CView*>(splitter.GetPane(0, 1));
    frame.SetActiveView(left);
    splitter.HideColumn(0);
    EXPECT_EQ(frame.GetActiveView(), right);
    splitter.ShowColumn();
    frame.SetActiveView(right);
    splitter.HideColumn(1);  // the last column: the first takes over
    EXPECT_EQ(frame.GetActiveView(), left);
    EXPECT_EQ(IdOf(right), kFirst + 2) << "kept just past the last column";
}

TEST_F(HideableSplitterTest, RowsHideAndShowLikeColumns) {
    Make(2, 1, CSize(0, 120));
    auto* top = static_cast<CView*>(splitter.GetPane(0, 0));
    auto* bottom = static_cast<CView*>(splitter.GetPane(1, 0));
    frame.SetActiveView(bottom);

    splitter.HideRow(1);
    EXPECT_EQ(splitter.GetRowCount(), 1);
    EXPECT_EQ(IdOf(bottom), kFirst + 16 * 2);
    EXPECT_FALSE(bottom->IsWindowVisible());
    EXPECT_EQ(frame.GetActiveView(), top);
    EXPECT_EQ(splitter.GetPane(1, 0), nullptr);

    splitter.ShowRow();
    EXPECT_EQ(splitter.GetRowCount(), 2);
    EXPECT_EQ(splitter.GetPane(1, 0), bottom);
    EXPECT_TRUE(bottom->IsWindowVisible());
    CRect topRect;
    top->GetWindowRect(&topRect);
    EXPECT_EQ(topRect.Height(), 120) << "the top row keeps its height, the last row takes the rest";

    splitter.HideRow(0);
    EXPECT_EQ(splitter.GetPane(0, 0), bottom);
    EXPECT_EQ(IdOf(top), kFirst + 16 * 2);
    splitter.ShowRow();
    EXPECT_EQ(splitter.GetPane(0, 0), top);
    EXPECT_EQ(splitter.GetPane(1, 0), bottom);
}

TEST_F(HideableSplitterTest, UnpairedCallsChangeNothing) {
    Make(1, 2, CSize(150, 0));
    splitter.ShowColumn();  // nothing hidden
    EXPECT_EQ(splitter.GetColumnCount(), 2);
    splitter.HideColumn(5);
    EXPECT_EQ(splitter.GetColumnCount(), 2);
    splitter.HideColumn(0);
    splitter.HideColumn(0);  // the only column left
    EXPECT_EQ(splitter.GetColumnCount(), 1);
    EXPECT_EQ(splitter.HiddenColumn(), 0);
    splitter.ShowColumn();
    splitter.ShowColumn();
    EXPECT_EQ(splitter.GetColumnCount(), 2);
    EXPECT_EQ(IdOf(splitter.GetPane(0, 1)), kFirst + 1);
}

TEST_F(HideableSplitterTest, FlatPartsArePaintedWithTheButtonColours) {
    Make(1, 2, CSize(150, 0));
    CDC screen;
    screen.Attach(::GetDC(nullptr));
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(&screen));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 12, 12));
    CBitmap* old = dc.SelectObject(&bitmap);
    const COLORREF face = GetSysColor(COLOR_BTNFACE), shadow = GetSysColor(COLOR_BTNSHADOW),
                   light = GetSysColor(COLOR_BTNHIGHLIGHT), frameColour = GetSysColor(COLOR_WINDOWFRAME);
    const CRect part(0, 0, 10, 10);

    dc.FillSolidRect(0, 0, 12, 12, RGB(1, 2, 3));
    splitter.OnDrawSplitter(&dc, CSplitterWnd::splitBorder, part);
    EXPECT_EQ(dc.GetPixel(0, 0), face);
    EXPECT_EQ(dc.GetPixel(9, 9), face);
    EXPECT_EQ(dc.GetPixel(1, 1), shadow);
    EXPECT_EQ(dc.GetPixel(8, 8), light);
    EXPECT_EQ(dc.GetPixel(5, 5), RGB(1, 2, 3)) << "the pane itself is not painted";

    splitter.OnDrawSplitter(&dc, CSplitterWnd::splitBar, part);
    EXPECT_EQ(dc.GetPixel(0, 0), face);
    EXPECT_EQ(dc.GetPixel(5, 5), face);

    splitter.OnDrawSplitter(&dc, CSplitterWnd::splitBox, part);
    EXPECT_EQ(dc.GetPixel(0, 0), face);
    EXPECT_EQ(dc.GetPixel(9, 9), frameColour);
    EXPECT_EQ(dc.GetPixel(1, 1), light);
    EXPECT_EQ(dc.GetPixel(8, 8), shadow);
    EXPECT_EQ(dc.GetPixel(5, 5), face);

    dc.SelectObject(old);
    ::ReleaseDC(nullptr, screen.Detach());
}

}  // namespace
