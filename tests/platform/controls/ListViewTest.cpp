// The report list view driven as its parent and its user drive it: columns, rows, states and
// the notifications they cause, custom drawing down to the pixels, scrolling, the header's
// clicks and drags, hit tests and label tips.

#include <functional>
#include <thread>
#include <string>
#include <vector>

#include "platform/controls/Header.h"
#include "platform/controls/ListView.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"
#include "platform/window/ScrollBars.h"
#include "tests/platform/window/WindowTesting.h"

namespace {

constexpr DWORD kViewerStyle = WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
constexpr DWORD kViewerExStyle = 0x971;
constexpr int kListId = 7;

std::string Name(UINT code) {
    switch (code) {
        case LVN_ITEMCHANGING: return "changing";
        case LVN_ITEMCHANGED: return "changed";
        case LVN_INSERTITEM: return "insert";
        case LVN_DELETEITEM: return "delete";
        case LVN_DELETEALLITEMS: return "delete all";
        case LVN_COLUMNCLICK: return "column click";
        case LVN_ITEMACTIVATE: return "activate";
        case LVN_BEGINDRAG: return "begin drag";
        case NM_CLICK: return "click";
        case NM_DBLCLK: return "double click";
        case NM_RCLICK: return "right click";
        default: return "";
    }
}

class ListViewTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        InitCommonControls();
        parent = recorder.Create(nullptr, RECT{100, 100, 500, 400}, WS_POPUP | WS_VISIBLE);
        recorder.On(WM_NOTIFY, [this](HWND, UINT, WPARAM, LPARAM lParam, bool&) -> LRESULT {
            return OnNotify(reinterpret_cast<NMHDR*>(lParam));
        });
    }

    HWND Create(DWORD style = kViewerStyle, DWORD exStyle = kViewerExStyle, RECT r = RECT{0, 0, 400, 300}) {
        list = CreateWindowExA(0, WC_LISTVIEWA, "", style, r.left, r.top, Width(r), Height(r), parent,
                               reinterpret_cast<HMENU>(static_cast<std::intptr_t>(kListId)), nullptr, nullptr);
        if (exStyle) ListView_SetExtendedListViewStyle(list, exStyle);
        return list;
    }

    void AddColumns(int count = 5, int width = 70) {
        for (int i = 0; i < count; ++i) {
            std::string caption = "Column " + std::to_string(i);
            LVCOLUMNA column{};
            column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
            column.cx = width;
            column.pszText = caption.data();
            column.iSubItem = i;
            ListView_InsertColumn(list, i, &column);
        }
    }

    // Rows as the record list adds them: insert, then the other texts one by one.
    void AddRows(int count, int columns = 5) {
        for (int r = 0; r < count; ++r) {
            const int row = ListView_GetItemCount(list);
            std::string text = Text(row, 0);
            LVITEMA item{};
            item.mask = LVIF_TEXT | LVIF_PARAM;
            item.iItem = row;
            item.pszText = text.data();
            item.lParam = 1000 + row;
            ListView_InsertItem(list, &item);
            for (int c = 1; c < columns; ++c) ListView_SetItemText(list, row, c, Text(row, c).c_str());
        }
    }

    static std::string Text(int row, int column) { return "r" + std::to_string(row) + " c" + std::to_string(column); }

    std::string ItemText(int row, int column) {
        char buffer[256] = "?";
        ListView_GetItemText(list, row, column, buffer, sizeof buffer);
        return buffer;
    }

    LRESULT OnNotify(NMHDR* nm) {
        if (nm->hwndFrom == list) {
            EXPECT_EQ(nm->idFrom, static_cast<UINT_PTR>(kListId));
            const std::string name = Name(nm->code);
            if (!name.empty()) {
                const auto* lv = reinterpret_cast<const NMLISTVIEW*>(nm);
                std::string note = name + " " + std::to_string(nm->code == LVN_COLUMNCLICK ? lv->iSubItem : lv->iItem);
                if (nm->code == LVN_ITEMCHANGING || nm->code == LVN_ITEMCHANGED)
                    note += " " + std::to_string(lv->uOldState) + ">" + std::to_string(lv->uNewState);
                notes.push_back(note);
            }
        }
        return answer ? answer(nm) : 0;
    }

    RECT RowBounds(int row) {
        RECT r{LVIR_BOUNDS, 0, 0, 0};
        SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
        return r;
    }
    POINT InRow(int row, int x = 20) {
        const RECT r = RowBounds(row);
        return OnScreen(list, x, (r.top + r.bottom) / 2);
    }
    void Click(POINT at, InputRouter::Button button = InputRouter::Button::Left) {
        display->Advance(1000);  // no double click with the click before
        display->Click(at, button);
        PumpAll();
    }
    int Focused() { return ListView_GetNextItem(list, -1, LVNI_FOCUSED); }
    int Selected() { return ListView_GetNextItem(list, -1, LVNI_SELECTED); }
    int Top() { return static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0)); }
    int PerPage() { return static_cast<int>(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0)); }
    void Paint() {
        InvalidateRect(list, nullptr, FALSE);
        UpdateWindow(list);
        PumpAll();
    }
    COLORREF ScreenAt(int x, int y) { return Surface::ColorOf(display->Pixels(parent).At(x, y)); }

    HWND parent = nullptr, list = nullptr;
    std::vector<std::string> notes;
    std::function<LRESULT(NMHDR*)> answer;
};

