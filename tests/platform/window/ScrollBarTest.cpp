// Scroll bars: their numbers, the room they take, hit testing, tracking by injected mouse input,
// the control, their looks, and ScrollWindowEx's pixel moves.

#include <atomic>
#include <climits>
#include <thread>

#include "platform/controls/CommCtrl.h"
#include "platform/controls/ScrollBar.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"
#include "platform/window/ScrollBarStore.h"
#include "platform/window/ScrollBarTracker.h"
#include "platform/window/ScrollBars.h"
#include "tests/platform/window/WindowTesting.h"

namespace {

struct Request {
    int code;
    int pos;
    bool operator==(const Request&) const = default;
};

void PrintTo(const Request& r, std::ostream* os) { *os << "{" << r.code << ", " << r.pos << "}"; }

SCROLLINFO Info(UINT mask, int minPos, int maxPos, UINT page, int pos) {
    return SCROLLINFO{sizeof(SCROLLINFO), mask, minPos, maxPos, page, pos, 0};
}

SCROLLINFO Read(HWND hwnd, int bar) {
    SCROLLINFO si = Info(SIF_ALL, 0, 0, 0, 0);
    GetScrollInfo(hwnd, bar, &si);
    return si;
}

class ScrollBarTest : public WindowTest {
protected:
    // The requests `to` got with WM_VSCROLL / WM_HSCROLL, (code, position) each.
    std::vector<Request> Requests(HWND to, UINT message) const {
        std::vector<Request> out;
        for (const Seen& s : recorder.Log())
            if (s.hwnd == to && s.message == message) out.push_back({LOWORD(s.wParam), HIWORD(s.wParam)});
        return out;
    }
    bool Ended(HWND to, UINT message) const {
        for (const Request& r : Requests(to, message))
            if (r.code == SB_ENDSCROLL) return true;
        return false;
    }
    // Acts on requests as a program would: lines by one, pages by the page, the thumb where it is.
    void ScrollLikeAProgram(UINT message) {
        recorder.On(message, [message](HWND h, UINT, WPARAM wParam, LPARAM control, bool&) -> LRESULT {
            HWND owner = control ? reinterpret_cast<HWND>(control) : h;
            const int bar = control ? SB_CTL : message == WM_VSCROLL ? SB_VERT : SB_HORZ;
            SCROLLINFO si = Read(owner, bar);
            int pos = si.nPos;
            switch (LOWORD(wParam)) {
                case SB_LINEUP:
                    --pos;
                    break;
                case SB_LINEDOWN:
                    ++pos;
                    break;
                case SB_PAGEUP:
                    pos -= static_cast<int>(si.nPage);
                    break;
                case SB_PAGEDOWN:
                    pos += static_cast<int>(si.nPage);
                    break;
                case SB_THUMBTRACK:
                case SB_THUMBPOSITION:
                    pos = si.nTrackPos;
                    break;
                default:
                    break;
            }
            SetScrollPos(owner, bar, pos, TRUE);
            return 0;
        });
    }
    COLORREF ScreenAt(HWND top, int x, int y) { return Surface::ColorOf(display->Pixels(top).At(x, y)); }
};

TEST_F(ScrollBarTest, NumbersAreClampedAsThePlatformDoes) {
    HWND top = TopLevel(WS_POPUP | WS_VISIBLE | WS_VSCROLL);
    InitCommonControls();
    HWND control = CreateWindowExA(0, WC_SCROLLBARA, "", WS_CHILD | WS_VISIBLE | SBS_VERT, 0, 0, 16, 100, top, nullptr,
                                   nullptr, nullptr);
    ASSERT_NE(control, nullptr);
    struct Case {
        const char* name;
        SCROLLINFO set;
        int min, max;
        UINT page;
        int pos;
    } cases[] = {
        {"a position past the last page", Info(SIF_ALL, 0, 100, 10, 95), 0, 100, 10, 91},
        {"no page: up to the maximum", Info(SIF_PAGE | SIF_POS, 0, 0, 0, 150), 0, 100, 0, 100},
        {"below the minimum", Info(SIF_POS, 0, 0, 0, -5), 0, 100, 0, 0},
        {"a page larger than the range", Info(SIF_PAGE, 0, 0, 200, 0), 0, 100, 101, 0},
        {"a smaller range moves the position", Info(SIF_ALL, 0, 10, 0, 50), 0, 10, 0, 10},
        {"an inverted range is refused", Info(SIF_RANGE, 10, 5, 0, 0), 0, 10, 0, 10},
        {"negative ranges", Info(SIF_ALL, -50, -10, 5, -3), -50, -10, 5, -14},
        {"the whole int range", Info(SIF_ALL, INT_MIN, INT_MAX, UINT_MAX, 0), INT_MIN, INT_MAX, UINT_MAX, INT_MIN + 1},
    };
    for (HWND hwnd : {top, control}) {
        const int bar = hwnd == control ? SB_CTL : SB_VERT;
        for (const Case& c : cases) {
            SCROLLINFO set = c.set;
            const int returned = SetScrollInfo(hwnd, bar, &set, FALSE);
            const SCROLLINFO got = Read(hwnd, bar);
            EXPECT_EQ(returned, c.pos) << c.name;
            EXPECT_EQ(got.nMin, c.min) << c.name;
            EXPECT_EQ(got.nMax, c.max) << c.name;
            EXPECT_EQ(got.nPage, c.page) << c.name;
            EXPECT_EQ(got.nPos, c.pos) << c.name;
            EXPECT_EQ(got.nTrackPos, c.pos) << c.name << ": not tracked, the track position is the position";
        }
        EXPECT_EQ(SetScrollPos(hwnd, bar, 0, FALSE), INT_MIN + 1) << "the previous position";
        SCROLLINFO unsized = Info(SIF_POS, 0, 0, 0, 7);
        unsized.cbSize = 0;
        EXPECT_EQ(SetScrollInfo(hwnd, bar, &unsized, FALSE), 0);
        EXPECT_FALSE(GetScrollInfo(hwnd, bar, &unsized));
        EXPECT_EQ(GetScrollPos(hwnd, bar), INT_MIN + 1) << "clamped, and left alone by a bad SCROLLINFO";
        int lo = 0, hi = 0;
        EXPECT_TRUE(SetScrollRange(hwnd, bar, 3, 30, FALSE));
        EXPECT_FALSE(SetScrollRange(hwnd, bar, -2, INT_MAX, FALSE)) << "wider than the largest int";
        EXPECT_TRUE(GetScrollRange(hwnd, bar, &lo, &hi));
        EXPECT_EQ(lo, 3);
        EXPECT_EQ(hi, 30);
    }
    SCROLLINFO si = Info(SIF_ALL, 0, 0, 0, 0);
    EXPECT_FALSE(GetScrollInfo(reinterpret_cast<HWND>(0x1234), SB_VERT, &si)) << "no such window";
}

TEST_F(ScrollBarTest, ABarShowsWhenTheRangeExceedsAPageAndTheClientAreaFollows) {
    HWND top = TopLevel();
    HWND hwnd = recorder.Create(top, RECT{10, 10, 210, 110}, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL);
    RECT client;
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, 200 - GetSystemMetrics(SM_CXVSCROLL)) << "a window's bars start with a range of 100";
    EXPECT_EQ(client.bottom, 100 - GetSystemMetrics(SM_CYHSCROLL));
    struct Step {
        const char* name;
        int bar;
        SCROLLINFO set;
        LONG width, height;  // the client area afterwards
        bool disabled;       // the bar's arrows after the step
    } steps[] = {
        {"the rows fit: the bar goes", SB_VERT, Info(SIF_RANGE | SIF_PAGE, 0, 49, 50, 0), 200, 84, false},
        {"more rows than a page: it comes back", SB_VERT, Info(SIF_RANGE | SIF_PAGE, 0, 50, 50, 0), 184, 84, false},
        {"a position alone changes nothing shown", SB_VERT, Info(SIF_POS, 0, 0, 0, 1), 184, 84, false},
        {"kept but disabled", SB_VERT, Info(SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL, 0, 9, 50, 0), 184, 84, true},
        {"the columns fit too", SB_HORZ, Info(SIF_RANGE | SIF_PAGE, 0, 100, 200, 0), 184, 100, false},
        {"scrolling again enables it", SB_VERT, Info(SIF_RANGE, 0, 500, 0, 0), 184, 100, false},
    };
    for (const Step& s : steps) {
        recorder.Log().clear();
        SetScrollInfo(hwnd, s.bar, &s.set, TRUE);
        GetClientRect(hwnd, &client);
        EXPECT_EQ(client.right, s.width) << s.name;
        EXPECT_EQ(client.bottom, s.height) << s.name;
        const int sizes = recorder.Count(hwnd, WM_SIZE);
        EXPECT_EQ(sizes, recorder.Count(hwnd, WM_NCCALCSIZE) ? 1 : 0) << s.name << ": WM_SIZE when the area changed";
        if (sizes) {
            EXPECT_EQ(recorder.Log().back().message, WM_SIZE) << s.name;
            EXPECT_EQ(recorder.Log().back().lParam, MAKELPARAM(s.width, s.height)) << s.name;
        }
        EXPECT_EQ(EnableScrollBar(hwnd, s.bar, s.disabled ? ESB_DISABLE_BOTH : ESB_ENABLE_BOTH), FALSE)
            << s.name << ": already in that state";
    }
    EXPECT_TRUE(ShowScrollBar(hwnd, SB_BOTH, TRUE));
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.bottom, 84);
    EXPECT_TRUE(ShowScrollBar(hwnd, SB_BOTH, FALSE));
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, 200);
    EXPECT_EQ(client.bottom, 100);

    // Redrawn only when asked.
    ShowScrollBar(hwnd, SB_VERT, TRUE);
    PumpAll();
    recorder.Log().clear();
    SetScrollPos(hwnd, SB_VERT, 3, FALSE);
    PumpAll();
    EXPECT_EQ(recorder.Count(hwnd, WM_NCPAINT), 0);
    SetScrollPos(hwnd, SB_VERT, 4, TRUE);
    PumpAll();
    EXPECT_EQ(recorder.Count(hwnd, WM_NCPAINT), 1);
}

