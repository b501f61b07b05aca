// The toolbar: the viewer's buttons and separators, states, button information, clicks becoming
// commands, hot tracking, the flat look with its hot and disabled images, tooltips through the
// notify window, bitmaps with the system colours, and sizing itself.

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <string>

#include "platform/controls/Toolbar.h"
#include "platform/controls/Tooltip.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/Images.h"
#include "platform/graphics/ResourceImages.h"
#include "platform/kernel/Registry.h"
#include "tests/platform/controls/BarsTesting.h"
#include "tests/support/TempDirectory.h"

namespace {

// Toolbar 128: buttons 32804, 32805, separator, 32790, separator, 32793, 32792, separator, 57664.
const int kCommands[] = {32804, 32805, 0, 32790, 0, 32793, 32792, 0, 57664};
constexpr int kButtons = 9;
constexpr COLORREF kBlue = RGB(0, 0, 160), kGreen = RGB(0, 160, 0), kGrey = RGB(96, 96, 96);

std::vector<TBBUTTON> ViewerButtons(int separatorWidth = 6) {
    std::vector<TBBUTTON> buttons;
    int image = 0;
    for (int command : kCommands) {
        TBBUTTON b{};
        b.idCommand = command;
        b.iBitmap = command ? image++ : separatorWidth;
        b.fsState = command ? TBSTATE_ENABLED : 0;
        b.fsStyle = command ? BTNS_BUTTON : BTNS_SEP;
        buttons.push_back(b);
    }
    return buttons;
}

// Six 16 x 15 pictures of one colour on the mask colour's background.
HIMAGELIST Pictures(COLORREF color) {
    HIMAGELIST list = ImageList_Create(16, 15, ILC_COLOR32 | ILC_MASK, 4, 0);
    std::vector<std::uint32_t> bits(96 * 15, Surface::PixelOf(RGB(192, 192, 192)));
    for (int y = 2; y < 13; ++y)
        for (int x = 0; x < 96; ++x)
            if (x % 16 >= 2 && x % 16 < 14) bits[y * 96 + x] = Surface::PixelOf(color);
    HBITMAP strip = CreateBitmap(96, 15, 1, 32, bits.data());
    ImageList_AddMasked(list, strip, RGB(192, 192, 192));
    DeleteObject(strip);
    return list;
}

class ToolbarTest : public BarsTest {
protected:
    void SetUp() override {
        BarsTest::SetUp();
        top = TopLevel();
        normal = Pictures(kBlue);
        hot = Pictures(kGreen);
        disabled = Pictures(kGrey);
        recorder.On(WM_NOTIFY, [this](HWND, UINT, WPARAM, LPARAM l, bool&) -> LRESULT {
            const auto* header = reinterpret_cast<const NMHDR*>(l);
            notes.push_back(header->code);
            auto it = answers.find(header->code);
            return it == answers.end() ? 0 : it->second(header);
        });
    }
    void TearDown() override {
        BarsTest::TearDown();
        for (HIMAGELIST list : {normal, hot, disabled}) ImageList_Destroy(list);
    }