TEST_F(ListViewTest, ColumnsGoInAtTheirIndexAndLeaveLastToFirstAsTheHeaderCounts) {
    Create();
    HWND header = ListView_GetHeader(list);
    ASSERT_NE(header, nullptr);
    struct Insert {
        int at;
        const char* caption;
        int expectedIndex;
        std::vector<std::string> captions;  // by index afterwards
    } inserts[] = {
        {0, "Level", 0, {"Level"}},
        {9, "Time", 1, {"Level", "Time"}},
        {1, "Status", 1, {"Level", "Status", "Time"}},
        {3, "Source", 3, {"Level", "Status", "Time", "Source"}},
        {-1, "refused", -1, {"Level", "Status", "Time", "Source"}},
    };
    for (const Insert& c : inserts) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = const_cast<char*>(c.caption);
        column.cx = 40 + c.at;
        EXPECT_EQ(ListView_InsertColumn(list, c.at, &column), c.expectedIndex) << c.caption;
        EXPECT_EQ(Header_GetItemCount(header), static_cast<int>(c.captions.size())) << c.caption;
        for (std::size_t i = 0; i < c.captions.size(); ++i) {
            char text[32] = "";
            LVCOLUMNA read{};
            read.mask = LVCF_TEXT;
            read.pszText = text;
            read.cchTextMax = sizeof text;
            ASSERT_TRUE(SendMessageA(list, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&read)));
            EXPECT_EQ(std::string(text), c.captions[i]) << "after " << c.caption << ", column " << i;
        }
    }
    EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0), 40);
    EXPECT_EQ(SendMessageA(list, LVM_SETCOLUMNWIDTH, 2, MAKELPARAM(123, 0)), TRUE);
    EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 2, 0), 123);
    // The viewer empties the list from the last column to the first, counting through the header.
    for (int count = Header_GetItemCount(header); count > 0; --count) {
        EXPECT_TRUE(ListView_DeleteColumn(list, count - 1));
        EXPECT_EQ(Header_GetItemCount(header), count - 1);
    }
    EXPECT_FALSE(ListView_DeleteColumn(list, 0));
}

TEST_F(ListViewTest, RowTextsItemDataAndImagesReadBackByIndex) {
    Create();
    AddColumns();
    AddRows(40);
    ASSERT_EQ(ListView_GetItemCount(list), 40);
    for (int row : {0, 17, 39})
        for (int column = 0; column < 5; ++column) EXPECT_EQ(ItemText(row, column), Text(row, column));

    struct Case {
        const char* name;
        int insertAt;
        int expectedIndex;
    } inserts[] = {{"in the middle", 10, 10}, {"past the end", 500, 41}, {"at the front", 0, 0}, {"negative", -1, -1}};
    for (const Case& c : inserts) {
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
        item.iItem = c.insertAt;
        item.pszText = const_cast<char*>(c.name);
        item.lParam = 7;
        item.iImage = 3;
        const int at = ListView_InsertItem(list, &item);
        EXPECT_EQ(at, c.expectedIndex) << c.name;
        if (at < 0) continue;
        LVITEMA read{};
        read.mask = LVIF_PARAM | LVIF_IMAGE;
        read.iItem = at;
        ASSERT_TRUE(ListView_GetItem(list, &read));
        EXPECT_EQ(read.lParam, 7);
        EXPECT_EQ(read.iImage, 3);
        EXPECT_EQ(ItemText(at, 0), c.name);
        EXPECT_EQ(ItemText(at, 4), "") << "no sub-item texts yet";
    }
    // The rows after an insertion moved down with their texts and data.
    EXPECT_EQ(ItemText(12, 3), Text(10, 3));
    LVITEMA read{};
    read.mask = LVIF_PARAM;
    read.iItem = 12;
    ListView_GetItem(list, &read);
    EXPECT_EQ(read.lParam, 1010);

    // Sub-item texts in any order, gaps read as empty; a short buffer gets a cut, terminated text.
    ListView_SetItemText(list, 0, 7, "seventh");
    ListView_SetItemText(list, 0, 2, "second");
    EXPECT_EQ(ItemText(0, 7), "seventh");
    EXPECT_EQ(ItemText(0, 5), "");
    EXPECT_EQ(ItemText(0, 2), "second");
    char small[4] = "xxx";
    EXPECT_EQ(ListView_GetItemText(list, 0, 7, small, sizeof small), 3);
    EXPECT_EQ(std::string(small), "sev");
    EXPECT_EQ(ItemText(99, 0), "") << "a row that is not there";

    EXPECT_TRUE(SendMessageA(list, LVM_DELETEITEM, 0, 0));
    EXPECT_EQ(ItemText(0, 1), Text(0, 1));
    EXPECT_TRUE(ListView_DeleteAllItems(list));
    EXPECT_EQ(ListView_GetItemCount(list), 0);
}