TEST_F(ScrollBarTest, HitTestsFindTheBarsInsideTheBorder) {
    HWND top = TopLevel();
    HWND hwnd =
        recorder.Create(top, RECT{10, 10, 110, 90}, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL);
    struct Case {
        int x, y;  // in the window
        LRESULT hit;
    } cases[] = {
        {50, 40, HTCLIENT},  {90, 40, HTVSCROLL}, {98, 1, HTVSCROLL}, {82, 40, HTCLIENT},
        {83, 40, HTVSCROLL}, {50, 70, HTHSCROLL}, {1, 78, HTHSCROLL}, {90, 70, HTBORDER},
        {99, 40, HTBORDER},  {50, 79, HTBORDER},  {0, 0, HTBORDER},   {100, 40, HTNOWHERE},
    };
    RECT window;
    GetWindowRect(hwnd, &window);
    for (const Case& c : cases)
        EXPECT_EQ(SendMessageA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(window.left + c.x, window.top + c.y)), c.hit)
            << c.x << ", " << c.y;
}

TEST_F(ScrollBarTest, AWindowTheDesktopFramesGetsItsBarsButNoFrameOfOurs) {
    const auto white = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    HWND hwnd = recorder.Create(nullptr, RECT{100, 100, 400, 300}, WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_VSCROLL, 0, 0,
                                recorder.Class(0, nullptr, white));
    PumpAll();
    RECT client;
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, 300 - GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(client.bottom, 200);
    EXPECT_EQ(ScreenAt(hwnd, 0, 0), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(ScreenAt(hwnd, client.right, 0), GetSysColor(COLOR_3DLIGHT)) << "the arrow's raised edge";
}

// A bar of 234 pixels: arrows of 16, a track of 202 with a thumb of 20 for a page of 10 in 0..100,
// so that each position is 2 pixels; at position 50 the thumb lies 100 pixels down the track.
class TrackingTest : public ScrollBarTest {
protected:
    void SetUp() override {
        ScrollBarTest::SetUp();
        ScrollLikeAProgram(WM_VSCROLL);
        ScrollLikeAProgram(WM_HSCROLL);
    }
    HWND Window(bool vertical) {
        const RECT r = vertical ? RECT{100, 100, 220, 334} : RECT{100, 100, 334, 220};
        HWND hwnd = recorder.Create(nullptr, r, WS_POPUP | WS_VISIBLE | (vertical ? WS_VSCROLL : WS_HSCROLL));
        const SCROLLINFO si = Info(SIF_ALL, 0, 100, 10, 50);
        SetScrollInfo(hwnd, vertical ? SB_VERT : SB_HORZ, &si, TRUE);
        PumpAll();
        recorder.Log().clear();
        return hwnd;
    }
    // A point `along` pixels from the bar's start, in its middle across, on the screen.
    static POINT OnBar(bool vertical, int along) {
        return vertical ? POINT{212, 100 + along} : POINT{100 + along, 212};
    }
};

TEST_F(TrackingTest, PressesOnEachPartSendTheirRequests) {
    struct Case {
        const char* name;
        int press, move, across;  // along the bar; the move's distance; and how far off the bar it goes
        std::vector<Request> sent;
        int pos;
    } cases[] = {
        {"the first arrow", 8, 0, 0, {{SB_LINEUP, 0}, {SB_ENDSCROLL, 0}}, 49},
        {"the last arrow", 226, 0, 0, {{SB_LINEDOWN, 0}, {SB_ENDSCROLL, 0}}, 51},
        {"the track before the thumb", 50, 0, 0, {{SB_PAGEUP, 0}, {SB_ENDSCROLL, 0}}, 40},
        {"the track after the thumb", 200, 0, 0, {{SB_PAGEDOWN, 0}, {SB_ENDSCROLL, 0}}, 60},
        {"the thumb, still", 126, 0, 0, {{SB_THUMBTRACK, 50}, {SB_THUMBPOSITION, 50}, {SB_ENDSCROLL, 0}}, 50},
        {"the thumb, dragged",
         126,
         20,
         0,
         {{SB_THUMBTRACK, 50}, {SB_THUMBTRACK, 60}, {SB_THUMBPOSITION, 60}, {SB_ENDSCROLL, 0}},
         60},
        {"the thumb, dragged past the end",
         126,
         300,
         0,
         {{SB_THUMBTRACK, 50}, {SB_THUMBTRACK, 91}, {SB_THUMBPOSITION, 91}, {SB_ENDSCROLL, 0}},
         91},
        {"the thumb, dragged and let go far off the bar",
         126,
         20,
         80,
         {{SB_THUMBTRACK, 50}, {SB_THUMBPOSITION, 50}, {SB_ENDSCROLL, 0}},
         50},
    };
    for (bool vertical : {true, false}) {
        const UINT message = vertical ? WM_VSCROLL : WM_HSCROLL;
        for (const Case& c : cases) {
            HWND hwnd = Window(vertical);
            const POINT press = OnBar(vertical, c.press);
            POINT to = OnBar(vertical, c.press + c.move);
            (vertical ? to.x : to.y) += c.across;
            display->MoveMouse(press);
            display->Press();
            if (c.move) display->MoveMouse(to);
            display->Release();
            ASSERT_TRUE(PumpUntil([&] { return Ended(hwnd, message); })) << c.name;
            PumpAll();
            EXPECT_EQ(Requests(hwnd, message), c.sent) << c.name << (vertical ? ", vertical" : ", horizontal");
            EXPECT_EQ(GetScrollPos(hwnd, vertical ? SB_VERT : SB_HORZ), c.pos) << c.name;
            EXPECT_EQ(GetCapture(), nullptr) << c.name;
            DestroyWindow(hwnd);
        }
    }
}

TEST_F(TrackingTest, APressGoesThroughTheSystemCommandAndDisabledPartsTakeNone) {
    HWND hwnd = Window(true);
    display->Click(OnBar(true, 226));
    ASSERT_TRUE(PumpUntil([&] { return Ended(hwnd, WM_VSCROLL); }));
    EXPECT_EQ(recorder.MessagesOf(hwnd, {WM_NCLBUTTONDOWN, WM_SYSCOMMAND, WM_VSCROLL, WM_LBUTTONUP}),
              (std::vector<UINT>{WM_NCLBUTTONDOWN, WM_SYSCOMMAND, WM_VSCROLL, WM_VSCROLL}))
        << "the release is the tracker's";
    for (const Seen& s : recorder.Log())
        if (s.message == WM_SYSCOMMAND) {
            EXPECT_EQ(s.wParam, SC_VSCROLL | HTVSCROLL);
        }

    // A press that a program sends, with no button held, scrolls once.
    recorder.Log().clear();
    RECT window;
    GetWindowRect(hwnd, &window);
    SendMessageA(hwnd, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(212, 326));
    EXPECT_EQ(Requests(hwnd, WM_VSCROLL), (std::vector<Request>{{SB_LINEDOWN, 0}, {SB_ENDSCROLL, 0}}));

    // A release that a nested loop took ends the tracking at its next tick.
    recorder.Log().clear();
    recorder.On(WM_VSCROLL, [&](HWND, UINT, WPARAM wParam, LPARAM, bool&) -> LRESULT {
        if (LOWORD(wParam) != SB_LINEDOWN) return 0;
        display->Release();
        PumpAll();
        return 0;
    });
    display->MoveMouse(OnBar(true, 226));
    display->Press();
    ASSERT_TRUE(PumpUntil([&] { return Ended(hwnd, WM_VSCROLL); }));
    EXPECT_EQ(Requests(hwnd, WM_VSCROLL), (std::vector<Request>{{SB_LINEDOWN, 0}, {SB_ENDSCROLL, 0}}));
    EXPECT_EQ(GetCapture(), nullptr);
    ScrollLikeAProgram(WM_VSCROLL);

    EnableScrollBar(hwnd, SB_VERT, ESB_DISABLE_DOWN);
    recorder.Log().clear();
    display->Click(OnBar(true, 226));  // the disabled arrow
    display->Click(OnBar(true, 8));    // the other one still works
    ASSERT_TRUE(PumpUntil([&] { return Ended(hwnd, WM_VSCROLL); }));
    EXPECT_EQ(Requests(hwnd, WM_VSCROLL), (std::vector<Request>{{SB_LINEUP, 0}, {SB_ENDSCROLL, 0}}));

    const SCROLLINFO fits = Info(SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL, 0, 5, 10, 0);
    SetScrollInfo(hwnd, SB_VERT, &fits, TRUE);
    recorder.Log().clear();
    for (int along : {8, 100, 226}) display->Click(OnBar(true, along));
    PumpAll();
    EXPECT_TRUE(Requests(hwnd, WM_VSCROLL).empty()) << "a bar that cannot scroll takes no presses";
}

TEST_F(TrackingTest, HeldArrowsRepeatAndPagesStopAtThePointer) {
    HWND hwnd = Window(true);
    // Held on the last arrow: released from the third request on.
    int lines = 0;
    recorder.On(WM_VSCROLL, [&](HWND, UINT, WPARAM wParam, LPARAM, bool&) -> LRESULT {
        if (LOWORD(wParam) == SB_LINEDOWN && ++lines == 3) display->Release();
        return 0;
    });
    display->MoveMouse(OnBar(true, 226));
    display->Press();
    ASSERT_TRUE(PumpUntil([&] { return Ended(hwnd, WM_VSCROLL); }));
    EXPECT_EQ(Requests(hwnd, WM_VSCROLL),
              (std::vector<Request>{{SB_LINEDOWN, 0}, {SB_LINEDOWN, 0}, {SB_LINEDOWN, 0}, {SB_ENDSCROLL, 0}}))
        << "the release comes before the next tick";

    // Held on the track near its end: pages until the thumb is under the pointer (position 80
    // puts it at 160..180 on the track, over the pointer at 176), then no more; let go after a
    // few more ticks of a timer of the test's own.
    recorder.Log().clear();
    ScrollLikeAProgram(WM_VSCROLL);
    int ticks = 0;
    recorder.On(WM_TIMER, [&](HWND, UINT, WPARAM id, LPARAM, bool&) -> LRESULT {
        if (id == 7 && GetScrollPos(hwnd, SB_VERT) >= 80 && ++ticks == 4) display->Release();
        return 0;
    });
    SetTimer(hwnd, 7, ScrollBarTracker::kRepeatDelay, nullptr);
    display->MoveMouse(OnBar(true, 16 + 176));
    display->Press();
    ASSERT_TRUE(PumpUntil([&] { return Ended(hwnd, WM_VSCROLL); }));
    KillTimer(hwnd, 7);
    EXPECT_EQ(Requests(hwnd, WM_VSCROLL),
              (std::vector<Request>{{SB_PAGEDOWN, 0}, {SB_PAGEDOWN, 0}, {SB_PAGEDOWN, 0}, {SB_ENDSCROLL, 0}}));
    EXPECT_EQ(GetScrollPos(hwnd, SB_VERT), 80);
}

TEST_F(TrackingTest, OtherThreadsSendsAreAnsweredWhileTheThumbIsHeld) {
    HWND hwnd = Window(true);
    std::thread sender;
    std::atomic<LRESULT> answer{0};
    recorder.On(WM_VSCROLL, [&](HWND, UINT, WPARAM wParam, LPARAM, bool&) -> LRESULT {
        if (LOWORD(wParam) == SB_THUMBTRACK && !sender.joinable())
            sender = std::thread([&] { answer = SendMessageA(hwnd, WM_USER + 1, 0, 0); });
        return 0;
    });
    recorder.On(WM_USER + 1, [&](HWND, UINT, WPARAM, LPARAM, bool&) -> LRESULT {
        display->Release();  // the thumb is let go only once the send got here
        return 42;
    });
    display->MoveMouse(OnBar(true, 126));
    display->Press();
    ASSERT_TRUE(PumpUntil([&] { return Ended(hwnd, WM_VSCROLL); }));
    sender.join();
    EXPECT_EQ(answer, 42);
    EXPECT_EQ(recorder.MessagesOf(hwnd, {WM_VSCROLL, WM_USER + 1}),
              (std::vector<UINT>{WM_VSCROLL, WM_USER + 1, WM_VSCROLL, WM_VSCROLL}));
}

TEST_F(ScrollBarTest, TheControlReportsToItsParent) {
    InitCommonControls();
    HWND parent = TopLevel();
    HWND bar = CreateWindowExA(0, WC_SCROLLBARA, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | SBS_HORZ, 10, 10, 100, 16,
                               parent, reinterpret_cast<HMENU>(5), nullptr, nullptr);
    ASSERT_NE(bar, nullptr);
    ScrollLikeAProgram(WM_HSCROLL);
    const SCROLLINFO si = Info(SIF_ALL, 0, 20, 4, 10);
    EXPECT_EQ(SetScrollInfo(bar, SB_CTL, &si, TRUE), 10);
    PumpAll();
    recorder.Log().clear();
    display->Click(OnScreen(bar, 95, 8));  // the right arrow
    ASSERT_TRUE(PumpUntil([&] { return Ended(parent, WM_HSCROLL); }));
    EXPECT_EQ(GetFocus(), bar) << "a tab stop takes the focus";
    display->KeyPress(VK_NEXT);
    display->KeyPress(VK_HOME);
    PumpAll();
    EXPECT_EQ(Requests(parent, WM_HSCROLL), (std::vector<Request>{{SB_LINERIGHT, 0},
                                                                  {SB_ENDSCROLL, 0},
                                                                  {SB_PAGERIGHT, 0},
                                                                  {SB_ENDSCROLL, 0},
                                                                  {SB_LEFT, 0},
                                                                  {SB_ENDSCROLL, 0}}));
    for (const Seen& s : recorder.Log())
        if (s.message == WM_HSCROLL) {
            EXPECT_EQ(s.lParam, reinterpret_cast<LPARAM>(bar));
        }
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 15);

    EXPECT_TRUE(EnableScrollBar(bar, SB_CTL, ESB_DISABLE_BOTH));
    EXPECT_FALSE(EnableScrollBar(bar, SB_CTL, ESB_DISABLE_BOTH)) << "no change";
    recorder.Log().clear();
    display->Click(OnScreen(bar, 50, 8));
    display->KeyPress(VK_NEXT);
    PumpAll();
    EXPECT_TRUE(Requests(parent, WM_HSCROLL).empty()) << "disabled";
    EXPECT_EQ(SetScrollInfo(parent, SB_CTL, &si, TRUE), 0) << "not a control";
}

