// Drawing primitives, clipping, blits, edges and frame controls, checked pixel by pixel on small
// bitmaps.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/graphics/Edges.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"
#include "tests/platform/graphics/Canvas.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

}  // namespace

TEST(Drawing, FillFrameAndRectangle) {
    Canvas c(10, 10);
    HBRUSH red = CreateSolidBrush(kRed);
    RECT r{2, 2, 5, 4};
    FillRect(c.dc, &r, red);
    EXPECT_EQ(c.Rows(), c.Expect({"..........", "..........", "..RRR.....", "..RRR.....", ".........."}, 5));
    RECT frame{5, 5, 9, 9};
    FrameRect(c.dc, &frame, (HBRUSH)(COLOR_WINDOWTEXT + 1));  // a system colour index + 1
    EXPECT_EQ(c.At(5, 5), RGB(0, 0, 0));
    EXPECT_EQ(c.At(8, 8), RGB(0, 0, 0));
    EXPECT_EQ(c.At(6, 6), kWhite);
    EXPECT_EQ(c.At(9, 9), kWhite) << "right and bottom are outside";

    Canvas d(6, 6);
    HPEN blue = CreatePen(PS_SOLID, 1, kBlue);
    SelectObject(d.dc, blue);
    SelectObject(d.dc, red);
    Rectangle(d.dc, 0, 0, 5, 4);
    EXPECT_EQ(d.Rows(), d.Expect({"BBBBB.", "BRRRB.", "BRRRB.", "BBBBB.", "......"}, 5));
    SelectObject(d.dc, GetStockObject(NULL_BRUSH));
    SelectObject(d.dc, GetStockObject(BLACK_PEN));
    EXPECT_FALSE(DeleteObject(GetStockObject(BLACK_PEN))) << "stock objects stay";
    EXPECT_TRUE(DeleteObject(blue));
    SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
    EXPECT_TRUE(DeleteObject(red));
    EXPECT_FALSE(DeleteObject(red)) << "deleted once";
}

TEST(Drawing, SelectedObjectsCannotBeDeleted) {
    Canvas c(2, 2);
    HPEN pen = CreatePen(PS_SOLID, 1, kRed);
    HGDIOBJ old = SelectObject(c.dc, pen);
    EXPECT_FALSE(DeleteObject(pen));
    SelectObject(c.dc, old);
    EXPECT_TRUE(DeleteObject(pen));
}

TEST(Drawing, LinesLeaveOutTheirEndPoint) {
    Canvas c(8, 8);
    HPEN red = CreatePen(PS_SOLID, 1, kRed);
    SelectObject(c.dc, red);
    MoveToEx(c.dc, 1, 1, nullptr);
    LineTo(c.dc, 5, 1);  // (1..4, 1)
    LineTo(c.dc, 5, 4);  // (5, 1..3)
    LineTo(c.dc, 2, 4);  // (5..3, 4)
    MoveToEx(c.dc, 0, 6, nullptr);
    LineTo(c.dc, 3, 9);  // a diagonal: (0,6) (1,7) (2,8-outside)
    EXPECT_EQ(
        c.Rows(),
        c.Expect({"........", ".RRRRR..", ".....R..", ".....R..", "...RRR..", "........", "R.......", ".R......"}, 8));
    HPEN wide = CreatePen(PS_SOLID, 3, kBlue);
    Canvas w(7, 5);
    SelectObject(w.dc, wide);
    MoveToEx(w.dc, 1, 2, nullptr);
    LineTo(w.dc, 5, 2);
    EXPECT_EQ(w.Rows(), w.Expect({".......", "BBBBBB.", "BBBBBB.", "BBBBBB.", "......."}, 5)) << "a square pen";
    SelectObject(c.dc, GetStockObject(BLACK_PEN));
    SelectObject(w.dc, GetStockObject(BLACK_PEN));
    DeleteObject(red);
    DeleteObject(wide);
}

TEST(Drawing, ClippingAndSavedStates) {
    Canvas c(8, 4);
    HBRUSH red = CreateSolidBrush(kRed);
    RECT all{0, 0, 8, 4};
    const int saved = SaveDC(c.dc);
    ExcludeClipRect(c.dc, 2, 1, 4, 3);
    IntersectClipRect(c.dc, 1, 0, 6, 4);
    FillRect(c.dc, &all, red);
    EXPECT_EQ(c.Rows(), c.Expect({".RRRRR..", ".R..RR..", ".R..RR..", ".RRRRR.."}, 4));
    RECT box;
    EXPECT_EQ(GetClipBox(c.dc, &box), COMPLEXREGION);
    EXPECT_TRUE(EqualRect(&box, &(const RECT&)RECT{1, 0, 6, 4}));
    RestoreDC(c.dc, saved);
    HRGN region = CreateRectRgn(6, 0, 8, 1);
    SelectClipRgn(c.dc, region);
    HBRUSH blue = CreateSolidBrush(kBlue);
    FillRect(c.dc, &all, blue);
    EXPECT_EQ(c.Rows(), c.Expect({".RRRRRBB", ".R..RR..", ".R..RR..", ".RRRRR.."}, 4));
    SelectClipRgn(c.dc, nullptr);
    SetPixel(c.dc, 0, 3, kBlue);
    EXPECT_EQ(c.At(0, 3), kBlue) << "the whole bitmap again";
    DeleteObject(region);
    DeleteObject(red);
    DeleteObject(blue);
}

