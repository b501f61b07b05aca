// The status bar: where it places itself, its panes and their rectangles, texts, simple mode for
// menu prompts, and what shows.

#include <string>

#include "platform/controls/StatusBar.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/TextOutput.h"
#include "tests/platform/controls/BarsTesting.h"

namespace {

class StatusBarTest : public BarsTest {
protected:
    HWND Bar(HWND parent, DWORD style = 0, RECT r = RECT{0, 0, 0, 0}) {
        return Control(STATUSCLASSNAMEA, parent, r, WS_CHILD | WS_VISIBLE | style, 0xE801);
    }
    static RECT InParent(HWND hwnd) {
        RECT r;
        GetWindowRect(hwnd, &r);
        MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    static int TextHeight() {
        HDC hdc = GetDC(nullptr);
        const HGDIOBJ old = SelectObject(hdc, GetStockObject(DEFAULT_GUI_FONT));
        TEXTMETRICA tm{};
        GetTextMetricsA(hdc, &tm);
        SelectObject(hdc, old);
        ReleaseDC(nullptr, hdc);
        return tm.tmHeight;
    }
    static std::string Text(HWND bar, int pane) {
        const auto length = LOWORD(static_cast<std::uintptr_t>(SendMessageA(bar, SB_GETTEXTLENGTHA, pane, 0)));
        std::string text(length + 1, '?');
        SendMessageA(bar, SB_GETTEXTA, pane, reinterpret_cast<LPARAM>(text.data()));
        text.resize(length);
        return text;
    }
};

TEST_F(StatusBarTest, ItPlacesItselfAcrossItsParentAsItsStyleSays) {
    const int height = TextHeight() + 6;  // the text, a pane's frame and the border above the panes
    struct Case {
        DWORD style;
        RECT created;
        RECT placed;
    };
    const Case cases[] = {
        {0, RECT{5, 5, 50, 50}, RECT{0, 200 - height, 300, 200}},
        {CCS_TOP, RECT{5, 5, 50, 50}, RECT{0, 0, 300, height}},
        {CCS_NOPARENTALIGN, RECT{5, 30, 50, 50}, RECT{0, 30, 300, 30 + height}},
        {CCS_NORESIZE, RECT{5, 30, 50, 50}, RECT{5, 30, 50, 50}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "style " << c.style);
        HWND top = TopLevel();
        HWND bar = Bar(top, c.style, c.created);
        EXPECT_EQ(InParent(bar), c.placed);
        DestroyAllWindows();
    }

    // The parent grows, passes its WM_SIZE on, and the bar follows; a minimum height counts from then.
    HWND top = TopLevel();
    HWND bar = Bar(top);
    MoveWindow(top, 100, 100, 400, 250, TRUE);
    SendMessageA(bar, SB_SETMINHEIGHT, 30, 0);
    SendMessageA(bar, WM_SIZE, 0, 0);
    EXPECT_EQ(InParent(bar), (RECT{0, 250 - 36, 400, 250}));
}

TEST_F(StatusBarTest, PanesHaveTheirRectanglesAndTheGripTakesRoomFromTheLast) {
    const int parts[] = {100, 200, -1};
    for (const DWORD style : {DWORD{0}, SBARS_SIZEGRIP}) {
        SCOPED_TRACE(testing::Message() << "style " << style);
        HWND bar = Bar(TopLevel(), style);
        RECT client;
        GetClientRect(bar, &client);
        EXPECT_EQ(SendMessageA(bar, SB_GETPARTS, 0, 0), 1);  // one pane to begin with
        EXPECT_TRUE(SendMessageA(bar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts)));
        int back[3] = {};
        EXPECT_EQ(SendMessageA(bar, SB_GETPARTS, 2, reinterpret_cast<LPARAM>(back)), 3);
        EXPECT_EQ(back[1], 200);
        EXPECT_EQ(back[2], 0);  // not asked for

        const int end = style ? 300 - GetSystemMetrics(SM_CXVSCROLL) : 300;
        const RECT expected[] = {
            {0, 2, 100, client.bottom}, {102, 2, 200, client.bottom}, {202, 2, end, client.bottom}};
        for (int i = 0; i < 3; ++i) {
            RECT r{};
            EXPECT_TRUE(SendMessageA(bar, SB_GETRECT, i, reinterpret_cast<LPARAM>(&r)));
            EXPECT_EQ(r, expected[i]) << "pane " << i;
        }
        RECT none{};
        EXPECT_FALSE(SendMessageA(bar, SB_GETRECT, 3, reinterpret_cast<LPARAM>(&none)));
        int borders[3] = {};
        EXPECT_TRUE(SendMessageA(bar, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders)));
        EXPECT_EQ(borders[1], 2);