TEST_F(ScrollBarTest, FlatBarsLoseTheirEdgesAndDisabledOnesTheirThumb) {
    // 60 by 100: the bar at x 44..60; a page of half the range puts a thumb of 33 at 16..49.
    struct Case {
        const char* name;
        bool flat;
        bool fits;
        COLORREF arrowCorner, thumbCorner, glyph;
    } cases[] = {
        {"3-D", false, false, GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_BTNTEXT)},
        {"flat", true, false, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNTEXT)},
        {"disabled", false, true, GetSysColor(COLOR_3DLIGHT), 0, GetSysColor(COLOR_BTNSHADOW)},
    };
    for (const Case& c : cases) {
        HWND hwnd = recorder.Create(nullptr, RECT{100, 100, 160, 200}, WS_POPUP | WS_VISIBLE | WS_VSCROLL);
        if (c.flat) {
            EXPECT_TRUE(InitializeFlatSB(hwnd));
        }
        const SCROLLINFO si = c.fits ? Info(SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL, 0, 10, 50, 0)
                                     : Info(SIF_RANGE | SIF_PAGE, 0, 100, 50, 0);
        SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
        PumpAll();
        EXPECT_EQ(ScreenAt(hwnd, 44, 0), c.arrowCorner) << c.name;
        EXPECT_EQ(ScreenAt(hwnd, 44 + 8, 8), c.glyph) << c.name << ": the arrow's glyph";
        if (c.fits) {
            // No thumb: the whole track is the checked pattern.
            EXPECT_EQ(ScreenAt(hwnd, 50, 30), ScreenAt(hwnd, 51, 31)) << c.name;
            EXPECT_NE(ScreenAt(hwnd, 50, 30), ScreenAt(hwnd, 51, 30)) << c.name;
        } else {
            EXPECT_EQ(ScreenAt(hwnd, 59, 48), c.thumbCorner) << c.name;
            EXPECT_EQ(ScreenAt(hwnd, 52, 30), GetSysColor(COLOR_3DFACE)) << c.name << ": the thumb's face";
            EXPECT_NE(ScreenAt(hwnd, 50, 70), ScreenAt(hwnd, 51, 70)) << c.name << ": the track, checked";
        }
        DestroyWindow(hwnd);
    }
}

