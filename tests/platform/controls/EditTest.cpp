// The edit control: its text kept byte for byte with its line index, the caret and selection by
// keys and mouse, copy, cut and paste through the clipboard, what it tells its parent, its
// scrolling and the colours its parent chooses.

#include <cstdint>
#include <cstring>
#include <optional>
#include <random>

#include "platform/controls/Edit.h"
#include "platform/controls/EditText.h"
#include "platform/graphics/SystemColors.h"
#include "platform/window/MessageBeep.h"
#include "platform/window/ScrollBars.h"
#include "tests/platform/controls/ControlTesting.h"

namespace {

constexpr DWORD kLogStyle = WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL |
                            ES_READONLY | ES_WANTRETURN;
constexpr DWORD kEditable = ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL;

class EditTest : public ControlTest {
protected:
    HWND Multi(const char* text, DWORD style = kEditable, const RECT& r = RECT{10, 10, 210, 110}) {
        return Control(Edit::kClassName, text, style, r);
    }
    HWND Single(const char* text, DWORD style = ES_AUTOHSCROLL) {
        return Control(Edit::kClassName, text, style, RECT{10, 10, 210, 31});
    }

    static std::string Text(HWND edit) {
        std::string text(static_cast<std::size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
        text.resize(static_cast<std::size_t>(GetWindowTextA(edit, text.data(), static_cast<int>(text.size()))));
        return text;
    }
    static std::pair<DWORD, DWORD> Selection(HWND edit) {
        DWORD from = 0, to = 0;
        SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
        return {from, to};
    }
    static void Select(HWND edit, int from, int to) { SendMessageA(edit, EM_SETSEL, from, to); }
    static LRESULT FirstVisible(HWND edit) { return SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0); }
    // The client point of the caret position `pos`.
    static POINT At(HWND edit, int pos) {
        const LRESULT p = SendMessageA(edit, EM_POSFROMCHAR, static_cast<WPARAM>(pos), 0);
        return POINT{GET_X_LPARAM(p), GET_Y_LPARAM(p)};
    }
    std::optional<std::string> Clipboard() { return display->ClipboardText(); }
};

using Sel = std::pair<DWORD, DWORD>;

// --- The text and its lines -------------------------------------------------------------------

TEST_F(EditTest, TextComesBackByteForByteWithItsLines) {
    HWND edit = Multi("", kLogStyle);
    struct Case {
        const char* text;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {""}},
        {"one line", {"one line"}},
        {"a\r\nb\r\n", {"a", "b", ""}},
        {"crlf\r\nlf\nlone cr\rend", {"crlf", "lf", "lone cr", "end"}},
        {"\r\n\r\n", {"", "", ""}},
        {"cr before crlf\r\r\nx", {"cr before crlf", "", "x"}},
        {"tabs\tand caf\xE9 and \xE2\x82\xAC", {"tabs\tand caf\xE9 and \xE2\x82\xAC"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.text)));
        EXPECT_TRUE(SetWindowTextA(edit, c.text));
        EXPECT_EQ(GetWindowTextLengthA(edit), static_cast<int>(std::strlen(c.text)));
        EXPECT_EQ(Text(edit), c.text);
        ASSERT_EQ(SendMessageA(edit, EM_GETLINECOUNT, 0, 0), static_cast<LRESULT>(c.lines.size()));
        for (std::size_t line = 0; line < c.lines.size(); ++line) {
            const LRESULT start = SendMessageA(edit, EM_LINEINDEX, line, 0);
            EXPECT_EQ(std::string(c.text).substr(static_cast<std::size_t>(start), c.lines[line].size()), c.lines[line]);
            EXPECT_EQ(SendMessageA(edit, EM_LINELENGTH, static_cast<WPARAM>(start), 0),
                      static_cast<LRESULT>(c.lines[line].size()));
            EXPECT_EQ(SendMessageA(edit, EM_LINEFROMCHAR, static_cast<WPARAM>(start), 0), static_cast<LRESULT>(line));
            char buffer[64] = {};
            const WORD room = sizeof buffer;
            std::memcpy(buffer, &room, sizeof room);
            EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(SendMessageA(edit, EM_GETLINE, line,
                                                                                reinterpret_cast<LPARAM>(buffer)))),
                      c.lines[line]);
        }
        EXPECT_EQ(SendMessageA(edit, EM_LINEINDEX, c.lines.size(), 0), -1);
    }
    // A short buffer gets what fits, ended by a NUL.
    SetWindowTextA(edit, "abc\r\ndef");
    char small[4];
    EXPECT_EQ(GetWindowTextA(edit, small, sizeof small), 3);
    EXPECT_STREQ(small, "abc");
    // Created with a text, the edit starts with it.
    EXPECT_EQ(Text(Multi("made\r\nwith it")), "made\r\nwith it");
}