    // The frame's toolbar: flat, 23 x 22 buttons for 16 x 15 pictures, the viewer's buttons.
    HWND Bar(DWORD style = TBSTYLE_FLAT, int structSize = sizeof(TBBUTTON)) {
        HWND bar = Control(TOOLBARCLASSNAMEA, top, RECT{0, 0, 300, 30},
                           WS_CHILD | WS_VISIBLE | CCS_NODIVIDER | CCS_NORESIZE | style, 0xE800);
        SendMessageA(bar, TB_BUTTONSTRUCTSIZE, structSize, 0);
        SendMessageA(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(16, 15));
        SendMessageA(bar, TB_SETBUTTONSIZE, 0, MAKELPARAM(23, 22));
        const std::vector<TBBUTTON> buttons = ViewerButtons();
        EXPECT_TRUE(SendMessageA(bar, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data())));
        SendMessageA(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(normal));
        return bar;
    }
    static RECT ItemRect(HWND bar, int index) {
        RECT r{};
        SendMessageA(bar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    static POINT Centre(HWND bar, int index) {
        const RECT r = ItemRect(bar, index);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    std::vector<WPARAM> Commands() const {
        std::vector<WPARAM> out;
        for (const Seen& s : recorder.Log())
            if (s.hwnd == top && s.message == WM_COMMAND) out.push_back(s.wParam);
        return out;
    }

    HWND top = nullptr;
    HIMAGELIST normal = nullptr, hot = nullptr, disabled = nullptr;
    std::vector<UINT> notes;  // notification codes the parent got
    std::map<UINT, std::function<LRESULT(const NMHDR*)>> answers;
};

TEST_F(ToolbarTest, ButtonsAndSeparatorsLineUpAndAreFoundAgain) {
    // The 32-bit platform's structure size is what the frame's toolbar sends; ours reads the same.
    for (const int structSize : {static_cast<int>(sizeof(TBBUTTON)), 20}) {
        SCOPED_TRACE(structSize);
        HWND bar = Bar(TBSTYLE_FLAT, structSize);
        EXPECT_EQ(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0), kButtons);
        EXPECT_EQ(SendMessageA(bar, TB_GETBUTTONSIZE, 0, 0), MAKELPARAM(23, 22));
        const int lefts[] = {0, 23, 46, 52, 75, 81, 104, 127, 133};
        for (int i = 0; i < kButtons; ++i) {
            const int width = kCommands[i] ? 23 : 6;  // separators of 6 in a flat toolbar
            EXPECT_EQ(ItemRect(bar, i), (RECT{lefts[i], 0, lefts[i] + width, 22})) << "button " << i;
            EXPECT_EQ(SendMessageA(bar, TB_COMMANDTOINDEX, kCommands[i], 0), kCommands[i] ? i : 2);
        }
        TBBUTTON sep{};
        EXPECT_TRUE(SendMessageA(bar, TB_GETBUTTON, 4, reinterpret_cast<LPARAM>(&sep)));
        EXPECT_EQ(sep.fsStyle, BTNS_SEP);
        EXPECT_EQ(sep.iBitmap, 6);
        EXPECT_FALSE(SendMessageA(bar, TB_GETBUTTON, kButtons, reinterpret_cast<LPARAM>(&sep)));
        EXPECT_EQ(SendMessageA(bar, TB_COMMANDTOINDEX, 4711, 0), -1);
        RECT byId{};
        EXPECT_TRUE(SendMessageA(bar, TB_GETRECT, 57664, reinterpret_cast<LPARAM>(&byId)));
        EXPECT_EQ(byId, ItemRect(bar, 8));

        struct Hit {
            POINT p;
            LRESULT index;
        };
        const Hit hits[] = {
            {{5, 5}, 0},        {{140, 21}, 8},  // on buttons
            {{48, 5}, -1 - 2},                   // on a separator
            {{200, 5}, -1 - 8},                  // past the end: the nearest button
            {{60, 40}, -1 - 3},                  // below a button
        };
        for (const Hit& h : hits)
            EXPECT_EQ(SendMessageA(bar, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&h.p)), h.index)
                << h.p.x << "," << h.p.y;
        DestroyWindow(bar);
    }

    // Inserting, hiding and deleting move what follows.
    HWND bar = Bar();
    TBBUTTON extra{};
    extra.iBitmap = 0;
    extra.idCommand = 4711;
    extra.fsState = TBSTATE_ENABLED;
    EXPECT_TRUE(SendMessageA(bar, TB_INSERTBUTTONA, 2, reinterpret_cast<LPARAM>(&extra)));
    EXPECT_EQ(ItemRect(bar, 3).left, 69);
    EXPECT_TRUE(SendMessageA(bar, TB_HIDEBUTTON, 4711, TRUE));
    EXPECT_FALSE(SendMessageA(bar, TB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&extra)));
    EXPECT_EQ(ItemRect(bar, 3).left, 46);
    notes.clear();
    EXPECT_TRUE(SendMessageA(bar, TB_DELETEBUTTON, 0, 0));
    EXPECT_EQ(notes, (std::vector<UINT>{TBN_DELETINGBUTTON}));
    EXPECT_FALSE(SendMessageA(bar, TB_DELETEBUTTON, kButtons, 0));
    EXPECT_EQ(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0), kButtons);
    EXPECT_EQ(ItemRect(bar, 0), (RECT{0, 0, 23, 22}));

    // A 3-D toolbar's separators are 8 wide unless given a width.
    HWND raised =
        Control(TOOLBARCLASSNAMEA, top, RECT{0, 40, 300, 70}, WS_CHILD | WS_VISIBLE | CCS_NODIVIDER | CCS_NORESIZE);
    const std::vector<TBBUTTON> plain = ViewerButtons(0);
    SendMessageA(raised, TB_ADDBUTTONSA, plain.size(), reinterpret_cast<LPARAM>(plain.data()));
    EXPECT_EQ(ItemRect(raised, 2).right - ItemRect(raised, 2).left, 8);
}