TEST_F(ScrollBarTest, BarsGoWithTheirWindow) {
    const std::size_t before = ScrollBarStore::Windows();
    HWND top = TopLevel(WS_POPUP | WS_VISIBLE | WS_VSCROLL);
    SetScrollPos(top, SB_VERT, 3, FALSE);
    EXPECT_EQ(ScrollBarStore::Windows(), before + 1);
    DestroyWindow(top);
    EXPECT_EQ(ScrollBarStore::Windows(), before);

    // Windows that kept WM_NCDESTROY from DefWindowProc are swept out as more windows get bars.
    recorder.On(WM_NCDESTROY, [](HWND, UINT, WPARAM, LPARAM, bool&) -> LRESULT { return 0; });
    for (int i = 0; i < 200; ++i) {
        HWND hwnd = TopLevel(WS_POPUP | WS_VSCROLL);
        SetScrollPos(hwnd, SB_VERT, i % 100, FALSE);
        DestroyWindow(hwnd);
    }
    EXPECT_LT(ScrollBarStore::Windows(), before + 100);
}

// ScrollWindowEx on a 40 by 40 window whose procedure paints a pattern that the scrolling moves
// (rows above `fixedRows` stay, like a header).
class ScrollWindowTest : public ScrollBarTest {
protected:
    static COLORREF Content(int x, int y) { return RGB((x * 6) & 0xFF, (y * 6) & 0xFF, 77); }
    COLORREF Expected(int x, int y) const { return y < fixedRows ? RGB(0, 0, 255) : Content(x + ox, y + oy); }