// The index is mended around each change, never rebuilt: compare it with one built afresh.
TEST(EditTextTest, TheLineIndexFollowsEveryKindOfChange) {
    const auto rebuilt = [](const std::string& text) {
        EditText fresh(true);
        fresh.Assign(text);
        std::vector<std::size_t> starts;
        for (std::size_t line = 0; line < fresh.Lines(); ++line) starts.push_back(fresh.LineStart(line));
        return starts;
    };
    const auto starts = [](const EditText& t) {
        std::vector<std::size_t> s;
        for (std::size_t line = 0; line < t.Lines(); ++line) s.push_back(t.LineStart(line));
        return s;
    };
    struct Case {
        const char* before;
        std::size_t from, to;
        const char* with;
    } cases[] = {
        {"a\r", 2, 2, "\n"},     // LF after a CR: the two are one break
        {"a\r\nb", 3, 3, "x"},   // between CR and LF: two breaks
        {"a\r\nb", 2, 3, ""},    // the LF goes: a lone CR is left
        {"a\r\nb", 1, 2, ""},    // the CR goes
        {"\r\n\r\n", 0, 4, "z"}, // every break goes
        {"ab", 1, 1, "\r\n\n\r"},
        {"x\ry", 1, 2, "\r\n"},
    };
    for (const Case& c : cases) {
        EditText text(true);
        text.Assign(c.before);
        text.Replace(c.from, c.to, c.with);
        EXPECT_EQ(starts(text), rebuilt(std::string(text.Text()))) << testing::PrintToString(std::string(c.before));
    }
    // And a long run of random edits made of the characters that matter.
    std::mt19937 random(7);
    EditText text(true);
    text.Assign("start\r\nof it\n");
    const char alphabet[] = {'a', '\r', '\n', 'b'};
    for (int round = 0; round < 2000; ++round) {
        const std::size_t size = text.Size();
        const std::size_t from = random() % (size + 1);
        const std::size_t to = std::min(size, from + random() % 4);
        std::string with;
        for (std::size_t n = random() % 4; n > 0; --n) with += alphabet[random() % 4];
        text.Replace(from, to, with);
        ASSERT_EQ(starts(text), rebuilt(std::string(text.Text()))) << "round " << round;
    }
}

TEST(EditTextTest, TheCaretStepsOverLineBreaksAndWholeCharacters) {
    EditText text(true);
    text.Assign("a\r\n\xC3\xA9\xE2\x82\xAC\xE9z");  // a CRLF e-acute(2) euro(3) e-acute(1252) z
    const std::vector<std::size_t> stops{0, 1, 3, 5, 8, 9, 10};
    std::vector<std::size_t> forward{0}, backward{text.Size()};
    for (std::size_t p = 0; p < text.Size();) forward.push_back(p = text.Next(p));
    for (std::size_t p = text.Size(); p > 0;) backward.insert(backward.begin(), p = text.Previous(p));
    EXPECT_EQ(forward, stops);
    EXPECT_EQ(backward, stops);
    // Positions inside a break or a character go back to its start.
    for (auto [inside, snapped] : {std::pair<std::size_t, std::size_t>{2, 1}, {4, 3}, {6, 5}, {7, 5}, {9, 9}})
        EXPECT_EQ(text.Snap(inside), snapped) << inside;
    // An insertion cut to fit keeps whole characters and breaks.
    EXPECT_EQ(EditText::Fit("ab\r\ncd", 3), 2u);
    EXPECT_EQ(EditText::Fit("\xE2\x82\xAC", 2), 0u);
    EXPECT_EQ(EditText::Fit("abc", 5), 3u);
}