TEST_F(ToolbarTest, StatesAreSetAndReadByCommandId) {
    HWND bar = Bar();
    struct Case {
        UINT set;
        UINT is;
        BYTE bit;
    };
    const Case cases[] = {
        {TB_ENABLEBUTTON, TB_ISBUTTONENABLED, TBSTATE_ENABLED},
        {TB_CHECKBUTTON, TB_ISBUTTONCHECKED, TBSTATE_CHECKED},
        {TB_PRESSBUTTON, TB_ISBUTTONPRESSED, TBSTATE_PRESSED},
        {TB_HIDEBUTTON, TB_ISBUTTONHIDDEN, TBSTATE_HIDDEN},
        {TB_INDETERMINATE, TB_ISBUTTONINDETERMINATE, TBSTATE_INDETERMINATE},
        {TB_MARKBUTTON, TB_ISBUTTONHIGHLIGHTED, TBSTATE_MARKED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "bit " << int{c.bit});
        for (const BOOL on : {TRUE, FALSE, TRUE}) {
            EXPECT_TRUE(SendMessageA(bar, c.set, 32793, MAKELPARAM(on, 0)));
            EXPECT_EQ(SendMessageA(bar, c.is, 32793, 0) != 0, on != 0);
            EXPECT_EQ((SendMessageA(bar, TB_GETSTATE, 32793, 0) & c.bit) != 0, on != 0);
        }
        EXPECT_FALSE(SendMessageA(bar, c.set, 4711, TRUE));
        EXPECT_EQ(SendMessageA(bar, c.is, 4711, 0), 0);
        SendMessageA(bar, TB_SETSTATE, 32793, TBSTATE_ENABLED);
    }
    EXPECT_EQ(SendMessageA(bar, TB_GETSTATE, 4711, 0), -1);
    EXPECT_TRUE(SendMessageA(bar, TB_SETSTATE, 32792, TBSTATE_CHECKED | TBSTATE_WRAP));
    EXPECT_EQ(SendMessageA(bar, TB_GETSTATE, 32792, 0), TBSTATE_CHECKED | TBSTATE_WRAP);
    EXPECT_EQ(ItemRect(bar, 7).top, 22);  // after a wrap, the next row

    // Checking one button of a check group unchecks the others of its run.
    HWND group = Control(TOOLBARCLASSNAMEA, top, RECT{0, 40, 300, 70}, WS_CHILD | WS_VISIBLE | CCS_NORESIZE);
    TBBUTTON radios[4] = {};
    for (int i = 0; i < 4; ++i)
        radios[i] =
            TBBUTTON{i, 100 + i, TBSTATE_ENABLED, static_cast<BYTE>(i < 3 ? BTNS_CHECKGROUP : BTNS_CHECK), {}, 0, 0};
    SendMessageA(group, TB_ADDBUTTONSA, 4, reinterpret_cast<LPARAM>(radios));
    SendMessageA(group, TB_CHECKBUTTON, 100, TRUE);
    SendMessageA(group, TB_CHECKBUTTON, 103, TRUE);
    SendMessageA(group, TB_CHECKBUTTON, 102, TRUE);
    EXPECT_FALSE(SendMessageA(group, TB_ISBUTTONCHECKED, 100, 0));
    EXPECT_TRUE(SendMessageA(group, TB_ISBUTTONCHECKED, 102, 0));
    EXPECT_TRUE(SendMessageA(group, TB_ISBUTTONCHECKED, 103, 0));  // not in the group
}

TEST_F(ToolbarTest, ButtonInformationByIdOrIndex) {
    HWND bar = Bar();
    TBBUTTONINFOA set{};
    set.cbSize = sizeof set;
    set.dwMask = TBIF_IMAGE | TBIF_TEXT | TBIF_LPARAM | TBIF_SIZE;
    set.iImage = 5;
    set.pszText = const_cast<char*>("Export");
    set.lParam = 99;
    set.cx = 40;
    EXPECT_TRUE(SendMessageA(bar, TB_SETBUTTONINFOA, 32790, reinterpret_cast<LPARAM>(&set)));
    EXPECT_EQ(ItemRect(bar, 4).left, 52 + 40);  // the wider button pushes the rest along

    char text[4];
    TBBUTTONINFOA get{};
    get.cbSize = sizeof get;
    get.dwMask = TBIF_IMAGE | TBIF_TEXT | TBIF_LPARAM | TBIF_SIZE | TBIF_COMMAND | TBIF_STATE | TBIF_BYINDEX;
    get.pszText = text;
    get.cchText = sizeof text;
    EXPECT_EQ(SendMessageA(bar, TB_GETBUTTONINFOA, 3, reinterpret_cast<LPARAM>(&get)), 3);
    EXPECT_EQ(get.idCommand, 32790);
    EXPECT_EQ(get.iImage, 5);
    EXPECT_EQ(get.lParam, 99u);
    EXPECT_EQ(get.cx, 40);
    EXPECT_EQ(get.fsState, TBSTATE_ENABLED);
    EXPECT_STREQ(text, "Exp");  // cut to the buffer

    get.cbSize = sizeof get - 1;
    EXPECT_EQ(SendMessageA(bar, TB_GETBUTTONINFOA, 3, reinterpret_cast<LPARAM>(&get)), -1);
    get.cbSize = sizeof get;
    get.dwMask = TBIF_COMMAND;
    EXPECT_EQ(SendMessageA(bar, TB_GETBUTTONINFOA, 4711, reinterpret_cast<LPARAM>(&get)), -1);
}