TEST_F(ListViewTest, ClicksSendTheStateChangesThenTheClick) {
    Create();
    AddColumns();
    AddRows(5);
    PumpAll();
    const RECT last = RowBounds(4);
    const POINT empty = OnScreen(list, 30, last.bottom + 20);
    struct Case {
        const char* name;
        POINT at;
        bool doubleClick;
        InputRouter::Button button;
        std::vector<std::string> expected;
    } cases[] = {
        {"a row", InRow(2), false, InputRouter::Button::Left, {"changing 2 0>3", "changed 2 0>3", "click 2", "activate 2"}},
        {"another row",
         InRow(4),
         false,
         InputRouter::Button::Left,
         {"changing 2 3>0", "changed 2 3>0", "changing 4 0>3", "changed 4 0>3", "click 4", "activate 4"}},
        {"the same row again", InRow(4), false, InputRouter::Button::Left, {"click 4", "activate 4"}},
        {"a sub-item of a row (full-row select)",
         InRow(1, 250),
         false,
         InputRouter::Button::Left,
         {"changing 4 3>0", "changed 4 3>0", "changing 1 0>3", "changed 1 0>3", "click 1", "activate 1"}},
        {"the empty area", empty, false, InputRouter::Button::Left, {"changing 1 3>1", "changed 1 3>1", "click -1"}},
        {"the empty area twice", empty, true, InputRouter::Button::Left, {"click -1", "double click -1"}},
        {"a row twice",
         InRow(3),
         true,
         InputRouter::Button::Left,
         {"changing 1 1>0", "changed 1 1>0", "changing 3 0>3", "changed 3 0>3", "click 3", "activate 3",
          "double click 3"}},
        {"a row with the right button",
         InRow(0),
         false,
         InputRouter::Button::Right,
         {"changing 3 3>0", "changed 3 3>0", "changing 0 0>3", "changed 0 0>3", "right click 0"}},
    };
    for (const Case& c : cases) {
        notes.clear();
        display->Advance(1000);
        if (c.doubleClick)
            display->DoubleClick(c.at);
        else
            display->Click(c.at, c.button);
        PumpAll();
        EXPECT_EQ(notes, c.expected) << c.name;
    }
    EXPECT_EQ(GetFocus(), list);
}

TEST_F(ListViewTest, TheParentMayRefuseAChangeAndTheSelectionStays) {
    Create();
    AddColumns();
    AddRows(5);
    PumpAll();
    struct Case {
        const char* name;
        int refused;  // the row whose LVN_ITEMCHANGING is answered TRUE
        int selectedAfter;
        int focusedAfter;
    } cases[] = {
        {"the row losing the selection", 1, 1, 1},
        {"the row gaining it", 3, -1, -1},
        {"none", -1, 3, 3},
    };
    for (const Case& c : cases) {
        answer = nullptr;
        Click(InRow(1));
        answer = [&](NMHDR* nm) -> LRESULT {
            return nm->code == LVN_ITEMCHANGING && reinterpret_cast<const NMLISTVIEW*>(nm)->iItem == c.refused;
        };
        Click(InRow(3));
        answer = nullptr;
        EXPECT_EQ(Selected(), c.selectedAfter) << c.name;
        EXPECT_EQ(Focused(), c.focusedAfter) << c.name;
        EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), c.selectedAfter < 0 ? 0 : 1) << c.name;
    }
}

TEST_F(ListViewTest, KeysMoveTheOneSelectionAndScrollToKeepItShown) {
    Create();
    AddColumns();
    AddRows(100);
    SetFocus(list);
    PumpAll();
    const int page = PerPage();
    ASSERT_GT(page, 3);
    // Each step from where the one before left the focus.
    struct Step {
        int key;
        int expected;
    } steps[] = {
        {VK_DOWN, 0},
        {VK_DOWN, 1},
        {VK_END, 99},
        {VK_UP, 98},
        {VK_PRIOR, 99 - page + 1},             // the top of the page shown
        {VK_PRIOR, 99 - page + 1 - (page - 1)},  // then a page further
        {VK_HOME, 0},
        {VK_NEXT, page - 1},
        {VK_NEXT, 2 * (page - 1)},
        {VK_HOME, 0},
        {VK_UP, 0},
    };
    int before = -1;
    for (const Step& s : steps) {
        notes.clear();
        display->KeyPress(s.key);
        PumpAll();
        EXPECT_EQ(Focused(), s.expected) << "key " << s.key;
        EXPECT_EQ(Selected(), s.expected) << "key " << s.key;
        EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
        const int top = Top();
        EXPECT_LE(top, s.expected) << "key " << s.key;
        EXPECT_LT(s.expected, top + page) << "key " << s.key << ": shown whole";
        std::vector<std::string> expected;
        if (before >= 0 && before != s.expected)
            expected = {"changing " + std::to_string(before) + " 3>0", "changed " + std::to_string(before) + " 3>0"};
        if (before != s.expected)
            for (const char* what : {"changing ", "changed "})
                expected.push_back(what + std::to_string(s.expected) + " 0>3");
        EXPECT_EQ(notes, expected) << "key " << s.key;
        before = s.expected;
    }
}

TEST_F(ListViewTest, RowsAddedWithAStateAnnounceTheChangeAndKeepOneSelection) {
    Create();
    AddColumns(1);
    AddRows(3);
    notes.clear();
    for (int row : {3, 4}) {
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_STATE;
        item.iItem = row;
        item.pszText = const_cast<char*>("new");
        item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        ListView_InsertItem(list, &item);
    }
    EXPECT_EQ(notes, (std::vector<std::string>{"insert 3", "changing 3 0>3", "changed 3 0>3", "insert 4",
                                               "changing 3 3>0", "changed 3 3>0", "changing 4 0>3", "changed 4 0>3"}));
    EXPECT_EQ(Selected(), 4);
    EXPECT_EQ(Focused(), 4);
    // A row put in front moves the selection along with its row.
    notes.clear();
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.pszText = const_cast<char*>("front");
    ListView_InsertItem(list, &item);
    EXPECT_EQ(notes, (std::vector<std::string>{"insert 0"}));
    EXPECT_EQ(Selected(), 5);
    EXPECT_EQ(Focused(), 5);
}