// --- Caret and selection by keys -------------------------------------------------------------

TEST_F(EditTest, KeysMoveTheCaretAndShiftSelects) {
    HWND edit = Multi("alpha beta\r\ngamma\r\nde", kEditable, RECT{10, 10, 310, 110});
    SetFocus(edit);
    struct Step {
        const char* name;
        int vk, modifiers;
        Sel expected;
    } steps[] = {
        {"end of the line", VK_END, kNone, {10, 10}},
        {"down keeps the column where it can", VK_DOWN, kNone, {17, 17}},
        {"down again, to a short line's end", VK_DOWN, kNone, {21, 21}},
        {"up goes back to the remembered column", VK_UP, kNone, {17, 17}},
        {"home", VK_HOME, kNone, {12, 12}},
        {"left over the line break", VK_LEFT, kNone, {10, 10}},
        {"shift+home selects to the start of the line", VK_HOME, kShift, {0, 10}},
        {"left ends the selection at its start", VK_LEFT, kNone, {0, 0}},
        {"control+right to the next word", VK_RIGHT, kControl, {6, 6}},
        {"control+shift+right", VK_RIGHT, kControl | kShift, {6, 10}},
        {"right ends the selection at its end", VK_RIGHT, kNone, {10, 10}},
        {"control+end", VK_END, kControl, {21, 21}},
        {"control+shift+home", VK_HOME, kControl | kShift, {0, 21}},
        {"shift+down moves the caret, not the anchor", VK_DOWN, kShift, {12, 21}},
        {"page down to the last line, in the column remembered", VK_NEXT, kNone, {19, 19}},
        {"page up to the first", VK_PRIOR, kNone, {0, 0}},
    };
    for (const Step& s : steps) {
        Press(s.vk, s.modifiers);
        EXPECT_EQ(Selection(edit), s.expected) << s.name;
    }
    Press('A', kControl);
    EXPECT_EQ(Selection(edit), (Sel{0, 21})) << "control+A selects all";
}

// --- Caret and selection by mouse ------------------------------------------------------------

TEST_F(EditTest, ClicksPlaceTheCaretShiftClickExtendsDragSelectsDoubleClickTakesAWord) {
    HWND edit = Multi("first line of text\r\nsecond line here\r\nthird", kEditable, RECT{10, 10, 310, 110});
    const int lineHeight = At(edit, 20).y - At(edit, 0).y;
    ASSERT_GT(lineHeight, 0);
    // EM_CHARFROMPOS finds what EM_POSFROMCHAR placed.
    for (int pos : {0, 6, 18, 20, 27, 38, 43}) {
        const POINT p = At(edit, pos);
        EXPECT_EQ(LOWORD(SendMessageA(edit, EM_CHARFROMPOS, 0, MAKELPARAM(p.x, p.y + 1))), pos) << pos;
    }
    const auto point = [&](int pos) {
        const POINT p = At(edit, pos);
        return OnScreen(edit, p.x, p.y + lineHeight / 2);
    };
    display->Click(point(6));
    PumpAll();
    EXPECT_EQ(GetFocus(), edit) << "a click takes the focus";
    EXPECT_EQ(Selection(edit), (Sel{6, 6}));
    display->Advance(1000);
    display->Key(VK_SHIFT, true);
    display->Click(point(27));
    display->Key(VK_SHIFT, false);
    PumpAll();
    EXPECT_EQ(Selection(edit), (Sel{6, 27}));
    display->Advance(1000);
    display->MoveMouse(point(2));
    display->Press();
    display->MoveMouse(point(25));
    display->MoveMouse(point(38));
    display->Release();
    PumpAll();
    EXPECT_EQ(Selection(edit), (Sel{2, 38}));
    EXPECT_EQ(GetCapture(), nullptr);
    display->Advance(1000);
    display->DoubleClick(point(22));  // in "second"
    PumpAll();
    EXPECT_EQ(Selection(edit), (Sel{20, 26}));
}