        // Counts the platform refuses leave the panes alone.
        EXPECT_FALSE(SendMessageA(bar, SB_SETPARTS, 0, reinterpret_cast<LPARAM>(parts)));
        EXPECT_FALSE(SendMessageA(bar, SB_SETPARTS, 257, reinterpret_cast<LPARAM>(parts)));
        EXPECT_EQ(SendMessageA(bar, SB_GETPARTS, 0, 0), 3);

        // The grip's ridges sit in the corner.
        const Shot shot = Take(bar);
        EXPECT_EQ(shot.Count(RECT{client.right - 12, client.bottom - 12, client.right, client.bottom},
                             Sys(COLOR_3DSHADOW)) > 0,
                  style != 0);
        DestroyAllWindows();
    }
}

TEST_F(StatusBarTest, TextsAndTheirTypesComeBack) {
    HWND bar = Bar(TopLevel());
    const int parts[] = {100, -1};
    SendMessageA(bar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    struct Case {
        WPARAM wParam;
        const char* text;
        BOOL result;
    };
    const Case cases[] = {
        {0, "Ready", TRUE},
        {1 | SBT_POPOUT, "Loading...", TRUE},
        {1 | SBT_NOBORDERS, "left\tcentre\tright", TRUE},
        {2, "no such pane", FALSE},
        {SB_SIMPLEID, "Show Quillbridge logs", TRUE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(SendMessageA(bar, SB_SETTEXTA, c.wParam, reinterpret_cast<LPARAM>(c.text)), c.result);
        if (!c.result) continue;
        const WPARAM pane = c.wParam & 0xFF;
        const LRESULT length = SendMessageA(bar, SB_GETTEXTLENGTHA, pane, 0);
        EXPECT_EQ(LOWORD(static_cast<std::uintptr_t>(length)), std::string(c.text).size());
        EXPECT_EQ(HIWORD(static_cast<std::uintptr_t>(length)), c.wParam & 0xFF00);
        EXPECT_EQ(Text(bar, static_cast<int>(pane)), c.text);
    }
    // The window's own text is the first pane's.
    SetWindowTextA(bar, "Quillbridge Log");
    EXPECT_EQ(Text(bar, 0), "Quillbridge Log");
    char buffer[8];
    EXPECT_EQ(GetWindowTextA(bar, buffer, sizeof buffer), 7);
    EXPECT_STREQ(buffer, "Quillbr");
}

TEST_F(StatusBarTest, SimpleModeShowsThePromptInsteadOfThePanes) {
    HWND bar = Bar(TopLevel());
    const int parts[] = {150, -1};
    SendMessageA(bar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    SendMessageA(bar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>("MMMMMMMM"));
    RECT pane0, client;
    SendMessageA(bar, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&pane0));
    GetClientRect(bar, &client);
    const COLORREF ink = Sys(COLOR_BTNTEXT);
    EXPECT_GT(Take(bar).Count(pane0, ink), 0);

    SendMessageA(bar, SB_SIMPLE, TRUE, 0);
    EXPECT_TRUE(SendMessageA(bar, SB_ISSIMPLE, 0, 0));
    EXPECT_EQ(Take(bar).Count(client, ink), 0);  // no prompt yet, and the panes are gone
    RECT simple{};
    EXPECT_TRUE(SendMessageA(bar, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&simple)));
    EXPECT_EQ(simple, (RECT{0, 2, 300, client.bottom}));

    SendMessageA(bar, SB_SETTEXTA, SB_SIMPLEID | SBT_NOBORDERS, reinterpret_cast<LPARAM>("Refresh logs"));
    EXPECT_GT(Take(bar).Count(client, ink), 0);
    EXPECT_EQ(Text(bar, 0), "MMMMMMMM");  // the panes keep their texts meanwhile

    SendMessageA(bar, SB_SIMPLE, FALSE, 0);
    const Shot back = Take(bar);
    EXPECT_GT(back.Count(pane0, ink), 0);
    EXPECT_EQ(back.At(pane0.left, pane0.top), Sys(COLOR_3DSHADOW));  // a sunken pane
}

}  // namespace