TEST_F(ListViewTest, AnItemsOwnChangesAreAnnouncedAndMayBeRefusedItsSubItemsAreNot) {
    Create();
    AddColumns(2);
    AddRows(2, 2);
    struct Case {
        const char* name;
        int subItem;
        const char* text;
        bool refuse;
        std::vector<std::string> expected;
        std::string reads;
    } cases[] = {
        {"a sub-item text", 1, "sub", false, {}, "sub"},
        {"the item text", 0, "main", false, {"changing 1 0>0", "changed 1 0>0"}, "main"},
        {"the same text again", 0, "main", false, {}, "main"},
        {"refused", 0, "other", true, {"changing 1 0>0"}, "main"},
    };
    for (const Case& c : cases) {
        notes.clear();
        UINT changed = 0;
        answer = [&](NMHDR* nm) -> LRESULT {
            if (nm->code != LVN_ITEMCHANGING) return 0;
            changed = reinterpret_cast<const NMLISTVIEW*>(nm)->uChanged;
            return c.refuse;
        };
        ListView_SetItemText(list, 1, c.subItem, c.text);
        answer = nullptr;
        EXPECT_EQ(notes, c.expected) << c.name;
        EXPECT_EQ(ItemText(1, c.subItem), c.reads) << c.name;
        if (!c.expected.empty()) {
            EXPECT_EQ(changed, LVIF_TEXT) << c.name;
        }
    }
}

TEST_F(ListViewTest, SortedInsertsFindingAndSortingByItemData) {
    Create(kViewerStyle | LVS_SORTASCENDING);
    AddColumns(2);
    for (const char* text : {"delta", "Alpha", "charlie", "bravo", "alpha"}) {
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = 0;
        item.pszText = const_cast<char*>(text);
        item.lParam = text[1];
        const int at = ListView_InsertItem(list, &item);
        ListView_SetItemText(list, at, 1, (std::string("sub ") + text).c_str());
    }
    const std::vector<std::string> sorted{"Alpha", "alpha", "bravo", "charlie", "delta"};
    for (int row = 0; row < 5; ++row) {
        EXPECT_EQ(ItemText(row, 0), sorted[static_cast<std::size_t>(row)]);
        EXPECT_EQ(ItemText(row, 1), "sub " + sorted[static_cast<std::size_t>(row)]);
    }
    struct Find {
        const char* name;
        int start;
        UINT flags;
        const char* text;
        LPARAM param;
        int expected;
    } finds[] = {
        {"a text, any case", -1, LVFI_STRING, "CHARLIE", 0, 3},
        {"a start of a text", -1, LVFI_PARTIAL | LVFI_STRING, "br", 0, 2},
        {"after the start only", 3, LVFI_PARTIAL | LVFI_STRING, "al", 0, -1},
        {"round to the top", 3, LVFI_PARTIAL | LVFI_STRING | LVFI_WRAP, "al", 0, 0},
        {"item data", -1, LVFI_PARAM, nullptr, 'e', 4},
        {"no such text", -1, LVFI_STRING, "echo", 0, -1},
    };
    for (const Find& f : finds) {
        LVFINDINFOA info{};
        info.flags = f.flags;
        info.psz = f.text;
        info.lParam = f.param;
        EXPECT_EQ(SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(f.start), reinterpret_cast<LPARAM>(&info)),
                  f.expected)
            << f.name;
    }
    // Sorted by item data, the rows take their texts and their focus with them.
    ListView_SetItemState(list, 4, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);  // "delta"
    static auto ascending = [](LPARAM a, LPARAM b, LPARAM) -> int { return a < b ? -1 : (a > b ? 1 : 0); };
    EXPECT_TRUE(SendMessageA(list, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(+ascending)));
    const std::vector<std::string> byData{"delta", "charlie", "Alpha", "alpha", "bravo"};  // e h l l r
    for (int row = 0; row < 5; ++row) EXPECT_EQ(ItemText(row, 1), "sub " + byData[static_cast<std::size_t>(row)]);
    EXPECT_EQ(Focused(), 0);
    EXPECT_EQ(Selected(), 0);
    EXPECT_FALSE(SendMessageA(list, LVM_SORTITEMS, 0, 0));
}

TEST_F(ListViewTest, DeletingAllRowsAnnouncesEachUnlessTheParentDeclines) {
    Create();
    AddColumns(1);
    for (LRESULT decline : {FALSE, TRUE}) {
        AddRows(3);
        notes.clear();
        answer = [&](NMHDR* nm) -> LRESULT { return nm->code == LVN_DELETEALLITEMS ? decline : 0; };
        EXPECT_TRUE(ListView_DeleteAllItems(list));
        const std::vector<std::string> expected =
            decline ? std::vector<std::string>{"delete all -1"}
                    : std::vector<std::string>{"delete all -1", "delete 0", "delete 1", "delete 2"};
        EXPECT_EQ(notes, expected);
        EXPECT_EQ(ListView_GetItemCount(list), 0);
    }
}

TEST_F(ListViewTest, NextItemFindsTheFocusAndTheSelection) {
    Create(WS_CHILD | WS_VISIBLE | LVS_REPORT);  // several rows may be selected
    AddColumns(1);
    AddRows(10);
    for (int row : {2, 5, 8}) ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
    ListView_SetItemState(list, 5, LVIS_FOCUSED, LVIS_FOCUSED);
    struct Case {
        int start;
        UINT flags;
        int expected;
    } cases[] = {
        {-1, LVNI_SELECTED, 2},
        {2, LVNI_SELECTED, 5},
        {8, LVNI_SELECTED, -1},
        {9, LVNI_SELECTED | LVNI_ABOVE, 8},
        {-1, LVNI_FOCUSED, 5},
        {5, LVNI_FOCUSED, -1},
        {-1, LVNI_ALL, 0},
        {9, LVNI_ALL, -1},
        {-1, LVNI_SELECTED | LVNI_FOCUSED, 5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ListView_GetNextItem(list, c.start, c.flags), c.expected) << c.start << " " << c.flags;
    EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 3);
    // Every row at once: only those whose state changes are announced.
    notes.clear();
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    EXPECT_EQ(notes, (std::vector<std::string>{"changing 2 2>0", "changed 2 2>0", "changing 5 3>1", "changed 5 3>1",
                                               "changing 8 2>0", "changed 8 2>0"}));
    EXPECT_EQ(Selected(), -1);
    ListView_SetItemState(list, -1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 10);
    // With one selection, all rows cannot be selected at once.
    SetWindowLongPtrA(list, GWL_STYLE, GetWindowLongPtrA(list, GWL_STYLE) | LVS_SINGLESEL);
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(list, -1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 0);
}