TEST_F(EditTest, DraggingBelowTheTextScrollsOnWhileTheButtonIsHeld) {
    std::string text;
    for (int i = 0; i < 200; ++i) text += "line " + std::to_string(i) + "\r\n";
    HWND edit = Multi(text.c_str());
    display->MoveMouse(OnScreen(edit, 1, 5));  // before the first character
    display->Press();
    display->MoveMouse(OnScreen(edit, 20, 150));  // below the control
    PumpAll();
    const LRESULT first = FirstVisible(edit);
    // The timer goes on scrolling without the mouse moving.
    EXPECT_TRUE(PumpUntil([&] { return FirstVisible(edit) >= first + 5; }));
    display->Release();
    PumpAll();
    const LRESULT stopped = FirstVisible(edit);
    const Sel selected = Selection(edit);
    EXPECT_EQ(selected.first, 0u);
    EXPECT_GE(SendMessageA(edit, EM_LINEFROMCHAR, selected.second, 0), stopped) << "the selection ends in view";
    EXPECT_EQ(GetCapture(), nullptr);
    // Released, the mouse selects nothing more.
    display->MoveMouse(OnScreen(edit, 20, 400));
    PumpAll();
    EXPECT_EQ(Selection(edit), selected);
    EXPECT_EQ(FirstVisible(edit), stopped);
}

// --- Clipboard -----------------------------------------------------------------------------

TEST_F(EditTest, CopyWorksReadOnlyAndKeepsLineEnds) {
    HWND edit = Multi("first\r\nsecond\r\nthird", kLogStyle);
    SetFocus(edit);
    display->SetClipboardText("before");
    Select(edit, 2, 13);
    Press('C', kControl);
    EXPECT_EQ(Clipboard(), "rst\r\nsecond");
    Select(edit, 0, 0);
    Press('C', kControl);
    EXPECT_EQ(Clipboard(), "rst\r\nsecond") << "an empty selection leaves the clipboard alone";
    Select(edit, 7, 13);
    Press(VK_INSERT, kControl);
    EXPECT_EQ(Clipboard(), "second");
    // Read-only: nothing changes the text, and each refusal sounds the warning.
    display->SetClipboardText("pasted");
    const long beeps = MessageBeepCount();
    Select(edit, 0, 5);
    Press('V', kControl);
    Press('X', kControl);
    Press(VK_DELETE);
    Press(VK_BACK);
    Press(VK_RETURN);
    Type("typed");
    SendMessageA(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(edit), "first\r\nsecond\r\nthird");
    EXPECT_EQ(MessageBeepCount() - beeps, 11) << "paste, cut, delete, backspace, enter, five letters, WM_PASTE";
    EXPECT_EQ(Clipboard(), "pasted");
    // EM_REPLACESEL is the owner's, not the user's: it works read-only too.
    SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("FIRST"));
    EXPECT_EQ(Text(edit), "FIRST\r\nsecond\r\nthird");
}

TEST_F(EditTest, EditableTextTakesTypingCutPasteAndDeletion) {
    HWND edit = Multi("");
    SetFocus(edit);
    struct Step {
        const char* name;
        std::function<void()> act;
        const char* text;
        Sel selection;
    };
    const std::vector<Step> steps{
        {"typing", [&] { Type("ab"); }, "ab", {2, 2}},
        {"enter breaks the line with CR LF", [&] { Press(VK_RETURN); }, "ab\r\n", {4, 4}},
        {"tab", [&] { Type("\tc"); }, "ab\r\n\tc", {6, 6}},
        {"backspace takes a character", [&] { Press(VK_BACK); }, "ab\r\n\t", {5, 5}},
        {"backspace takes a tab", [&] { Press(VK_BACK); }, "ab\r\n", {4, 4}},
        {"backspace takes the whole line break", [&] { Press(VK_BACK); }, "ab", {2, 2}},
        {"delete at the end does nothing", [&] { Press(VK_DELETE); }, "ab", {2, 2}},
        {"home then delete",
         [&] {
             Press(VK_HOME);
             Press(VK_DELETE);
         },
         "b",
         {0, 0}},
        {"select all and cut",
         [&] {
             Press('A', kControl);
             Press('X', kControl);
         },
         "",
         {0, 0}},
        {"paste what was cut, twice",
         [&] {
             Press('V', kControl);
             Press(VK_INSERT, kShift);
         },
         "bb",
         {2, 2}},
        {"a pasted line break stays as given",
         [&] {
             display->SetClipboardText("x\r\ny");
             Press('V', kControl);
         },
         "bbx\r\ny",
         {6, 6}},
        {"typing replaces the selection",
         [&] {
             Select(edit, 1, 3);
             Type("Q");
         },
         "bQ\r\ny",
         {2, 2}},
        {"shift+delete cuts",
         [&] {
             Select(edit, 0, 2);
             Press(VK_DELETE, kShift);
         },
         "\r\ny",
         {0, 0}},
    };
    for (const Step& s : steps) {
        s.act();
        EXPECT_EQ(Text(edit), s.text) << s.name;
        EXPECT_EQ(Selection(edit), s.selection) << s.name;
    }
    EXPECT_EQ(Clipboard(), "bQ") << "shift+delete copied what it cut";
    EXPECT_TRUE(SendMessageA(edit, EM_GETMODIFY, 0, 0));
    SetWindowTextA(edit, "fresh");
    EXPECT_FALSE(SendMessageA(edit, EM_GETMODIFY, 0, 0)) << "a new text is not a modification";
}

