// Tooltips: tools by window and by rectangle, their texts, the delays, and showing and hiding as
// the pointer comes, leaves and clicks. Delays run on real timers: the tests wait for what the
// timer brings about, never for a time.

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>

#include "platform/controls/Tooltip.h"
#include "tests/platform/controls/BarsTesting.h"

namespace {

constexpr UINT_PTR kRectTool = 7;
const RECT kToolRect{150, 20, 250, 80};

class TooltipTest : public BarsTest {
protected:
    void SetUp() override {
        BarsTest::SetUp();
        top = TopLevel();
        child = recorder.Create(top, RECT{20, 20, 120, 80});
        tip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, top, nullptr, nullptr,
                              nullptr);
        ASSERT_NE(tip, nullptr);
        // A tool by rectangle asks its window for the text; the child is a tool of its own.
        TOOLINFOA byRect = Info(top, kRectTool, LPSTR_TEXTCALLBACKA);
        byRect.uFlags = TTF_SUBCLASS;
        byRect.rect = kToolRect;
        ASSERT_TRUE(Send(TTM_ADDTOOLA, 0, &byRect));
        TOOLINFOA byWindow = Info(top, reinterpret_cast<UINT_PTR>(child), const_cast<char*>("Child tip"));
        byWindow.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ASSERT_TRUE(Send(TTM_ADDTOOLA, 0, &byWindow));
        recorder.On(WM_NOTIFY, [this](HWND, UINT, WPARAM, LPARAM l, bool&) -> LRESULT {
            auto* nm = reinterpret_cast<NMTTDISPINFOA*>(l);
            notes.push_back(nm->hdr.code);
            if (nm->hdr.code == TTN_GETDISPINFOA) {
                EXPECT_EQ(nm->hdr.hwndFrom, tip);
                EXPECT_EQ(nm->hdr.idFrom, kRectTool);
                std::strcpy(nm->szText, answer.c_str());
            }
            return 0;
        });
    }

    static TOOLINFOA Info(HWND hwnd, UINT_PTR id, char* text = nullptr) {
        TOOLINFOA ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = hwnd;
        ti.uId = id;
        ti.lpszText = text;
        return ti;
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, const void* lParam = nullptr) {
        return SendMessageA(tip, message, wParam, reinterpret_cast<LPARAM>(lParam));
    }
    bool Shows() { return IsWindowVisible(tip); }
    bool ShowsSoon() {
        return PumpUntil([&] { return Shows(); });
    }
    bool HidesSoon() {
        return PumpUntil([&] { return !Shows(); }, std::chrono::seconds(20));
    }
    std::string TextOf(UINT_PTR id, WPARAM size = 0) {
        char buffer[Tooltip::kShortText] = {};
        TOOLINFOA ti = Info(top, id, buffer);
        Send(TTM_GETTEXTA, size, &ti);
        return buffer;
    }
    int Count(UINT code) const { return static_cast<int>(std::count(notes.begin(), notes.end(), code)); }

    HWND top = nullptr, child = nullptr, tip = nullptr;
    std::string answer = "Refresh";
    std::vector<UINT> notes;  // notification codes the tools' window got
};