TEST_F(ListViewTest, HitTestsFindRowsCellsAndEmptySpace) {
    Create(kViewerStyle, LVS_EX_GRIDLINES);  // without full-row select: only the label is the item
    AddColumns(3, 100);
    AddRows(3, 3);
    const RECT row1 = RowBounds(1);
    const int y = (row1.top + row1.bottom) / 2;
    struct Case {
        const char* name;
        POINT at;
        UINT message;
        int item;
        int subItem;
        UINT flags;
    } cases[] = {
        {"on the label", {10, y}, LVM_HITTEST, 1, 0, LVHT_ONITEMLABEL},
        {"right of the label", {90, y}, LVM_HITTEST, -1, 0, LVHT_NOWHERE},
        {"on a sub-item", {150, y}, LVM_HITTEST, -1, 1, LVHT_NOWHERE},
        {"on a sub-item, asked for sub-items", {150, y}, LVM_SUBITEMHITTEST, 1, 1, LVHT_ONITEMLABEL},
        {"right of the columns", {350, y}, LVM_SUBITEMHITTEST, -1, 0, LVHT_NOWHERE},
        {"below the rows", {10, 250}, LVM_HITTEST, -1, 0, LVHT_NOWHERE},
        {"above the list", {10, -5}, LVM_HITTEST, -1, 0, LVHT_ABOVE},
        {"right of the list", {450, y}, LVM_HITTEST, -1, 0, LVHT_TORIGHT},
    };
    for (const Case& c : cases) {
        LVHITTESTINFO info{c.at, 0, 99, 99};
        EXPECT_EQ(SendMessageA(list, c.message, 0, reinterpret_cast<LPARAM>(&info)), c.item) << c.name;
        EXPECT_EQ(info.iItem, c.item) << c.name;
        EXPECT_EQ(info.flags, c.flags) << c.name;
        if (c.message == LVM_SUBITEMHITTEST || c.item >= 0) {
            EXPECT_EQ(info.iSubItem, c.subItem) << c.name;
        }
    }
}

TEST_F(ListViewTest, CustomDrawStagesComeInOrderForTheRowsShown) {
    Create(kViewerStyle, LVS_EX_FULLROWSELECT, RECT{0, 0, 300, 120});
    AddColumns(2, 100);
    AddRows(20, 2);
    PumpAll();
    const int shown = PerPage() + 1;  // the last one cut by the bottom edge
    struct Case {
        const char* name;
        LRESULT prepaint, itemPrepaint;
        bool subItems, itemPost, post;
    } cases[] = {
        {"nothing asked", CDRF_DODEFAULT, CDRF_DODEFAULT, false, false, false},
        {"rows", CDRF_NOTIFYITEMDRAW, CDRF_DODEFAULT, false, false, false},
        {"rows and after", CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT, CDRF_NOTIFYPOSTPAINT, false, true, true},
        {"cells", CDRF_NOTIFYITEMDRAW, CDRF_NOTIFYSUBITEMDRAW, true, false, false},
    };
    for (const Case& c : cases) {
        std::vector<std::string> stages;
        answer = [&](NMHDR* nm) -> LRESULT {
            if (nm->code != NM_CUSTOMDRAW) return 0;
            const auto* cd = reinterpret_cast<const NMLVCUSTOMDRAW*>(nm);
            std::string stage = std::to_string(cd->nmcd.dwDrawStage);
            if (cd->nmcd.dwDrawStage & CDDS_ITEM) stage += " " + std::to_string(cd->nmcd.dwItemSpec);
            if (cd->nmcd.dwDrawStage & CDDS_SUBITEM) stage += "." + std::to_string(cd->iSubItem);
            stages.push_back(stage);
            if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) return c.prepaint;
            if (cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) return c.itemPrepaint;
            return CDRF_DODEFAULT;
        };
        Paint();
        std::vector<std::string> expected{std::to_string(CDDS_PREPAINT)};
        for (int row = 0; row < shown && c.prepaint & CDRF_NOTIFYITEMDRAW; ++row) {
            expected.push_back(std::to_string(CDDS_ITEMPREPAINT) + " " + std::to_string(row));
            for (int column = 0; column < 2 && c.subItems; ++column)
                expected.push_back(std::to_string(CDDS_ITEMPREPAINT | CDDS_SUBITEM) + " " + std::to_string(row) + "." +
                                   std::to_string(column));
            if (c.itemPost) expected.push_back(std::to_string(CDDS_ITEMPOSTPAINT) + " " + std::to_string(row));
        }
        if (c.post) expected.push_back(std::to_string(CDDS_POSTPAINT));
        EXPECT_EQ(stages, expected) << c.name;
    }
}