TEST_F(EditTest, ASingleLineEditTakesTheFirstLineOfAPasteAndIgnoresEnter) {
    HWND name = Single("report");
    SetFocus(name);
    EXPECT_EQ(SendMessageA(name, EM_GETLINECOUNT, 0, 0), 1);
    Press(VK_END);
    display->SetClipboardText(".txt\r\nsecond line");
    Press('V', kControl);
    Press(VK_RETURN);
    EXPECT_EQ(Text(name), "report.txt");
    Press(VK_UP);  // up and down move as left and right do
    Press(VK_UP);
    EXPECT_EQ(Selection(name), (Sel{8, 8}));
    Press(VK_DOWN);
    EXPECT_EQ(Selection(name), (Sel{9, 9}));
    Press(VK_HOME, kShift);
    Type("name");
    EXPECT_EQ(Text(name), "namet");
    // A line break given by the owner stays in the one line.
    SetWindowTextA(name, "a\r\nb");
    EXPECT_EQ(SendMessageA(name, EM_GETLINECOUNT, 0, 0), 1);
    EXPECT_EQ(Text(name), "a\r\nb");
}

// --- What the parent hears -----------------------------------------------------------------

TEST_F(EditTest, TheParentHearsOfChangesFocusLimitsAndScrolling) {
    HWND multi = Multi("");
    HWND single = Single("");
    HWND elsewhere = recorder.Create(parent, RECT{0, 200, 10, 210});
    struct Case {
        const char* name;
        HWND edit;
        std::function<void()> act;
        std::vector<WORD> heard;
    };
    const std::vector<Case> cases{
        {"focus", multi, [&] { SetFocus(multi); }, {EN_SETFOCUS}},
        {"typing", multi, [&] { Type("x"); }, {EN_UPDATE, EN_CHANGE}},
        {"moving the caret", multi, [&] { Press(VK_LEFT); }, {}},
        {"a multi-line edit's own text", multi, [&] { SetWindowTextA(multi, "set"); }, {}},
        {"a single-line edit's own text", single, [&] { SetWindowTextA(single, "set"); }, {EN_UPDATE, EN_CHANGE}},
        {"EM_SETSEL", multi, [&] { Select(multi, 0, 2); }, {}},
        {"EM_REPLACESEL", multi, [&] { SendMessageA(multi, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("r")); },
         {EN_UPDATE, EN_CHANGE}},
        {"the wheel", multi, [&] { SendMessageA(multi, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0); }, {EN_VSCROLL}},
        {"a scroll bar", multi, [&] { SendMessageA(multi, WM_HSCROLL, SB_LINERIGHT, 0); }, {EN_HSCROLL}},
        {"typing past the limit",
         multi,
         [&] {
             SendMessageA(multi, EM_LIMITTEXT, 4, 0);
             Type("abc");
         },
         {EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE, EN_MAXTEXT}},
        {"focus going", multi, [&] { SetFocus(elsewhere); }, {EN_KILLFOCUS}},
    };
    for (const Case& c : cases) {
        recorder.Log().clear();
        c.act();
        EXPECT_EQ(Notifications(c.edit), c.heard) << c.name;
        for (const Seen& s : recorder.Log()) {
            if (s.message == WM_COMMAND) {
                EXPECT_EQ(LOWORD(s.wParam), 100) << c.name << ": the control's id";
            }
        }
    }
    // The limit cut what was typed; the owner's own text is not limited.
    EXPECT_EQ(Text(multi), "rabt");
    SetWindowTextA(multi, "longer than the limit");
    EXPECT_EQ(Text(multi), "longer than the limit");
    EXPECT_EQ(SendMessageA(multi, EM_GETLIMITTEXT, 0, 0), 4);
    SendMessageA(multi, EM_LIMITTEXT, 0, 0);
    EXPECT_EQ(static_cast<std::size_t>(SendMessageA(multi, EM_GETLIMITTEXT, 0, 0)), Edit::kMostLimit);
}