TEST_F(ToolbarTest, StatesAndStylesSetByIndexReachThatButtonAndItsPlace) {
    HWND bar = Bar();
    TBBUTTONINFOA set{};
    set.cbSize = sizeof set;
    set.dwMask = TBIF_STATE | TBIF_BYINDEX;
    set.fsState = TBSTATE_ENABLED | TBSTATE_WRAP;
    ASSERT_TRUE(SendMessageA(bar, TB_SETBUTTONINFOA, 4, reinterpret_cast<LPARAM>(&set)));
    TBBUTTON first{}, second{};
    SendMessageA(bar, TB_GETBUTTON, 2, reinterpret_cast<LPARAM>(&first));
    SendMessageA(bar, TB_GETBUTTON, 4, reinterpret_cast<LPARAM>(&second));
    EXPECT_FALSE(first.fsState & TBSTATE_WRAP) << "separators share command 0, not their state";
    EXPECT_TRUE(second.fsState & TBSTATE_WRAP);

    SendMessageA(bar, TB_SETEXTENDEDSTYLE, TBSTYLE_EX_DRAWDDARROWS, TBSTYLE_EX_DRAWDDARROWS);
    const int width = Width(ItemRect(bar, 3));
    set.dwMask = TBIF_STYLE | TBIF_STATE | TBIF_BYINDEX;
    set.fsStyle = BTNS_DROPDOWN;
    set.fsState = TBSTATE_ENABLED;
    ASSERT_TRUE(SendMessageA(bar, TB_SETBUTTONINFOA, 3, reinterpret_cast<LPARAM>(&set)));
    EXPECT_GT(Width(ItemRect(bar, 3)), width) << "its arrow part takes room at once";
}