TEST_F(ListViewTest, RowColoursFromCustomDrawReachThePixelsOfOddRows) {
    Create(kViewerStyle, LVS_EX_FULLROWSELECT, RECT{0, 0, 200, 100});
    AddColumns(1, 150);
    AddRows(4, 1);
    constexpr COLORREF kAltBack = RGB(255, 0, 0), kAltText = RGB(0, 0, 255);
    bool clearSelection = false;
    answer = [&](NMHDR* nm) -> LRESULT {
        if (nm->code != NM_CUSTOMDRAW) return 0;
        auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(nm);
        if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
        if (cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && (cd->nmcd.dwItemSpec & 1)) {
            cd->clrText = kAltText;
            cd->clrTextBk = kAltBack;
            if (clearSelection) cd->nmcd.uItemState &= ~CDIS_SELECTED;
        }
        return CDRF_DODEFAULT;
    };
    auto background = [&](int row) {
        const RECT r = RowBounds(row);
        return ScreenAt(140, (r.top + r.bottom) / 2);  // right of the short texts
    };
    auto textColoured = [&](int row, COLORREF color) {
        const RECT r = RowBounds(row);
        const Surface pixels = display->Pixels(parent);
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = 0; x < 60; ++x)
                if (Surface::ColorOf(pixels.At(x, y)) == color) return true;
        return false;
    };
    Paint();
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    EXPECT_EQ(background(0), window);
    EXPECT_EQ(background(1), kAltBack);
    EXPECT_EQ(background(2), window);
    EXPECT_EQ(background(3), kAltBack);
    EXPECT_TRUE(textColoured(1, kAltText));
    EXPECT_FALSE(textColoured(0, kAltText));

    // A selected odd row shows the selection, unless the parent takes CDIS_SELECTED away.
    SetFocus(list);
    ListView_SetItemState(list, 1, LVIS_SELECTED, LVIS_SELECTED);
    Paint();
    EXPECT_EQ(background(1), GetSysColor(COLOR_HIGHLIGHT));
    clearSelection = true;
    Paint();
    EXPECT_EQ(background(1), kAltBack);
    // Without the focus the selection shows in the button face colour (LVS_SHOWSELALWAYS).
    clearSelection = false;
    SetFocus(parent);
    Paint();
    EXPECT_EQ(background(1), GetSysColor(COLOR_3DFACE));
}

TEST_F(ListViewTest, ScrollingByWheelBarsAndEnsureVisibleStaysInRange) {
    Create();
    AddColumns(5, 120);  // wider than the list: it scrolls sideways too
    AddRows(1000);
    PumpAll();
    const int page = PerPage();
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(list, SB_VERT, &info);
    EXPECT_EQ(info.nMax, 999);
    EXPECT_EQ(static_cast<int>(info.nPage), page);
    GetScrollInfo(list, SB_HORZ, &info);
    EXPECT_EQ(info.nMax, 599);
    SetFocus(list);
    display->MoveMouse(InRow(2));  // the wheel turns what has the focus, while over a window
    struct Step {
        const char* name;
        std::function<void()> act;
        int top;
    } steps[] = {
        {"a notch down", [&] { display->Wheel(-WHEEL_DELTA); }, 3},
        {"two notches up, past the top", [&] { display->Wheel(2 * WHEEL_DELTA); }, 0},
        {"a line down", [&] { SendMessageA(list, WM_VSCROLL, SB_LINEDOWN, 0); }, 1},
        {"a page down", [&] { SendMessageA(list, WM_VSCROLL, SB_PAGEDOWN, 0); }, 1 + page},
        {"to the bottom", [&] { SendMessageA(list, WM_VSCROLL, SB_BOTTOM, 0); }, 1000 - page},
        {"ensure row 10 shows", [&] { ListView_EnsureVisible(list, 10, FALSE); }, 10},
        {"ensure row 500 shows", [&] { ListView_EnsureVisible(list, 500, FALSE); }, 500 - page + 1},
        {"the thumb dragged", [&] {
             SetScrollPos(list, SB_VERT, 700, FALSE);
             SendMessageA(list, WM_VSCROLL, SB_THUMBTRACK, 0);
         }, 700},
        {"twenty pixels down, by message", [&] { SendMessageA(list, LVM_SCROLL, 0, 20); }, 702},
    };
    for (const Step& s : steps) {
        s.act();
        PumpAll();
        EXPECT_EQ(Top(), s.top) << s.name;
        EXPECT_EQ(GetScrollPos(list, SB_VERT), s.top) << s.name;
    }
    SendMessageA(list, WM_HSCROLL, SB_RIGHT, 0);
    RECT client;
    GetClientRect(list, &client);  // less the vertical bar, once bars take room
    EXPECT_EQ(GetScrollPos(list, SB_HORZ), 600 - client.right);
    HWND header = ListView_GetHeader(list);
    RECT headerRect;
    GetWindowRect(header, &headerRect);
    POINT origin{0, 0};
    ClientToScreen(list, &origin);
    EXPECT_EQ(headerRect.left - origin.x, -(600 - client.right)) << "the header scrolls with the columns";
}

TEST_F(ListViewTest, HeaderClicksBecomeColumnClicksAndReachASubclassInBothForms) {
    Create();
    AddColumns(3, 100);
    PumpAll();
    HWND header = ListView_GetHeader(list);
    // As the framework does: the list's own window procedure replaced, the control's called after.
    static std::vector<UINT> seen;
    static WNDPROC original;
    seen.clear();
    original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(list, GWLP_WNDPROC));
    SetWindowLongPtrA(list, GWLP_WNDPROC,
                      reinterpret_cast<std::intptr_t>(+[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
                          if (m == WM_NOTIFY) seen.push_back(reinterpret_cast<NMHDR*>(l)->code);
                          return CallWindowProcA(original, h, m, w, l);
                      }));
    for (bool wide : {false, true}) {
        SendMessageA(header, HDM_SETUNICODEFORMAT, wide, 0);
        seen.clear();
        notes.clear();
        RECT item;
        Header_GetItemRect(header, 2, &item);
        Click(OnScreen(header, item.left + 30, 5));
        EXPECT_EQ(notes, (std::vector<std::string>{"column click 2"}));
        EXPECT_EQ(std::count(seen.begin(), seen.end(), wide ? HDN_ITEMCLICKW : HDN_ITEMCLICKA), 1);
    }
    SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<std::intptr_t>(original));
}