    HWND Window() {
        recorder.On(WM_PAINT, [this](HWND h, UINT, WPARAM, LPARAM, bool&) -> LRESULT {
            PAINTSTRUCT ps;
            HDC hdc = BeginPaint(h, &ps);
            painted.push_back(ps.rcPaint);
            for (int y = ps.rcPaint.top; y < ps.rcPaint.bottom; ++y)
                for (int x = ps.rcPaint.left; x < ps.rcPaint.right; ++x) SetPixel(hdc, x, y, Expected(x, y));
            EndPaint(h, &ps);
            return 0;
        });
        HWND hwnd = recorder.Create(nullptr, RECT{100, 100, 140, 140}, WS_POPUP | WS_VISIBLE);
        PumpAll();
        painted.clear();
        return hwnd;
    }
    // Where the screen differs from the pattern, outside `skip`.
    int Wrong(HWND hwnd, const RECT& skip = RECT{}) {
        const Surface pixels = display->Pixels(hwnd);
        int wrong = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                if (!PtInRect(&skip, POINT{x, y}) && Surface::ColorOf(pixels.At(x, y)) != Expected(x, y)) ++wrong;
        return wrong;
    }

    int ox = 0, oy = 0, fixedRows = 0;
    std::vector<RECT> painted;
};

TEST_F(ScrollWindowTest, PixelsMoveAndOnlyWhatWasUncoveredIsPainted) {
    struct Case {
        const char* name;
        int dx, dy;
        int fixedRows;  // scrolled and clipped below these rows
        RECT update;
        int complexity;
    } cases[] = {
        {"up", 0, -10, 0, {0, 30, 40, 40}, SIMPLEREGION},
        {"down", 0, 10, 0, {0, 0, 40, 10}, SIMPLEREGION},
        {"left", -7, 0, 0, {33, 0, 40, 40}, SIMPLEREGION},
        {"right and down", 5, 3, 0, {0, 0, 40, 40}, COMPLEXREGION},
        {"further than the window", 0, 50, 0, {0, 0, 40, 40}, SIMPLEREGION},
        {"below a header", 0, -5, 10, {0, 35, 40, 40}, SIMPLEREGION},
        {"down below a header", 0, 5, 10, {0, 10, 40, 15}, SIMPLEREGION},
        {"nowhere", 0, 0, 0, {0, 0, 0, 0}, NULLREGION},
    };
    for (const Case& c : cases) {
        ox = oy = 0;
        fixedRows = c.fixedRows;
        HWND hwnd = Window();
        ASSERT_EQ(Wrong(hwnd), 0) << c.name;
        const RECT area{0, c.fixedRows, 40, 40};
        HRGN update = CreateRectRgn(0, 0, 0, 0);
        RECT bounds;
        const RECT* limit = c.fixedRows ? &area : nullptr;
        EXPECT_EQ(ScrollWindowEx(hwnd, c.dx, c.dy, limit, limit, update, &bounds, SW_INVALIDATE), c.complexity)
            << c.name;
        ox -= c.dx;
        oy -= c.dy;
        EXPECT_TRUE(EqualRect(&bounds, &c.update)) << c.name;
        RECT box;
        GetRgnBox(update, &box);
        EXPECT_TRUE(EqualRect(&box, &c.update)) << c.name;
        DeleteObject(update);
        PumpAll();
        if (c.complexity == NULLREGION) {
            EXPECT_TRUE(painted.empty()) << c.name;
        } else {
            ASSERT_EQ(painted.size(), 1u) << c.name;
            EXPECT_TRUE(EqualRect(&painted[0], &c.update)) << c.name << ": the uncovered part alone";
        }
        EXPECT_EQ(Wrong(hwnd), 0) << c.name;
        DestroyWindow(hwnd);
    }
}