TEST_F(TooltipTest, ToolsAndDelaysAreKeptAndGivenBack) {
    EXPECT_EQ(Send(TTM_GETTOOLCOUNT), 2);
    TOOLINFOA tooShort = Info(top, 9);
    tooShort.cbSize = TTTOOLINFOA_V1_SIZE - 1;
    EXPECT_FALSE(Send(TTM_ADDTOOLA, 0, &tooShort));

    TOOLINFOA info = Info(top, kRectTool);
    ASSERT_TRUE(Send(TTM_GETTOOLINFOA, 0, &info));
    EXPECT_EQ(info.lpszText, LPSTR_TEXTCALLBACKA);
    EXPECT_EQ(info.rect, kToolRect);
    EXPECT_EQ(info.uFlags, TTF_SUBCLASS);

    const auto byWindow = reinterpret_cast<UINT_PTR>(child);
    EXPECT_EQ(TextOf(byWindow), "Child tip");
    EXPECT_EQ(TextOf(byWindow, 4), "Chi");  // cut to the buffer given
    TOOLINFOA update = Info(top, byWindow, const_cast<char*>("Updated"));
    Send(TTM_UPDATETIPTEXTA, 0, &update);
    EXPECT_EQ(TextOf(byWindow), "Updated");
    TOOLINFOA moved = Info(top, kRectTool);
    moved.rect = RECT{1, 2, 3, 4};
    Send(TTM_NEWTOOLRECTA, 0, &moved);
    info = Info(top, kRectTool);
    Send(TTM_GETTOOLINFOA, 0, &info);
    EXPECT_EQ(info.rect, (RECT{1, 2, 3, 4}));
    // Hit tests find a rectangle in its window, and a window tool anywhere in its window.
    struct Hit {
        HWND hwnd;
        POINT pt;
        UINT_PTR found;  // 0: none
    };
    const Hit hits[] = {{top, {2, 3}, kRectTool}, {top, {3, 4}, 0}, {child, {50, 50}, byWindow}, {child, {150, 5}, 0}};
    for (const Hit& h : hits) {
        TTHITTESTINFOA hit{h.hwnd, h.pt, Info(nullptr, 0)};
        EXPECT_EQ(Send(TTM_HITTESTA, 0, &hit), h.found != 0);
        EXPECT_EQ(hit.ti.uId, h.found);
    }
    TOOLINFOA second = Info(nullptr, 0);
    ASSERT_TRUE(Send(TTM_ENUMTOOLSA, 1, &second));
    EXPECT_EQ(second.uId, byWindow);
    EXPECT_FALSE(Send(TTM_ENUMTOOLSA, 2, &second));

    struct Delay {
        WPARAM set;
        int ms;
        int initial, autopop, reshow;
    };
    const Delay delays[] = {
        {TTDT_AUTOMATIC, -1, 500, 5000, 100},  // from the double-click time
        {TTDT_AUTOMATIC, 200, 200, 2000, 40}, {TTDT_INITIAL, 30, 30, 2000, 40},
        {TTDT_AUTOPOP, 700, 30, 700, 40},     {TTDT_INITIAL, -1, 500, 700, 40},
    };
    for (const Delay& d : delays) {
        Send(TTM_SETDELAYTIME, d.set, reinterpret_cast<const void*>(static_cast<std::intptr_t>(MAKELPARAM(d.ms, 0))));
        EXPECT_EQ(Send(TTM_GETDELAYTIME, TTDT_INITIAL), d.initial);
        EXPECT_EQ(Send(TTM_GETDELAYTIME, TTDT_AUTOPOP), d.autopop);
        EXPECT_EQ(Send(TTM_GETDELAYTIME, TTDT_RESHOW), d.reshow);
    }

    // Deleting the last tool that subclassed a window gives the window its procedure back.
    const auto before = GetWindowLongPtrA(child, GWLP_WNDPROC);
    EXPECT_NE(before, reinterpret_cast<std::intptr_t>(&Recorder::Proc));
    TOOLINFOA gone = Info(top, byWindow);
    EXPECT_TRUE(Send(TTM_DELTOOLA, 0, &gone));
    EXPECT_FALSE(Send(TTM_DELTOOLA, 0, &gone));
    EXPECT_EQ(GetWindowLongPtrA(child, GWLP_WNDPROC), reinterpret_cast<std::intptr_t>(&Recorder::Proc));
    DestroyWindow(tip);
    EXPECT_EQ(GetWindowLongPtrA(top, GWLP_WNDPROC), reinterpret_cast<std::intptr_t>(&Recorder::Proc));
}