TEST_F(ListViewTest, ReorderingColumnsByDragKeepsWhatIsReadByIndex) {
    Create();
    AddColumns(5, 70);
    AddRows(3);
    PumpAll();
    HWND header = ListView_GetHeader(list);
    RECT first, last;
    Header_GetItemRect(header, 0, &first);
    Header_GetItemRect(header, 4, &last);
    display->MoveMouse(OnScreen(header, first.left + 20, 5));
    display->Press();
    display->MoveMouse(OnScreen(header, last.right - 10, 5));
    display->Release();
    PumpAll();
    int order[5] = {};
    ASSERT_TRUE(SendMessageA(list, LVM_GETCOLUMNORDERARRAY, 5, reinterpret_cast<LPARAM>(order)));
    EXPECT_EQ(std::vector<int>(order, order + 5), (std::vector<int>{1, 2, 3, 4, 0}));
    // What the preview and the export read is unchanged...
    for (int column = 0; column < 5; ++column) EXPECT_EQ(ItemText(1, column), Text(1, column));
    char caption[32] = "";
    LVCOLUMNA read{};
    read.mask = LVCF_TEXT | LVCF_SUBITEM;
    read.pszText = caption;
    read.cchTextMax = sizeof caption;
    SendMessageA(list, LVM_GETCOLUMNA, 0, reinterpret_cast<LPARAM>(&read));
    EXPECT_EQ(std::string(caption), "Column 0");
    EXPECT_EQ(read.iSubItem, 0);
    // ...while what shows moved: column 0 is now the last one on the screen.
    const RECT row = RowBounds(1);
    LVHITTESTINFO info{POINT{4 * 70 + 20, (row.top + row.bottom) / 2}, 0, 0, 0};
    EXPECT_EQ(SendMessageA(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&info)), 1);
    EXPECT_EQ(info.iSubItem, 0);
    info = LVHITTESTINFO{POINT{20, (row.top + row.bottom) / 2}, 0, 0, 0};
    SendMessageA(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.iSubItem, 1);

    // Without the extended style the header does not let columns be dragged.
    ListView_SetExtendedListViewStyle(list, kViewerExStyle & ~LVS_EX_HEADERDRAGDROP);
    Header_GetItemRect(header, 1, &first);
    display->Advance(1000);
    display->MoveMouse(OnScreen(header, first.left + 20, 5));
    display->Press();
    display->MoveMouse(OnScreen(header, first.left + 200, 5));
    display->Release();
    PumpAll();
    SendMessageA(list, LVM_GETCOLUMNORDERARRAY, 5, reinterpret_cast<LPARAM>(order));
    EXPECT_EQ(std::vector<int>(order, order + 5), (std::vector<int>{1, 2, 3, 4, 0}));
}

TEST_F(ListViewTest, DraggingADividerResizesTheColumnAndTheRowsFollow) {
    Create();
    AddColumns(3, 80);
    AddRows(2, 3);
    PumpAll();
    HWND header = ListView_GetHeader(list);
    RECT item;
    Header_GetItemRect(header, 0, &item);
    display->MoveMouse(OnScreen(header, item.right, 5));
    display->Press();
    display->MoveMouse(OnScreen(header, item.right + 25, 5));
    display->Release();
    PumpAll();
    EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0), 105);
    const RECT row = RowBounds(0);
    EXPECT_EQ(row.right - row.left, 105 + 80 + 80);
    RECT cell{LVIR_BOUNDS, 1, 0, 0};
    cell.top = 1;
    SendMessageA(list, LVM_GETSUBITEMRECT, 0, reinterpret_cast<LPARAM>(&cell));
    EXPECT_EQ(cell.left, 105);
    // A double click on the divider fits the column to its widest text.
    display->Advance(1000);
    Header_GetItemRect(header, 0, &item);
    display->DoubleClick(OnScreen(header, item.right, 5));
    PumpAll();
    const int fitted = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0));
    EXPECT_LT(fitted, 105);
    EXPECT_GE(fitted, static_cast<int>(SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>("r1 c0"))));
}

TEST_F(ListViewTest, LabelTipsShowTheWholeTextOfNarrowCellsOnly) {
    Create(kViewerStyle, LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
    AddColumns(2, 60);
    AddRows(2, 2);
    const std::string longText = "A description far too long for its sixty pixels";
    ListView_SetItemText(list, 1, 1, longText.c_str());
    PumpAll();
    auto tipAt = [&](POINT screen) -> HWND {
        HWND under = WindowFromPoint(screen);
        char name[64] = "";
        GetClassNameA(under, name, sizeof name);
        return std::string(name) == "SysListView32 LabelTip" && IsWindowVisible(under) ? under : nullptr;
    };
    const POINT narrow = InRow(1, 80), wide = InRow(0, 80);
    display->MoveMouse(narrow);
    PumpAll();
    HWND tip = tipAt(narrow);
    ASSERT_NE(tip, nullptr);
    char text[128] = "";
    GetWindowTextA(tip, text, sizeof text);
    EXPECT_EQ(std::string(text), longText);
    RECT tipRect;
    GetWindowRect(tip, &tipRect);
    EXPECT_GT(tipRect.right - tipRect.left, 60);
    // Clicks through the tip reach the list.
    Click(narrow);
    EXPECT_EQ(Selected(), 1);
    display->MoveMouse(wide);
    PumpAll();
    EXPECT_EQ(tipAt(wide), nullptr);
    EXPECT_FALSE(IsWindowVisible(tip));
    // Leaving the list takes the tip away, once the list notices.
    display->MoveMouse(narrow);
    PumpAll();
    ASSERT_TRUE(IsWindowVisible(tip));
    display->MoveMouse(POINT{5, 5});
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(tip); }));
}