TEST_F(ToolbarTest, AClickOnAnEnabledButtonSendsItsCommand) {
    HWND bar = Bar();
    SendMessageA(bar, TB_ENABLEBUTTON, 32792, FALSE);
    TBBUTTONINFOA check{};
    check.cbSize = sizeof check;
    check.dwMask = TBIF_STYLE;
    check.fsStyle = BTNS_CHECK;
    SendMessageA(bar, TB_SETBUTTONINFOA, 32805, reinterpret_cast<LPARAM>(&check));
    PumpAll();

    struct Case {
        const char* what;
        int index;
        std::function<void(POINT)> act;
        std::vector<WPARAM> commands;
        std::vector<UINT> notes;
    };
    const auto click = [&](POINT p) { display->Click(OnScreen(bar, p.x, p.y)); };
    const Case cases[] = {
        {"a click", 5, click, {MAKEWPARAM(32793, 0)}, {TBN_BEGINDRAG, TBN_ENDDRAG}},
        {"a disabled button", 6, click, {}, {}},
        {"a release elsewhere",
         3,
         [&](POINT p) {
             display->MoveMouse(OnScreen(bar, p.x, p.y));
             display->Press();
             display->MoveMouse(OnScreen(bar, p.x + 60, p.y));
             display->Release();
         },
         {},
         {TBN_BEGINDRAG, TBN_ENDDRAG}},
        {"a check button", 1, click, {MAKEWPARAM(32805, 0)}, {TBN_BEGINDRAG, TBN_ENDDRAG}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        recorder.Log().clear();
        c.act(Centre(bar, c.index));
        PumpAll();
        notes.erase(std::remove(notes.begin(), notes.end(), TBN_HOTITEMCHANGE), notes.end());
        EXPECT_EQ(Commands(), c.commands);
        EXPECT_EQ(notes, c.notes);
        for (const Seen& s : recorder.Log()) {
            if (s.message == WM_COMMAND) {
                EXPECT_EQ(s.lParam, reinterpret_cast<LPARAM>(bar));
            }
        }
        notes.clear();
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_FALSE(SendMessageA(bar, TB_ISBUTTONPRESSED, kCommands[c.index], 0));
    }
    EXPECT_TRUE(SendMessageA(bar, TB_ISBUTTONCHECKED, 32805, 0));
    display->Click(OnScreen(bar, Centre(bar, 1).x, Centre(bar, 1).y));
    PumpAll();
    EXPECT_FALSE(SendMessageA(bar, TB_ISBUTTONCHECKED, 32805, 0));
}

TEST_F(ToolbarTest, TheButtonUnderThePointerIsHotUntilThePointerLeaves) {
    HWND bar = Bar();
    SendMessageA(bar, TB_ENABLEBUTTON, 32792, FALSE);
    std::vector<std::pair<int, int>> changes;  // idOld, idNew
    answers[TBN_HOTITEMCHANGE] = [&](const NMHDR* h) -> LRESULT {
        const auto* nm = reinterpret_cast<const NMTBHOTITEM*>(h);
        changes.emplace_back(nm->idOld, nm->idNew);
        return 0;
    };
    const auto moveTo = [&](int index) {
        const POINT c = Centre(bar, index);
        display->MoveMouse(OnScreen(bar, c.x, c.y));
        PumpAll();
        return SendMessageA(bar, TB_GETHOTITEM, 0, 0);
    };
    EXPECT_EQ(moveTo(0), 0);
    EXPECT_EQ(moveTo(3), 3);
    EXPECT_EQ(moveTo(6), -1);  // disabled buttons are not hot
    EXPECT_EQ(moveTo(5), 5);
    EXPECT_EQ(changes, (std::vector<std::pair<int, int>>{{0, 32804}, {32804, 32790}, {32790, 0}, {0, 32793}}));

    // Off the toolbar nothing comes to it: it sees the pointer gone on its own.
    display->MoveMouse(OnScreen(top, 150, 150));
    EXPECT_TRUE(PumpUntil([&] { return SendMessageA(bar, TB_GETHOTITEM, 0, 0) == -1; }));

    // The notify window may refuse a change.
    answers[TBN_HOTITEMCHANGE] = [](const NMHDR*) -> LRESULT { return 1; };
    EXPECT_EQ(moveTo(0), -1);
}

TEST_F(ToolbarTest, FlatButtonsShowTheirStateAndTheImagesOfIt) {
    const COLORREF face = Sys(COLOR_3DFACE), light = Sys(COLOR_3DHILIGHT), shadow = Sys(COLOR_3DSHADOW);
    struct Case {
        const char* what;
        DWORD style;
        BYTE state;
        bool hot;
        bool disabledList;
        COLORREF image;    // at the picture's middle
        COLORREF topLeft;  // the button's corner pixels
        COLORREF bottomRight;
    };
    const Case cases[] = {
        {"flat", TBSTYLE_FLAT, TBSTATE_ENABLED, false, true, kBlue, face, face},
        {"hot", TBSTYLE_FLAT, TBSTATE_ENABLED, true, true, kGreen, light, shadow},
        {"pressed", TBSTYLE_FLAT, TBSTATE_ENABLED | TBSTATE_PRESSED, false, true, kBlue, shadow, light},
        {"disabled", TBSTYLE_FLAT, 0, false, true, kGrey, face, face},
        {"disabled, embossed", TBSTYLE_FLAT, 0, false, false, shadow, face, face},
        {"checked", TBSTYLE_FLAT, TBSTATE_ENABLED | TBSTATE_CHECKED, false, true, kBlue, shadow, light},
        {"3-D", 0, TBSTATE_ENABLED, false, true, kBlue, Sys(COLOR_3DLIGHT), Sys(COLOR_3DDKSHADOW)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HWND bar = Bar(c.style);
        SendMessageA(bar, TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(hot));
        if (c.disabledList) SendMessageA(bar, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(disabled));
        SendMessageA(bar, TB_SETSTATE, 32790, c.state);
        if (c.hot) SendMessageA(bar, TB_SETHOTITEM, 3, 0);
        const RECT r = ItemRect(bar, 3);
        const Shot shot = Take(bar);
        const int shift = (c.state & (TBSTATE_PRESSED | TBSTATE_CHECKED)) ? 1 : 0;
        // The picture sits in the middle: (23 - 16) / 2 across, (22 - 15) / 2 down.
        EXPECT_EQ(shot.At(r.left + 3 + 8 + shift, r.top + 3 + 7 + shift), c.image);
        EXPECT_EQ(shot.At(r.left, r.top), c.topLeft);
        EXPECT_EQ(shot.At(r.right - 1, r.bottom - 1), c.bottomRight);
        // A checked button's face is dithered with the highlight.
        EXPECT_EQ(shot.Count(RECT{r.left + 1, r.top + 1, r.left + 3, r.top + 3}, light) == 2,
                  c.state == (TBSTATE_ENABLED | TBSTATE_CHECKED));
        if (c.style & TBSTYLE_FLAT) {
            const RECT sep = ItemRect(bar, 2);  // an etched line down the separator's middle
            EXPECT_EQ(shot.At(sep.left + 2, 10), shadow);
            EXPECT_EQ(shot.At(sep.left + 3, 10), light);
        }
        DestroyWindow(bar);
    }
}

TEST_F(ToolbarTest, FlatAndTransparentToolbarsShowTheirParentsBackgroundInPlace) {
    // The parent's background changes colour at its x = 250: under a toolbar placed at x = 100,
    // that is the toolbar's x = 150, below the buttons.
    constexpr COLORREF kLeft = RGB(200, 0, 0), kRight = RGB(240, 200, 0);
    recorder.On(WM_ERASEBKGND, [&](HWND h, UINT, WPARAM w, LPARAM, bool&) -> LRESULT {
        RECT r;
        GetClientRect(h, &r);
        RECT left = r, right = r;
        left.right = right.left = 250;
        for (auto [part, color] : {std::pair{left, kLeft}, std::pair{right, kRight}}) {
            HBRUSH brush = CreateSolidBrush(color);
            FillRect(reinterpret_cast<HDC>(w), &part, brush);
            DeleteObject(brush);
        }
        return 1;
    });
    const struct {
        DWORD style;
        COLORREF left, right;
    } cases[] = {
        {TBSTYLE_FLAT, kLeft, kRight},
        {TBSTYLE_TRANSPARENT, kLeft, kRight},
        {0, Sys(COLOR_3DFACE), Sys(COLOR_3DFACE)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.style);
        HWND bar = Bar(c.style);
        MoveWindow(bar, 100, 40, 300, 30, TRUE);
        const Shot shot = Take(bar);
        EXPECT_EQ(shot.At(149, 27), c.left);
        EXPECT_EQ(shot.At(150, 27), c.right);
        DestroyWindow(bar);
    }
}

TEST_F(ToolbarTest, TooltipsAskTheNotifyWindowForTheCommandsText) {
    HWND tipCreated = nullptr;
    answers[NM_TOOLTIPSCREATED] = [&](const NMHDR* h) -> LRESULT {
        tipCreated = reinterpret_cast<const NMTOOLTIPSCREATED*>(h)->hwndToolTips;
        return 0;
    };
    std::vector<UINT_PTR> asked;
    answers[TTN_NEEDTEXTA] = [&](const NMHDR* h) -> LRESULT {
        auto* info = const_cast<NMTTDISPINFOA*>(reinterpret_cast<const NMTTDISPINFOA*>(h));
        asked.push_back(h->idFrom);
        std::strcpy(info->szText, "Refresh");
        return 0;
    };
    HWND bar = Bar(TBSTYLE_FLAT | TBSTYLE_TOOLTIPS);
    const auto tip = reinterpret_cast<HWND>(SendMessageA(bar, TB_GETTOOLTIPS, 0, 0));
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tipCreated, tip);
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 6);  // one a button, none for separators
    SendMessageA(tip, TTM_SETDELAYTIME, TTDT_INITIAL, 10);

    const POINT c = Centre(bar, 5);
    display->MoveMouse(OnScreen(bar, c.x, c.y));
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(tip); }));
    EXPECT_EQ(asked, (std::vector<UINT_PTR>{32793}));
    char text[Tooltip::kShortText] = {};
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.lpszText = text;
    EXPECT_TRUE(SendMessageA(tip, TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(&ti)));
    EXPECT_EQ(ti.uId, 32793u);
    EXPECT_EQ(ti.hwnd, bar);

    // Deleting a button takes its tool away; the toolbar's own tooltip goes with the toolbar.
    SendMessageA(bar, TB_DELETEBUTTON, 0, 0);
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 5);
    DestroyWindow(bar);
    EXPECT_FALSE(IsWindow(tip));
}