TEST_F(EditTest, DialogCodesSayWhichKeysTheEditWants) {
    HWND single = Single("");
    HWND multi = Multi("", kEditable);
    HWND wantsReturn = Multi("", kEditable | ES_WANTRETURN);
    const LRESULT base = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    const auto code = [](HWND edit, int vk) {
        MSG msg{edit, WM_KEYDOWN, static_cast<WPARAM>(vk), 0, 0, {}, 0};
        return SendMessageA(edit, WM_GETDLGCODE, vk, vk ? reinterpret_cast<LPARAM>(&msg) : 0);
    };
    struct Case {
        HWND edit;
        int vk;
        LRESULT expected;
    } cases[] = {
        {single, 0, base},
        {multi, 0, base | DLGC_WANTALLKEYS},
        {multi, 'A', base | DLGC_WANTALLKEYS},
        {multi, VK_RETURN, base},
        {wantsReturn, VK_RETURN, base | DLGC_WANTALLKEYS},
        {multi, VK_TAB, base},
        {multi, VK_ESCAPE, base},
    };
    for (const Case& c : cases) EXPECT_EQ(code(c.edit, c.vk), c.expected) << c.vk;
}

// --- Scrolling -----------------------------------------------------------------------------

TEST_F(EditTest, KeysWheelScrollBarsAndMessagesScrollTheText) {
    std::string text;
    for (int i = 0; i < 1000; ++i) text += "line number " + std::to_string(i) + "\r\n";
    HWND edit = Multi(text.c_str());
    const auto page = static_cast<LRESULT>(SendMessageA(edit, EM_SCROLL, SB_PAGEDOWN, 0) & 0xFFFF);
    EXPECT_EQ(HIWORD(SendMessageA(edit, EM_SCROLL, SB_LINEUP, 0)), TRUE);
    ASSERT_GT(page, 2);
    EXPECT_EQ(FirstVisible(edit), page - 1);
    const auto scrollPos = [&] {
        SCROLLINFO info{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(edit, SB_VERT, &info);
        return info;
    };
    EXPECT_EQ(scrollPos().nPos, page - 1) << "the bar follows";
    EXPECT_EQ(scrollPos().nMax, 1000);
    EXPECT_EQ(static_cast<LRESULT>(scrollPos().nPage), page);
    struct Step {
        const char* name;
        std::function<void()> act;
        LRESULT first;
    };
    const std::vector<Step> steps{
        {"the wheel: three lines a notch",
         [&] { SendMessageA(edit, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0); }, page + 2},
        {"half notches add up",
         [&] {
             SendMessageA(edit, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA / 2), 0);
             SendMessageA(edit, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA / 2), 0);
         },
         page - 1},
        {"the bar's line down", [&] { SendMessageA(edit, WM_VSCROLL, SB_LINEDOWN, 0); }, page},
        {"a click on the bar's down arrow",
         [&] {
             RECT r;
             GetWindowRect(edit, &r);
             const int bar = GetSystemMetrics(SM_CXVSCROLL);
             display->Click(POINT{r.right - bar / 2, r.bottom - bar - bar / 2});
             PumpAll();
         },
         page + 1},
        {"the bar's thumb, past 16 bits of position",
         [&] {
             SCROLLINFO track{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, 500, 0};
             SetScrollInfo(edit, SB_VERT, &track, FALSE);
             SendMessageA(edit, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 500), 0);
         },
         500},
        {"EM_LINESCROLL", [&] { SendMessageA(edit, EM_LINESCROLL, 0, -10); }, 490},
        {"the bar's bottom", [&] { SendMessageA(edit, WM_VSCROLL, SB_BOTTOM, 0); }, 1001 - page},
        {"the bar's top", [&] { SendMessageA(edit, WM_VSCROLL, SB_TOP, 0); }, 0},
        {"control+end shows the last line",
         [&] {
             SetFocus(edit);
             Press(VK_END, kControl);
         },
         1001 - page},
        {"EM_SETSEL does not scroll a multi-line edit", [&] { Select(edit, 0, 0); }, 1001 - page},
        {"EM_SCROLLCARET does", [&] { SendMessageA(edit, EM_SCROLLCARET, 0, 0); }, 0},
        {"the caret going below the last line shown scrolls",
         [&] {
             for (LRESULT i = 0; i < page + 1; ++i) Press(VK_DOWN);
         },
         2},
    };
    for (const Step& s : steps) {
        s.act();
        EXPECT_EQ(FirstVisible(edit), s.first) << s.name;
    }
    EXPECT_EQ(SendMessageA(Single("x"), EM_SCROLL, SB_LINEDOWN, 0), FALSE) << "one line does not scroll";
}