TEST_F(ListViewTest, StyleBitsSetLaterTakeEffectWithOrWithoutWmStyleChanged) {
    Create(WS_CHILD | WS_VISIBLE);  // created as an icon view, switched to report afterwards
    AddColumns(2, 100);
    AddRows(3, 2);
    HWND header = ListView_GetHeader(list);
    struct Case {
        const char* name;
        DWORD add, remove;
        bool announce;
        bool headerShown, columnClicks;
    } cases[] = {
        {"report, single selection", LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 0, false, true, true},
        {"no column header", LVS_NOCOLUMNHEADER, 0, false, false, false},
        {"the header back, announced", 0, LVS_NOCOLUMNHEADER, true, true, true},
        {"headers that are not buttons", LVS_NOSORTHEADER, 0, true, true, false},
    };
    for (const Case& c : cases) {
        const auto old = static_cast<DWORD>(GetWindowLongPtrA(list, GWL_STYLE));
        const DWORD style = (old | c.add) & ~c.remove;
        SetWindowLongPtrA(list, GWL_STYLE, style);
        if (c.announce) {
            struct {
                DWORD styleOld, styleNew;  // STYLESTRUCT
            } change{old, style};
            SendMessageA(list, WM_STYLECHANGED, static_cast<WPARAM>(GWL_STYLE), reinterpret_cast<LPARAM>(&change));
        }
        Paint();
        EXPECT_EQ(IsWindowVisible(header) != FALSE, c.headerShown) << c.name;
        RECT headerRect;
        GetClientRect(header, &headerRect);
        EXPECT_EQ(RowBounds(0).top, c.headerShown ? headerRect.bottom : 0) << c.name;
        if (!c.headerShown) continue;
        notes.clear();
        RECT item;
        Header_GetItemRect(header, 1, &item);
        Click(OnScreen(header, item.left + 20, 5));
        EXPECT_EQ(notes.size(), c.columnClicks ? 1u : 0u) << c.name;
    }
}

TEST_F(ListViewTest, AParentMayDestroyOrEmptyTheListFromANotification) {
    struct Case {
        const char* name;
        UINT code;
        bool destroy;
    } cases[] = {
        {"destroyed when a row is about to change", LVN_ITEMCHANGING, true},
        {"destroyed when a row changed", LVN_ITEMCHANGED, true},
        {"emptied when a row is about to change", LVN_ITEMCHANGING, false},
        {"emptied on the click", NM_CLICK, false},
        {"destroyed on the click", NM_CLICK, true},
    };
    for (const Case& c : cases) {
        Create();
        AddColumns(2);
        AddRows(5, 2);
        PumpAll();
        const HWND target = list;
        answer = [&](NMHDR* nm) -> LRESULT {
            if (nm->code == c.code && IsWindow(target)) {
                if (c.destroy)
                    DestroyWindow(target);
                else
                    ListView_DeleteAllItems(target);
            }
            return 0;
        };
        Click(InRow(2));
        answer = nullptr;
        EXPECT_EQ(IsWindow(target) != FALSE, !c.destroy) << c.name;
        if (!c.destroy) {
            EXPECT_EQ(ListView_GetItemCount(target), 0) << c.name;
            DestroyWindow(target);
        }
        PumpAll();
    }
}

// Lists of several threads, each used by its own thread: each finds its own rows, while the
// others make and destroy theirs.
TEST(ListViewThreads, EachThreadsListsKeepTheirOwnRows) {
    HeadlessDriver::Install();
    InitCommonControls();
    auto work = [](int which, int* failures) {
        for (int round = 0; round < 20; ++round) {
            HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_POPUP | LVS_REPORT, 0, 0, 200, 100, nullptr, nullptr,
                                        nullptr, nullptr);
            HWND other = CreateWindowExA(0, WC_LISTVIEWA, "", WS_POPUP | LVS_REPORT, 0, 0, 200, 100, nullptr,
                                         nullptr, nullptr, nullptr);
            for (int row = 0; row < 200; ++row) {
                const std::string text = std::to_string(which) + "/" + std::to_string(row);
                LVITEMA item{};
                item.mask = LVIF_TEXT;
                item.iItem = row;
                item.pszText = const_cast<char*>(text.c_str());
                ListView_InsertItem(row % 2 ? other : list, &item);
                ListView_SetItemText(row % 2 ? other : list, row / 2, 1, text.c_str());
            }
            for (int row = 0; row < 200; ++row) {
                char read[32] = "";
                ListView_GetItemText(row % 2 ? other : list, row / 2, 1, read, sizeof read);
                if (std::string(read) != std::to_string(which) + "/" + std::to_string(row)) ++*failures;
            }
            DestroyWindow(other);
            DestroyWindow(list);
        }
    };
    int failures[3] = {};
    std::thread a(work, 1, &failures[1]), b(work, 2, &failures[2]);
    work(0, &failures[0]);
    a.join();
    b.join();
    EXPECT_EQ(failures[0] + failures[1] + failures[2], 0);
}

}  // namespace