TEST_F(ToolbarTest, BitmapsComeWithTheSystemColoursAndMayBeReplaced) {
    // 16 x 15 pictures: light grey around a black square with a white dot.
    std::string art = "32 15\ncolor . C0C0C0\ncolor k 000000\ncolor w FFFFFF\n";
    for (int y = 0; y < 15; ++y) {
        std::string row;
        for (int x = 0; x < 32; ++x)
            row += (x % 16 >= 4 && x % 16 < 12 && y >= 4 && y < 11) ? (x % 16 == 8 ? 'w' : 'k') : '.';
        art += row + "\n";
    }
    ASSERT_EQ(ResourceImages::AddBitmap(7001, art), "");
    const auto instance = reinterpret_cast<HINSTANCE>(0x400000);

    HWND bar =
        Control(TOOLBARCLASSNAMEA, top, RECT{0, 0, 300, 30}, WS_CHILD | WS_VISIBLE | CCS_NODIVIDER | CCS_NORESIZE);
    const TBADDBITMAP resource{instance, 7001};
    EXPECT_EQ(SendMessageA(bar, TB_ADDBITMAP, 2, reinterpret_cast<LPARAM>(&resource)), 0);
    const TBADDBITMAP standard{HINST_COMMCTRL, 0};
    EXPECT_EQ(SendMessageA(bar, TB_ADDBITMAP, 15, reinterpret_cast<LPARAM>(&standard)), -1);
    HBITMAP handle = CreateMappedBitmap(instance, 7001, 0, nullptr, 0);
    const TBADDBITMAP byHandle{nullptr, reinterpret_cast<UINT_PTR>(handle)};
    EXPECT_EQ(SendMessageA(bar, TB_ADDBITMAP, 2, reinterpret_cast<LPARAM>(&byHandle)), 2);
    TBBUTTON buttons[2] = {{1, 1, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0}, {3, 2, 0, BTNS_BUTTON, {}, 0, 0}};
    SendMessageA(bar, TB_ADDBUTTONSA, 2, reinterpret_cast<LPARAM>(buttons));

    // Buttons are 24 x 22 by default: the picture starts at (4, 3).
    Shot shot = Take(bar);
    EXPECT_EQ(shot.At(4 + 1, 3 + 1), Sys(COLOR_3DFACE));  // light grey became the face colour
    EXPECT_EQ(shot.At(4 + 5, 3 + 5), Sys(COLOR_BTNTEXT));
    EXPECT_EQ(shot.At(4 + 8, 3 + 5), Sys(COLOR_3DHILIGHT));
    // The disabled one is embossed in the square's shape, the face around it left alone.
    EXPECT_EQ(shot.At(24 + 4 + 5, 3 + 5), Sys(COLOR_3DSHADOW));
    EXPECT_EQ(shot.At(24 + 4 + 1, 3 + 1), Sys(COLOR_3DFACE));

    // Replacing the resource's strip with a plain black one changes the first button only.
    std::string black = "32 15\ncolor k 000000\n";
    for (int y = 0; y < 15; ++y) black += std::string(32, 'k') + "\n";
    ASSERT_EQ(ResourceImages::AddBitmap(7002, black), "");
    const TBREPLACEBITMAP replace{instance, 7001, instance, 7002, 2};
    EXPECT_TRUE(SendMessageA(bar, TB_REPLACEBITMAP, 0, reinterpret_cast<LPARAM>(&replace)));
    shot = Take(bar);
    EXPECT_EQ(shot.At(4 + 1, 3 + 1), Sys(COLOR_BTNTEXT));
    EXPECT_EQ(shot.At(24 + 4 + 1, 3 + 1), Sys(COLOR_3DFACE));
    EXPECT_FALSE(SendMessageA(bar, TB_REPLACEBITMAP, 0, reinterpret_cast<LPARAM>(&replace)));  // 7001 is gone
    DestroyWindow(bar);
    DeleteObject(handle);
}

