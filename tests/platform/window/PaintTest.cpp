// The paint cycle: invalid areas, erasing, WM_PAINT, children clipping their parents, frames,
// and what reaches the screen.

#include "platform/graphics/SystemColors.h"
#include "platform/window/ScrollBars.h"
#include "tests/platform/window/WindowTesting.h"

namespace {

class PaintTest : public WindowTest {
protected:
    // Each window of `colors` fills what it is asked to paint with its colour.
    void PaintWith(std::map<HWND, COLORREF> colors) {
        recorder.On(WM_PAINT, [colors](HWND h, UINT, WPARAM, LPARAM, bool&) -> LRESULT {
            PAINTSTRUCT ps;
            HDC hdc = BeginPaint(h, &ps);
            auto it = colors.find(h);
            if (it != colors.end()) {
                HBRUSH brush = CreateSolidBrush(it->second);
                RECT all;
                GetClientRect(h, &all);
                FillRect(hdc, &all, brush);
                DeleteObject(brush);
            }
            EndPaint(h, &ps);
            return 0;
        });
    }
    COLORREF ScreenAt(HWND top, int x, int y) {
        const Surface pixels = display->Pixels(top);
        return Surface::ColorOf(pixels.At(x, y));
    }
};

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0);

TEST_F(PaintTest, InvalidAreasBecomeOnePaintThatValidatesThem) {
    HWND top = TopLevel();
    PumpAll();
    recorder.Log().clear();
    RECT paint{};
    recorder.On(WM_PAINT, [&](HWND h, UINT, WPARAM, LPARAM, bool&) -> LRESULT {
        PAINTSTRUCT ps;
        BeginPaint(h, &ps);
        paint = ps.rcPaint;
        EndPaint(h, &ps);
        return 0;
    });
    RECT a{10, 10, 20, 20}, b{30, 5, 40, 15};
    InvalidateRect(top, &a, FALSE);
    InvalidateRect(top, &b, FALSE);
    RECT update;
    EXPECT_TRUE(GetUpdateRect(top, &update, FALSE));
    PumpAll();
    EXPECT_EQ(recorder.Count(top, WM_PAINT), 1);
    EXPECT_EQ(recorder.Count(top, WM_ERASEBKGND), 0) << "nothing asked for erasing";
    EXPECT_EQ(paint.left, 10);
    EXPECT_EQ(paint.top, 5);
    EXPECT_EQ(paint.right, 40);
    EXPECT_EQ(paint.bottom, 20);
    EXPECT_FALSE(GetUpdateRect(top, &update, FALSE));

    InvalidateRect(top, nullptr, TRUE);
    ValidateRect(top, nullptr);
    PumpAll();
    EXPECT_EQ(recorder.Count(top, WM_PAINT), 1) << "validated before it was painted";

    InvalidateRect(top, nullptr, TRUE);
    UpdateWindow(top);  // paints now, without the queue
    EXPECT_EQ(recorder.Count(top, WM_PAINT), 2);
    EXPECT_EQ(recorder.Count(top, WM_ERASEBKGND), 1);
}

TEST_F(PaintTest, AProcedureThatDoesNotPaintIsNotAskedForEver) {
    HWND top = TopLevel();
    recorder.On(WM_PAINT, [](HWND, UINT, WPARAM, LPARAM, bool&) -> LRESULT { return 0; });
    PumpAll();
    const int paints = recorder.Count(top, WM_PAINT);
    EXPECT_GE(paints, 1);
    PumpAll();
    EXPECT_EQ(recorder.Count(top, WM_PAINT), paints);
}

TEST_F(PaintTest, ErasingUsesTheClassBrushAndPixelsReachTheScreen) {
    HWND top = TopLevel(WS_POPUP | WS_VISIBLE, recorder.Class(0, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)));
    PumpAll();
    EXPECT_EQ(ScreenAt(top, 5, 5), GetSysColor(COLOR_WINDOW));
    EXPECT_GE(display->Presents(top), 1);
}