TEST_F(ScrollWindowTest, PixelsStillToBePaintedOrHiddenDoNotMove) {
    HWND hwnd = Window();
    // Rows drawn over but not yet repainted.
    HDC hdc = GetDC(hwnd);
    const RECT stale{0, 0, 40, 5};
    FillRect(hdc, &stale, reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(hwnd, hdc);
    InvalidateRect(hwnd, &stale, FALSE);
    ScrollWindowEx(hwnd, 0, 10, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
    oy -= 10;
    PumpAll();
    EXPECT_EQ(Wrong(hwnd), 0);

    // Moved out of the scrolled area: where stale rows would have landed is uncovered too.
    const RECT lower{0, 20, 40, 40}, staleLower{0, 20, 40, 25}, expected{0, 10, 40, 40};
    InvalidateRect(hwnd, &staleLower, FALSE);
    RECT update;
    EXPECT_EQ(ScrollWindowEx(hwnd, 0, -10, &lower, nullptr, nullptr, &update, 0), COMPLEXREGION);
    EXPECT_TRUE(EqualRect(&update, &expected));
    InvalidateRect(hwnd, nullptr, FALSE);
    PumpAll();

    // A child covers part of the window: what moves out from under it is painted, not copied.
    const RECT covered{10, 10, 30, 30};
    HWND child = recorder.Create(hwnd, covered);
    PumpAll();
    recorder.Log().clear();
    ScrollWindowEx(hwnd, 0, -10, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
    oy += 10;
    PumpAll();
    EXPECT_EQ(Wrong(hwnd, covered), 0);
    EXPECT_EQ(recorder.Count(hwnd, WM_ERASEBKGND), 1);

    // The children move along when asked.
    ScrollWindowEx(hwnd, 5, 0, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE | SW_SCROLLCHILDREN);
    RECT moved;
    GetWindowRect(child, &moved);
    EXPECT_EQ(moved.left, 100 + 15);
}

}  // namespace