TEST(Drawing, BlitsCopyAndStopAtTheSource) {
    Canvas from(4, 4);
    HBRUSH red = CreateSolidBrush(kRed);
    RECT corner{2, 2, 4, 4};
    FillRect(from.dc, &corner, red);
    Canvas to(6, 6);
    BitBlt(to.dc, 1, 1, 6, 6, from.dc, 1, 1, SRCCOPY);  // 3 x 3 of the source exist from (1, 1)
    EXPECT_EQ(to.Rows(), to.Expect({"......", "......", "..RR..", "..RR..", "......", "......"}, 6));
    SetViewportOrgEx(to.dc, 3, 0, nullptr);
    BitBlt(to.dc, 0, 0, 2, 2, from.dc, 2, 2, SRCCOPY);
    EXPECT_EQ(to.At(3, 0), kRed) << "the viewport moves the destination";
    DeleteObject(red);
}

TEST(Drawing, EdgesAndThreeDimensionalFrames) {
    Canvas c(6, 6);
    RECT r{0, 0, 6, 6};
    DrawEdge(c.dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST | BF_MIDDLE);
    EXPECT_EQ(c.At(0, 0), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(c.At(5, 5), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(c.At(1, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(c.At(4, 4), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(c.At(2, 2), GetSysColor(COLOR_BTNFACE));
    EXPECT_TRUE(EqualRect(&r, &(const RECT&)RECT{2, 2, 4, 4})) << "adjusted inside both rings";

    Canvas s(4, 4);
    RECT q{0, 0, 4, 4};
    DrawEdge(s.dc, &q, EDGE_SUNKEN, BF_RECT);
    EXPECT_EQ(s.At(0, 0), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(s.At(1, 1), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(s.At(3, 3), GetSysColor(COLOR_BTNHIGHLIGHT));

    Canvas t(4, 3);
    RECT f{0, 0, 4, 3};
    Draw3dRect(t.dc, &f, kRed, kBlue);
    EXPECT_EQ(t.Rows(), t.Expect({"RRRB", "R..B", "BBBB"}, 3));
}

TEST(Drawing, ScrollArrowsNormalAndPushed) {
    Canvas normal(16, 16), pushed(16, 16);
    RECT r{0, 0, 16, 16};
    DrawFrameControl(normal.dc, &r, DFC_SCROLL, DFCS_SCROLLDOWN);
    DrawFrameControl(pushed.dc, &r, DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_PUSHED);
    auto inkRows = [](Canvas& c) {
        std::vector<int> rows;
        for (int y = 3; y < 13; ++y)
            for (int x = 3; x < 13; ++x)
                if (c.At(x, y) == GetSysColor(COLOR_BTNTEXT)) {
                    rows.push_back(y);
                    break;
                }
        return rows;
    };
    const std::vector<int> a = inkRows(normal), b = inkRows(pushed);
    ASSERT_FALSE(a.empty());
    ASSERT_EQ(a.size(), b.size());
    EXPECT_EQ(b.front(), a.front() + 1) << "a pushed arrow moves down a pixel";
    EXPECT_EQ(normal.At(0, 0), GetSysColor(COLOR_3DLIGHT)) << "raised";
    EXPECT_NE(pushed.At(0, 0), GetSysColor(COLOR_3DLIGHT));
    // The down arrow is widest at the top.
    int topWidth = 0, bottomWidth = 0;
    for (int x = 0; x < 16; ++x) {
        topWidth += normal.At(x, a.front()) == GetSysColor(COLOR_BTNTEXT);
        bottomWidth += normal.At(x, a.back()) == GetSysColor(COLOR_BTNTEXT);
    }
    EXPECT_GT(topWidth, bottomWidth);
}

TEST(Drawing, GradientFillRuns) {
    Canvas c(4, 2);
    TRIVERTEX v[2] = {{0, 0, 0, 0, 0, 0}, {4, 2, 0xFF00, 0, 0, 0}};
    GRADIENT_RECT g{0, 1};
    ASSERT_TRUE(GradientFill(c.dc, v, 2, &g, 1, GRADIENT_FILL_RECT_H));
    EXPECT_EQ(GetRValue(c.At(0, 0)), 0);
    EXPECT_GT(GetRValue(c.At(3, 1)), GetRValue(c.At(1, 1)));
}

TEST(SystemColors, TheClassicSchemeAndItsBrushes) {
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(212, 208, 200));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(10, 36, 106));
    EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), RGB(64, 64, 64));
    EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), GetSysColorBrush(COLOR_BTNFACE)) << "one brush a colour";
    EXPECT_FALSE(DeleteObject(GetSysColorBrush(COLOR_BTNFACE)));
    Canvas c(1, 1);
    RECT r{0, 0, 1, 1};
    FillRect(c.dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
    EXPECT_EQ(c.At(0, 0), RGB(10, 36, 106));
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 16);
    EXPECT_EQ(GetSystemMetrics(SM_CXEDGE), 2);
    EXPECT_EQ(GetSystemMetrics(SM_CYMENUCHECK), 13);
    EXPECT_EQ(GetSystemMetrics(SM_CXDOUBLECLK), 4);

    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    EXPECT_EQ(metrics.iMenuHeight + 1, GetSystemMetrics(SM_CYMENU));
    EXPECT_STREQ(metrics.lfMenuFont.lfFaceName, "MS Shell Dlg");
    EXPECT_EQ(metrics.lfMenuFont.lfHeight, -11);
    HIGHCONTRASTA contrast{sizeof(HIGHCONTRASTA), HCF_HIGHCONTRASTON, nullptr};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0));
    EXPECT_EQ(contrast.dwFlags & HCF_HIGHCONTRASTON, 0u);
    BOOL flat = TRUE;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETFLATMENU, 0, &flat, 0));
    EXPECT_FALSE(flat);
    EXPECT_FALSE(SystemParametersInfoA(0x9999, 0, &flat, 0));
}