TEST_F(EditTest, ALongLineScrollsSidewaysToShowTheCaret) {
    const std::string longLine(400, 'w');
    HWND edit = Multi((longLine + "\r\nshort").c_str());
    SetFocus(edit);
    Press(VK_END);
    SCROLLINFO h{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(edit, SB_HORZ, &h);
    EXPECT_GT(h.nPos, 0);
    EXPECT_GE(h.nMax, h.nPos + static_cast<int>(h.nPage) - 1) << "the range holds the widest line";
    const POINT caret = At(edit, 400);
    RECT client;
    GetClientRect(edit, &client);
    EXPECT_GE(caret.x, 0);
    EXPECT_LT(caret.x, client.right);
    Press(VK_HOME);
    GetScrollInfo(edit, SB_HORZ, &h);
    EXPECT_EQ(h.nPos, 0);
    SendMessageA(edit, WM_HSCROLL, SB_PAGERIGHT, 0);
    GetScrollInfo(edit, SB_HORZ, &h);
    EXPECT_GT(h.nPos, 0);
    EXPECT_EQ(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

TEST_F(EditTest, ALargeTextIsSetAndShownAtItsEnd) {
    std::string text;
    text.reserve(8u << 20);
    for (int i = 0; text.size() < (8u << 20); ++i) text += "debug line " + std::to_string(i) + " with some words\r\n";
    HWND edit = Multi("", kLogStyle);
    ASSERT_TRUE(SetWindowTextA(edit, text.c_str()));
    const LRESULT lines = SendMessageA(edit, EM_GETLINECOUNT, 0, 0);
    SetFocus(edit);
    Press(VK_END, kControl);
    DWORD caret = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&caret), 0);
    EXPECT_EQ(caret, text.size());
    EXPECT_EQ(SendMessageA(edit, EM_GETSEL, 0, 0), -1) << "positions past 16 bits";
    EXPECT_EQ(SendMessageA(edit, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0), lines - 1);
    EXPECT_GT(FirstVisible(edit), lines - 20);
    EXPECT_EQ(GetWindowTextLengthA(edit), static_cast<int>(text.size()));
}

// --- Colours -------------------------------------------------------------------------------

TEST_F(EditTest, TheParentChoosesTheColoursAReadOnlyEditAsksLikeStaticText) {
    recorder.On(WM_CTLCOLORSTATIC, [](HWND, UINT, WPARAM wParam, LPARAM, bool&) -> LRESULT {
        // As the viewer's view answers for its debug text box.
        SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    });
    HWND readOnly = Multi("text", kLogStyle, RECT{10, 10, 130, 80});
    HWND editable = Multi("text", kEditable, RECT{140, 10, 260, 80});
    HWND disabled = Multi("text", kEditable | WS_DISABLED, RECT{10, 90, 130, 160});
    PumpAll();
    const auto asked = [&](HWND edit) {
        std::vector<UINT> messages;
        for (const Seen& s : recorder.Log())
            if (s.hwnd == parent && reinterpret_cast<HWND>(s.lParam) == edit &&
                (s.message == WM_CTLCOLORSTATIC || s.message == WM_CTLCOLOREDIT))
                messages.push_back(s.message);
        return messages;
    };
    EXPECT_EQ(asked(readOnly), std::vector<UINT>{WM_CTLCOLORSTATIC});
    EXPECT_EQ(asked(editable), std::vector<UINT>{WM_CTLCOLOREDIT});
    EXPECT_EQ(asked(disabled), std::vector<UINT>{WM_CTLCOLORSTATIC});
    // Below the text (in a client area that the scroll bars leave 104 by 54), the brush shows:
    // white as asked for; the editable one white by default.
    EXPECT_EQ(PixelAt(readOnly, 60, 40), RGB(255, 255, 255));
    EXPECT_EQ(PixelAt(editable, 60, 40), GetSysColor(COLOR_WINDOW));
    // Without an answer a read-only edit is grey, as static text is.
    recorder.Clear();
    SendMessageA(readOnly, EM_SETREADONLY, TRUE, 0);
    InvalidateRect(readOnly, nullptr, TRUE);
    EXPECT_EQ(PixelAt(readOnly, 60, 40), GetSysColor(COLOR_3DFACE));
    // EM_SETREADONLY changes the style and the question.
    SendMessageA(readOnly, EM_SETREADONLY, FALSE, 0);
    EXPECT_FALSE(GetWindowLongPtrA(readOnly, GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(PixelAt(readOnly, 60, 40), GetSysColor(COLOR_WINDOW));
}

TEST_F(EditTest, TheFontIsTheSystemsUntilOneIsSet) {
    HWND edit = Multi("x");
    EXPECT_EQ(SendMessageA(edit, WM_GETFONT, 0, 0), 0);
    SetWindowTextA(edit, "a\r\nb");
    const int systemHeight = At(edit, 3).y - At(edit, 0).y;
    HFONT gui = GetStockObject(DEFAULT_GUI_FONT);
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(gui), TRUE);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(edit, WM_GETFONT, 0, 0)), gui);
    const int guiHeight = At(edit, 3).y - At(edit, 0).y;
    EXPECT_LT(guiHeight, systemHeight) << "the 8-point font's lines are lower than the system font's";
    recorder.Log().clear();
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(gui), TRUE);
    PumpAll();
    EXPECT_EQ(recorder.Count(parent, WM_CTLCOLOREDIT), 1) << "set with redraw, it paints again";
}