TEST_F(PaintTest, ChildrenClipTheirParentsAndSiblingsClipEachOther) {
    HWND top = TopLevel();
    HWND below = recorder.Create(top, RECT{10, 10, 50, 50});
    HWND above = recorder.Create(top, RECT{30, 30, 70, 70});
    PaintWith({{top, kRed}, {below, kBlue}, {above, kGreen}});
    PumpAll();
    EXPECT_EQ(ScreenAt(top, 5, 5), kRed);
    EXPECT_EQ(ScreenAt(top, 15, 15), kBlue);
    EXPECT_EQ(ScreenAt(top, 40, 40), kGreen) << "the sibling on top wins";
    EXPECT_EQ(ScreenAt(top, 60, 60), kGreen);

    // Painting the parent alone leaves its children's pixels alone.
    PaintWith({{top, RGB(0, 0, 0)}});
    InvalidateRect(top, nullptr, FALSE);
    PumpAll();
    EXPECT_EQ(ScreenAt(top, 5, 5), RGB(0, 0, 0));
    EXPECT_EQ(ScreenAt(top, 15, 15), kBlue);
    EXPECT_EQ(ScreenAt(top, 40, 40), kGreen);

    // Hiding a child shows its parent where it was.
    ShowWindow(above, SW_HIDE);
    PumpAll();
    EXPECT_EQ(ScreenAt(top, 60, 60), RGB(0, 0, 0));
}