TEST_F(ToolbarTest, ItSizesItselfAcrossTheTopOfItsParent) {
    struct Case {
        DWORD style;
        RECT expected;
    };
    const Case cases[] = {
        {TBSTYLE_FLAT, RECT{0, 0, 300, 2 + 22 + 2}},  // divider, buttons, margin
        {TBSTYLE_FLAT | CCS_NODIVIDER, RECT{0, 0, 300, 22 + 2}},
        {TBSTYLE_FLAT | CCS_BOTTOM, RECT{0, 200 - 26, 300, 200}},
        {TBSTYLE_FLAT | CCS_NORESIZE, RECT{10, 10, 60, 40}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "style " << c.style);
        HWND bar = Control(TOOLBARCLASSNAMEA, top, RECT{10, 10, 60, 40}, WS_CHILD | WS_VISIBLE | c.style);
        SendMessageA(bar, TB_SETBUTTONSIZE, 0, MAKELPARAM(23, 22));
        const std::vector<TBBUTTON> buttons = ViewerButtons();
        SendMessageA(bar, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
        SendMessageA(bar, TB_AUTOSIZE, 0, 0);
        RECT r;
        GetWindowRect(bar, &r);
        MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r, c.expected);
        DestroyWindow(bar);
    }

    // A wrapable toolbar puts what does not fit on a new row.
    HWND narrow = Control(TOOLBARCLASSNAMEA, top, RECT{0, 0, 60, 80},
                          WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_WRAPABLE | CCS_NODIVIDER | CCS_NORESIZE);
    const std::vector<TBBUTTON> buttons = ViewerButtons();
    SendMessageA(narrow, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    EXPECT_EQ(ItemRect(narrow, 1), (RECT{24, 0, 48, 22}));
    EXPECT_EQ(ItemRect(narrow, 3), (RECT{0, 22, 24, 44}));
}

TEST_F(ToolbarTest, ACommandMayDestroyTheToolbar) {
    HWND bar = Bar(TBSTYLE_FLAT | TBSTYLE_TOOLTIPS);
    recorder.On(WM_COMMAND, [&](HWND, UINT, WPARAM, LPARAM l, bool&) -> LRESULT {
        DestroyWindow(reinterpret_cast<HWND>(l));
        return 0;
    });
    const POINT c = Centre(bar, 0);
    display->Click(OnScreen(bar, c.x, c.y));
    PumpAll();
    EXPECT_FALSE(IsWindow(bar));

    // And a notification on the way in.
    HWND again = Bar();
    answers[TBN_HOTITEMCHANGE] = [&](const NMHDR* h) -> LRESULT {
        DestroyWindow(h->hwndFrom);
        return 0;
    };
    display->MoveMouse(OnScreen(again, c.x, c.y));
    PumpAll();
    EXPECT_FALSE(IsWindow(again));
}

}  // namespace

namespace {

class ToolbarLayoutTest : public ToolbarTest {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", settings.Path().c_str(), 1);
        ToolbarTest::SetUp();
    }
    std::vector<int> Layout(HWND bar) {
        std::vector<int> out;
        const int n = static_cast<int>(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            TBBUTTON b{};
            SendMessageA(bar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b));
            out.push_back((b.fsStyle & BTNS_SEP) ? -b.iBitmap : b.idCommand);
        }
        return out;
    }
    LONG SetRaw(DWORD type, const std::string& bytes) {
        HKEY key = nullptr;
        LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
        if (status == ERROR_SUCCESS)
            status = RegSetValueExA(key, kValue, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                    static_cast<DWORD>(bytes.size()));
        RegCloseKey(key);
        return status;
    }

    static constexpr const char* kKey = "Software\\Quillbridge\\Quillbridge Log Viewer\\Settings";
    static constexpr const char* kValue = "FlatToolBar 1";
    TempDirectory settings;
    TBSAVEPARAMSA params{HKEY_CURRENT_USER, kKey, kValue};
};