TEST_F(EditTest, SelectionMessagesClampAndSnapToCharacters) {
    HWND edit = Multi("ab\r\ncd\xE2\x82\xAC");
    struct Case {
        int from, to;
        Sel expected;
    } cases[] = {
        {0, -1, {0, 9}},   {1, 3, {1, 2}},      {3, 1, {1, 2}},  // inside CR LF: before the CR
        {-5, 100, {0, 9}}, {7, 8, {6, 6}},      {9, 0, {0, 9}},
    };
    for (const Case& c : cases) {
        Select(edit, c.from, c.to);
        EXPECT_EQ(Selection(edit), c.expected) << c.from << ", " << c.to;
    }
    Select(edit, 1, 2);
    Select(edit, -1, 0);
    EXPECT_EQ(Selection(edit), (Sel{2, 2})) << "-1 drops the selection and keeps the caret";
    EXPECT_EQ(SendMessageA(edit, EM_POSFROMCHAR, 10, 0), -1);
    EXPECT_EQ(SendMessageA(edit, EM_LINEINDEX, static_cast<WPARAM>(-1), 0), 0) << "the caret's line";
    Select(edit, 1, 5);
    EXPECT_EQ(SendMessageA(edit, EM_LINELENGTH, static_cast<WPARAM>(-1), 0), 1 + 4)
        << "unselected characters of the selected lines";
}

}  // namespace