TEST_F(PaintTest, BordersAreDrawnOutsideTheClientArea) {
    HWND top = TopLevel();
    HWND framed = recorder.Create(top, RECT{10, 10, 50, 50}, WS_CHILD | WS_VISIBLE | WS_BORDER);
    PaintWith({{top, kRed}, {framed, kBlue}});
    PumpAll();
    EXPECT_EQ(ScreenAt(top, 10, 10), GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_EQ(ScreenAt(top, 49, 30), GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_EQ(ScreenAt(top, 11, 11), kBlue);
    EXPECT_GE(recorder.Count(framed, WM_NCPAINT), 1);
}

TEST_F(PaintTest, HiddenWindowsAreNotPaintedAndDrawingOutsideThePaintCycleShows) {
    HWND top = TopLevel(WS_POPUP);
    InvalidateRect(top, nullptr, TRUE);
    PumpAll();
    EXPECT_EQ(recorder.Count(top, WM_PAINT), 0);
    ShowWindow(top, SW_SHOW);
    PumpAll();
    EXPECT_EQ(recorder.Count(top, WM_PAINT), 1);

    HDC hdc = GetDC(top);
    HBRUSH brush = CreateSolidBrush(kBlue);
    RECT r{0, 0, 4, 4};
    FillRect(hdc, &r, brush);
    DeleteObject(brush);
    ReleaseDC(top, hdc);
    PumpAll();
    EXPECT_EQ(ScreenAt(top, 1, 1), kBlue);
}

TEST_F(PaintTest, ResizingAndExposureRepaint) {
    HWND top = TopLevel();
    PaintWith({{top, kRed}});
    PumpAll();
    const int paints = recorder.Count(top, WM_PAINT);
    SetWindowPos(top, nullptr, 0, 0, 400, 250, SWP_NOMOVE | SWP_NOZORDER);
    PumpAll();
    EXPECT_EQ(recorder.Count(top, WM_PAINT), paints + 1);
    EXPECT_EQ(ScreenAt(top, 390, 240), kRed);

    // The desktop lost the pixels: they are put back without painting again.
    display->Expose(top);
    EXPECT_EQ(ScreenAt(top, 5, 5), RGB(0, 0, 0));
    PumpAll();
    EXPECT_EQ(ScreenAt(top, 5, 5), kRed);
    EXPECT_EQ(recorder.Count(top, WM_PAINT), paints + 1);
}

// The screen as a headless one, noting the areas it is given.
class AreaRecordingDriver : public HeadlessDriver {
public:
    AreaRecordingDriver() : HeadlessDriver(SIZE{1280, 1024}) {}
    void Present(HWND hwnd, const Surface& surface, const RECT& area) override {
        areas.push_back(area);
        HeadlessDriver::Present(hwnd, surface, area);
    }
    std::vector<RECT> areas;
};

// Makes one the display from now on.
AreaRecordingDriver& RecordAreas() {
    auto owned = std::make_unique<AreaRecordingDriver>();
    AreaRecordingDriver& screen = *owned;
    UseDisplay(std::move(owned));
    return screen;
}

TEST_F(PaintTest, FarApartDrawingsReachTheScreenAloneAndManyAsTheirBounds) {
    AreaRecordingDriver& screen = RecordAreas();
    display = &screen;
    HWND top = TopLevel();
    std::vector<HWND> corners;
    for (const RECT& r : {RECT{0, 0, 10, 10}, RECT{290, 190, 300, 200}, RECT{290, 0, 300, 10}, RECT{0, 190, 10, 200},
                          RECT{145, 95, 155, 105}})
        corners.push_back(recorder.Create(top, r));
    PaintWith({{top, kRed}, {corners[0], kBlue}, {corners[1], kGreen}, {corners[4], kBlue}});
    PumpAll();

    screen.areas.clear();
    InvalidateRect(corners[0], nullptr, FALSE);
    InvalidateRect(corners[1], nullptr, FALSE);
    PumpAll();
    long copied = 0;
    for (const RECT& r : screen.areas) copied += (r.right - r.left) * (r.bottom - r.top);
    EXPECT_EQ(copied, 200) << "two 10 by 10 corners, not the window between them";
    EXPECT_EQ(ScreenAt(top, 5, 5), kBlue);
    EXPECT_EQ(ScreenAt(top, 295, 195), kGreen);

    screen.areas.clear();
    for (HWND corner : corners) InvalidateRect(corner, nullptr, FALSE);
    PumpAll();
    ASSERT_EQ(screen.areas.size(), 1u) << "five areas are more than are worth a copy each";
    EXPECT_EQ(screen.areas[0].left, 0);
    EXPECT_EQ(screen.areas[0].bottom, 200);
    EXPECT_EQ(ScreenAt(top, 150, 100), kBlue);
}

TEST_F(PaintTest, AScrollBarDrawnAgainSendsTheFrameAloneToTheScreen) {
    AreaRecordingDriver& screen = RecordAreas();
    display = &screen;
    HWND top = TopLevel(WS_POPUP | WS_VISIBLE | WS_VSCROLL);
    PaintWith({{top, kRed}});
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE, 0, 100, 10, 0, 0};
    SetScrollInfo(top, SB_VERT, &info, TRUE);
    PumpAll();
    RECT client;
    GetClientRect(top, &client);
    ASSERT_LT(client.right, 300) << "the bar takes its strip";

    screen.areas.clear();
    info.nMax = 1000;
    SetScrollInfo(top, SB_VERT, &info, TRUE);
    PumpAll();
    ASSERT_FALSE(screen.areas.empty());
    for (const RECT& r : screen.areas) EXPECT_GE(r.left, client.right) << "nothing of the client went again";
    EXPECT_EQ(ScreenAt(top, 5, 5), kRed);
}

TEST_F(PaintTest, SnapshotsAreWritten) {
    HWND top = TopLevel();
    PaintWith({{top, kRed}});
    PumpAll();
    const std::string path = ::testing::TempDir() + "/snapshot.png";
    EXPECT_EQ(display->Snapshot(top, path), "");
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    unsigned char magic[4] = {};
    EXPECT_EQ(std::fread(magic, 1, 4, f), 4u);
    std::fclose(f);
    EXPECT_EQ(magic[1], 'P');
    EXPECT_NE(display->Snapshot(reinterpret_cast<HWND>(0x42), path), "");
}

TEST_F(PaintTest, AChangedSchemeReachesColoursBrushesAndEveryTopLevelWindow) {
    const HWND first = TopLevel(), second = TopLevel();
    const HWND child = CreateWindowExA(0, recorder.Class(), "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, first, nullptr,
                                       nullptr, nullptr);
    PumpAll();
    const int index[] = {COLOR_WINDOW};
    const COLORREF old[] = {GetSysColor(COLOR_WINDOW)}, green[] = {kGreen};
    ASSERT_TRUE(SetSysColors(1, index, green));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), kGreen);
    EXPECT_EQ(recorder.Count(first, WM_SYSCOLORCHANGE), 1);
    EXPECT_EQ(recorder.Count(second, WM_SYSCOLORCHANGE), 1);
    EXPECT_EQ(recorder.Count(child, WM_SYSCOLORCHANGE), 0) << "top-level windows pass it on themselves";

    const HDC hdc = CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
    const HGDIOBJ previous = SelectObject(hdc, bitmap);
    const RECT all{0, 0, 4, 4};
    FillRect(hdc, &all, GetSysColorBrush(COLOR_WINDOW));
    EXPECT_EQ(GetPixel(hdc, 1, 1), kGreen) << "the system brush follows its colour";

    const int bad[] = {COLOR_WINDOW, 999};
    const COLORREF two[] = {kRed, kBlue};
    EXPECT_FALSE(SetSysColors(2, bad, two));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), kGreen) << "a bad index changes nothing";
    EXPECT_EQ(recorder.Count(first, WM_SYSCOLORCHANGE), 1);

    ASSERT_TRUE(SetSysColors(1, index, old));
    FillRect(hdc, &all, GetSysColorBrush(COLOR_WINDOW));
    EXPECT_EQ(GetPixel(hdc, 1, 1), old[0]);
    SelectObject(hdc, previous);
    DeleteObject(bitmap);
    DeleteDC(hdc);
}

}  // namespace