TEST_F(ToolbarLayoutTest, TheLayoutSavedIsTheLayoutRestored) {
    HWND bar = Bar();
    SendMessageA(bar, TB_HIDEBUTTON, 32790, TRUE);
    const std::vector<int> saved = Layout(bar);
    ASSERT_TRUE(SendMessageA(bar, TB_SAVERESTOREA, TRUE, reinterpret_cast<LPARAM>(&params)));

    // Rearranged: a button gone, one added, two swapped, one shown again.
    SendMessageA(bar, TB_DELETEBUTTON, 0, 0);
    TBBUTTON extra{0, 4711, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0};
    SendMessageA(bar, TB_INSERTBUTTONA, 3, reinterpret_cast<LPARAM>(&extra));
    SendMessageA(bar, TB_MOVEBUTTON, 0, 4);
    SendMessageA(bar, TB_HIDEBUTTON, 32790, FALSE);
    SendMessageA(bar, TB_ENABLEBUTTON, 32793, FALSE);
    ASSERT_NE(Layout(bar), saved);

    // The gone button is offered by the notify window, as a customize table would.
    std::vector<int> offersAsked;
    answers[TBN_GETBUTTONINFOA] = [&](const NMHDR* h) -> LRESULT {
        auto* nm = const_cast<NMTOOLBARA*>(reinterpret_cast<const NMTOOLBARA*>(h));
        offersAsked.push_back(nm->iItem);
        if (nm->iItem != 0) return FALSE;
        nm->tbButton = TBBUTTON{0, 32804, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0};
        std::strncpy(nm->pszText, "Quillbridge Log", nm->cchText);
        return TRUE;
    };
    notes.clear();
    ASSERT_TRUE(SendMessageA(bar, TB_SAVERESTOREA, FALSE, reinterpret_cast<LPARAM>(&params)));
    EXPECT_EQ(Layout(bar), saved);
    EXPECT_EQ(offersAsked, (std::vector<int>{0, 1}));
    EXPECT_EQ(notes.back(), TBN_TOOLBARCHANGE);
    EXPECT_TRUE(SendMessageA(bar, TB_ISBUTTONHIDDEN, 32790, 0));    // the saved layout's
    EXPECT_FALSE(SendMessageA(bar, TB_ISBUTTONENABLED, 32793, 0));  // the live state's
    EXPECT_EQ(ItemRect(bar, 5).left, 58);  // laid out again: 32790 hidden, two separators together

    // Another toolbar reads the same value.
    HWND other =
        Control(TOOLBARCLASSNAMEA, top, RECT{0, 40, 300, 70}, WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | CCS_NORESIZE);
    const std::vector<TBBUTTON> buttons = ViewerButtons();
    SendMessageA(other, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    ASSERT_TRUE(SendMessageA(other, TB_SAVERESTOREA, FALSE, reinterpret_cast<LPARAM>(&params)));
    EXPECT_EQ(Layout(other), saved);
}

TEST_F(ToolbarLayoutTest, AMissingOrDamagedValueRestoresNothing) {
    HWND bar = Bar();
    const std::vector<int> before = Layout(bar);
    const std::string good(reinterpret_cast<const char*>("QTB1\1\0\0\0\x24\x80\0\0\0\0\0\0\4\0\0\0"), 20);
    struct Case {
        const char* what;
        DWORD type;
        std::string bytes;
    };
    const Case cases[] = {
        {"no value", REG_NONE, ""},
        {"a string", REG_SZ, "QTB1"},
        {"another signature", REG_BINARY, "QTB2" + good.substr(4)},
        {"a count past the end", REG_BINARY, good.substr(0, 4) + std::string("\2\0\0\0", 4) + good.substr(8)},
        {"a huge count", REG_BINARY, good.substr(0, 4) + std::string("\xff\xff\xff\x7f", 4) + good.substr(8)},
        {"cut short", REG_BINARY, good.substr(0, 15)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.type != REG_NONE) {
            ASSERT_EQ(SetRaw(c.type, c.bytes), ERROR_SUCCESS);
        }
        EXPECT_FALSE(SendMessageA(bar, TB_SAVERESTOREA, FALSE, reinterpret_cast<LPARAM>(&params)));
        EXPECT_EQ(Layout(bar), before);
    }
    // The good one: the bar keeps only 32804.
    ASSERT_EQ(SetRaw(REG_BINARY, good), ERROR_SUCCESS);
    EXPECT_TRUE(SendMessageA(bar, TB_SAVERESTOREA, FALSE, reinterpret_cast<LPARAM>(&params)));
    EXPECT_EQ(Layout(bar), (std::vector<int>{32804}));
    EXPECT_FALSE(SendMessageA(bar, TB_SAVERESTOREA, FALSE, 0));
}

TEST(CommonControls, ReportTheClassicVersionOfACurrentSystem) {
    DLLVERSIONINFO info{};
    EXPECT_FALSE(CommonControlsGetVersion(&info)) << "no size given";
    EXPECT_FALSE(CommonControlsGetVersion(nullptr));
    info.cbSize = sizeof info;
    ASSERT_TRUE(CommonControlsGetVersion(&info));
    EXPECT_EQ(info.dwMajorVersion, 5u);
    EXPECT_EQ(info.dwMinorVersion, 82u);
}

}  // namespace