TEST_F(TooltipTest, TheTextIsAskedForAfterTheDelayAndShownBelowThePointer) {
    // With a minute's delay nothing happens over the child...
    Send(TTM_SETDELAYTIME, TTDT_INITIAL, reinterpret_cast<const void*>(std::intptr_t{60000}));
    display->MoveMouse(OnScreen(child, 30, 30));
    PumpAll();
    EXPECT_FALSE(Shows());
    // ...and with a short one the rectangle's text is asked for once the delay is over.
    Send(TTM_SETDELAYTIME, TTDT_INITIAL, reinterpret_cast<const void*>(std::intptr_t{20}));
    const POINT pointer = OnScreen(top, 200, 50);
    display->MoveMouse(pointer);
    PumpAll();
    EXPECT_EQ(Count(TTN_GETDISPINFOA), 0);
    ASSERT_TRUE(ShowsSoon());
    EXPECT_EQ(notes, (std::vector<UINT>{TTN_GETDISPINFOA, TTN_SHOW}));

    RECT r;
    GetWindowRect(tip, &r);
    EXPECT_EQ(r.left, pointer.x);
    EXPECT_GT(r.top, pointer.y);
    EXPECT_LT(r.top, pointer.y + 32);
    const Shot shot = Take(tip);
    RECT client;
    GetClientRect(tip, &client);
    EXPECT_GT(shot.Count(client, Sys(COLOR_INFOTEXT)), 10);  // the text
    EXPECT_EQ(shot.At(1, 1), Sys(COLOR_INFOBK));
    TOOLINFOA current = Info(nullptr, 0);
    EXPECT_TRUE(Send(TTM_GETCURRENTTOOLA, 0, &current));
    EXPECT_EQ(current.uId, kRectTool);

    // A wider text makes a wider tip.
    answer = "Refresh the logs from the service";
    display->MoveMouse(OnScreen(top, 10, 150));  // off every tool: hidden at once
    PumpAll();
    EXPECT_FALSE(Shows());
    EXPECT_EQ(notes.back(), TTN_POP);
    display->MoveMouse(pointer);
    ASSERT_TRUE(ShowsSoon());
    RECT wider;
    GetWindowRect(tip, &wider);
    EXPECT_GT(wider.right - wider.left, r.right - r.left);
}

TEST_F(TooltipTest, LeavingClickingAndTheAutopopDelayHideTheTip) {
    Send(TTM_SETDELAYTIME, TTDT_INITIAL, reinterpret_cast<const void*>(std::intptr_t{10}));
    // Long enough not to be what hides the tip in the first cases.
    Send(TTM_SETDELAYTIME, TTDT_AUTOPOP, reinterpret_cast<const void*>(std::intptr_t{32000}));
    const POINT over = OnScreen(top, 200, 50);
    struct Case {
        const char* how;
        std::function<void()> before, hide;
    };
    const auto nothing = [] {};
    const Case cases[] = {
        // Off the window nothing is relayed: the tip sees the pointer gone on its own.
        {"leaving the window", nothing,
         [&] {
             display->MoveMouse(POINT{1200, 1000});
         }},
        {"clicking", nothing, [&] { display->Click(over); }},
        {"the autopop delay",
         [&] { Send(TTM_SETDELAYTIME, TTDT_AUTOPOP, reinterpret_cast<const void*>(std::intptr_t{30})); }, nothing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        c.before();
        display->MoveMouse(over);
        ASSERT_TRUE(ShowsSoon());
        c.hide();
        EXPECT_TRUE(HidesSoon());
        EXPECT_EQ(notes.back(), TTN_POP);
        display->MoveMouse(OnScreen(top, 10, 150));
        PumpAll();
    }
}

TEST_F(TooltipTest, AnInactiveTooltipShowsNothingUntilActivated) {
    Send(TTM_SETDELAYTIME, TTDT_INITIAL, reinterpret_cast<const void*>(std::intptr_t{1}));
    Send(TTM_ACTIVATE, FALSE);
    display->MoveMouse(OnScreen(top, 200, 50));
    // A timer due well after the tip's delay: by then an active tip would have asked for its text.
    SetTimer(top, 99, 100, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return recorder.Count(top, WM_TIMER) > 0; }));
    KillTimer(top, 99);
    EXPECT_FALSE(Shows());
    EXPECT_EQ(Count(TTN_GETDISPINFOA), 0);

    Send(TTM_ACTIVATE, TRUE);
    display->MoveMouse(OnScreen(top, 201, 50));
    EXPECT_TRUE(ShowsSoon());
}

TEST_F(TooltipTest, ToolWindowsMayGoFirst) {
    // The child goes while subclassed, then its tool and the tooltip: nothing is left pointing at it.
    display->MoveMouse(OnScreen(child, 30, 30));
    PumpAll();
    DestroyWindow(child);
    TOOLINFOA gone = Info(top, reinterpret_cast<UINT_PTR>(child));
    EXPECT_TRUE(Send(TTM_DELTOOLA, 0, &gone));
    DestroyWindow(tip);
    display->MoveMouse(OnScreen(top, 200, 50));
    PumpAll();
    EXPECT_EQ(GetWindowLongPtrA(top, GWLP_WNDPROC), reinterpret_cast<std::intptr_t>(&Recorder::Proc));
}

}  // namespace
