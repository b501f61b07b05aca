// The header control on its own: items by index and by order, hit tests, layout, and the
// notifications of clicks, drags and divider drags in the character form the parent asks for.

#include <functional>
#include <string>
#include <vector>

#include "platform/controls/Header.h"
#include "platform/graphics/Rects.h"
#include "tests/platform/window/WindowTesting.h"

namespace {

constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | HDS_BUTTONS | HDS_DRAGDROP | HDS_FULLDRAG;

class HeaderTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        InitCommonControls();
        parent = recorder.Create(nullptr, RECT{100, 100, 500, 300}, WS_POPUP | WS_VISIBLE);
        recorder.On(WM_NOTIFY, [this](HWND, UINT, WPARAM, LPARAM lParam, bool&) -> LRESULT {
            return OnNotify(reinterpret_cast<NMHDR*>(lParam));
        });
        recorder.On(WM_NOTIFYFORMAT, [this](HWND, UINT, WPARAM, LPARAM, bool&) -> LRESULT { return format; });
    }

    HWND Create(DWORD style = kStyle, std::vector<int> widths = {60, 80, 100}) {
        header = CreateWindowExA(0, WC_HEADERA, "", style, 0, 0, 300, 20, parent, nullptr, nullptr, nullptr);
        for (std::size_t i = 0; i < widths.size(); ++i) Insert(static_cast<int>(i), std::string(1, 'A' + i), widths[i]);
        return header;
    }

    int Insert(int at, const std::string& text, int width, int order = -1) {
        HDITEMA item{};
        item.mask = HDI_TEXT | HDI_WIDTH | (order >= 0 ? HDI_ORDER : 0);
        item.pszText = const_cast<char*>(text.c_str());
        item.cxy = width;
        item.iOrder = order;
        return Header_InsertItem(header, at, &item);
    }

    std::vector<int> Order() {
        std::vector<int> order(static_cast<std::size_t>(Header_GetItemCount(header)));
        Header_GetOrderArray(header, static_cast<int>(order.size()), order.data());
        return order;
    }
    std::string Caption(int index) {
        char text[32] = "";
        HDITEMA item{};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        Header_GetItem(header, index, &item);
        return text;
    }
    int ItemWidth(int index) {
        HDITEMA item{};
        item.mask = HDI_WIDTH;
        Header_GetItem(header, index, &item);
        return item.cxy;
    }
    // A press at `from`, the pointer moved to `to`, and the release (with Escape between when asked).
    void Drag(int from, int to, bool escape = false) {
        display->Advance(1000);
        display->MoveMouse(OnScreen(header, from, 8));
        display->Press();
        display->MoveMouse(OnScreen(header, to, 8));
        if (escape) display->KeyPress(VK_ESCAPE);
        display->Release();
        PumpAll();
    }

    LRESULT OnNotify(NMHDR* nm) {
        if (nm->hwndFrom != header) return 0;
        const auto* h = reinterpret_cast<const NMHEADERA*>(nm);
        const int width = h->pitem ? h->pitem->cxy : -1;  // HDITEMW has it at the same place
        const std::string item = std::to_string(h->iItem);
        switch (nm->code) {
            case HDN_ITEMCLICKA: notes.push_back("click A " + item); break;
            case HDN_ITEMCLICKW: notes.push_back("click W " + item); break;
            case HDN_BEGINDRAG: notes.push_back("begin drag " + item); break;
            case HDN_ENDDRAG: notes.push_back("end drag " + item + " to " + std::to_string(h->pitem->iOrder)); break;
            case HDN_BEGINTRACKA: notes.push_back("begin track " + item + " " + std::to_string(width)); break;
            case HDN_TRACKA: notes.push_back("track " + item + " " + std::to_string(width)); break;
            case HDN_ENDTRACKA: notes.push_back("end track " + item + " " + std::to_string(width)); break;
            case HDN_ITEMCHANGINGA: notes.push_back("changing " + item + " " + std::to_string(width)); break;
            case HDN_ITEMCHANGEDA: notes.push_back("changed " + item + " " + std::to_string(width)); break;
            default: break;
        }
        return answer ? answer(nm) : 0;
    }

    HWND parent = nullptr, header = nullptr;
    LRESULT format = 0;
    std::vector<std::string> notes;
    std::function<LRESULT(NMHDR*)> answer;
};

TEST_F(HeaderTest, ItemsKeepTheirIndexWhateverOrderTheyShowIn) {
    Create(kStyle, {});
    struct Step {
        int at;
        const char* text;
        int order;
        int index;
        std::vector<int> shown;  // indexes in display order
    } steps[] = {
        {0, "A", -1, 0, {0}},
        {5, "B", -1, 1, {0, 1}},
        {0, "C", -1, 0, {0, 1, 2}},
        {3, "D", 0, 3, {3, 0, 1, 2}},
        {1, "E", 9, 1, {4, 0, 2, 3, 1}},
    };
    for (const Step& s : steps) {
        EXPECT_EQ(Insert(s.at, s.text, 50, s.order), s.index) << s.text;
        EXPECT_EQ(Order(), s.shown) << s.text;
    }
    const std::vector<std::string> byIndex{"C", "E", "A", "B", "D"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Caption(i), byIndex[static_cast<std::size_t>(i)]);
    HDITEMA item{};
    item.mask = HDI_ORDER;
    Header_GetItem(header, 4, &item);
    EXPECT_EQ(item.iOrder, 0) << "D was put first";
    EXPECT_EQ(Header_OrderToIndex(header, 4), 1);

    EXPECT_TRUE(Header_DeleteItem(header, 0));
    EXPECT_EQ(Order(), (std::vector<int>{3, 1, 2, 0}));
    EXPECT_EQ(Caption(Header_OrderToIndex(header, 0)), "D");
    EXPECT_FALSE(Header_DeleteItem(header, 4));

    // Only a permutation of the items may be the order.
    struct Arrangement {
        std::vector<int> order;
        bool taken;
    } arrangements[] = {
        {{2, 0, 1, 3}, true}, {{0, 0, 1, 3}, false}, {{0, 1, 2}, false}, {{0, 1, 2, 4}, false}, {{-1, 0, 1, 2}, false},
    };
    for (const Arrangement& o : arrangements) {
        const std::vector<int> before = Order();
        EXPECT_EQ(Header_SetOrderArray(header, static_cast<int>(o.order.size()), o.order.data()) != FALSE, o.taken);
        EXPECT_EQ(Order(), o.taken ? o.order : before);
    }
}

TEST_F(HeaderTest, HitTestsFindItemsDividersAndHiddenItems) {
    Create(kStyle, {60, 80, 0, 50});
    struct Case {
        POINT at;
        UINT flags;
        int item;
    } cases[] = {
        {{30, 8}, HHT_ONHEADER, 0},  {{57, 8}, HHT_ONDIVIDER, 0}, {{63, 8}, HHT_ONDIVIDER, 0},
        {{100, 8}, HHT_ONHEADER, 1}, {{137, 8}, HHT_ONDIVIDER, 1}, {{141, 8}, HHT_ONDIVOPEN, 2},
        {{170, 8}, HHT_ONHEADER, 3}, {{250, 8}, HHT_NOWHERE, -1}, {{30, -3}, HHT_ABOVE, -1},
        {{-2, 8}, HHT_TOLEFT, -1},   {{30, 25}, HHT_BELOW, -1},
    };
    for (const Case& c : cases) {
        HDHITTESTINFO info{c.at, 0, 99};
        EXPECT_EQ(SendMessageA(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)), c.item) << c.at.x;
        EXPECT_EQ(info.flags, c.flags) << c.at.x << "," << c.at.y;
    }
    RECT r;
    ASSERT_TRUE(Header_GetItemRect(header, 3, &r));
    EXPECT_EQ(r.left, 140);
    EXPECT_EQ(r.right, 190);
}

TEST_F(HeaderTest, LayoutPutsTheHeaderOnTopUnlessHidden) {
    for (DWORD hidden : {DWORD{0}, HDS_HIDDEN}) {
        Create(kStyle | hidden);
        RECT area{0, 10, 300, 200};
        WINDOWPOS pos{};
        HDLAYOUT layout{&area, &pos};
        ASSERT_TRUE(SendMessageA(header, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&layout)));
        EXPECT_EQ(pos.hwnd, header);
        EXPECT_EQ(pos.y, 10);
        EXPECT_EQ(pos.cx, 300);
        if (hidden)
            EXPECT_EQ(pos.cy, 0);
        else
            EXPECT_GT(pos.cy, 10);
        EXPECT_EQ(area.top, 10 + pos.cy);
        DestroyWindow(header);
    }
}

TEST_F(HeaderTest, ClicksComeInTheCharacterFormTheParentAsksFor) {
    struct Case {
        const char* name;
        LRESULT format;
        DWORD style;
        std::vector<std::string> expected;
    } cases[] = {
        {"no answer", 0, kStyle, {"click A 1"}},
        {"ANSI", NFR_ANSI, kStyle, {"click A 1"}},
        {"Unicode", NFR_UNICODE, kStyle, {"click W 1"}},
        {"not buttons", NFR_ANSI, kStyle & ~HDS_BUTTONS, {}},
    };
    for (const Case& c : cases) {
        format = c.format;
        Create(c.style);
        notes.clear();
        Drag(100, 100);
        EXPECT_EQ(notes, c.expected) << c.name;
        DestroyWindow(header);
    }
    // The parent changes its mind and says so.
    format = NFR_ANSI;
    Create();
    format = NFR_UNICODE;
    EXPECT_EQ(SendMessageA(header, WM_NOTIFYFORMAT, reinterpret_cast<WPARAM>(parent), NF_REQUERY), NFR_UNICODE);
    notes.clear();
    Drag(100, 101);
    EXPECT_EQ(notes, (std::vector<std::string>{"click W 1"}));
    // A press that leaves the item before the release is no click.
    notes.clear();
    SendMessageA(header, HDM_SETUNICODEFORMAT, FALSE, 0);
    SetWindowLongPtrA(header, GWL_STYLE, kStyle & ~HDS_DRAGDROP);
    Drag(100, 200);
    EXPECT_EQ(notes, std::vector<std::string>{});
}

TEST_F(HeaderTest, DraggingAnItemMovesItAndTheParentMayRefuse) {
    Create();
    SetFocus(parent);
    struct Case {
        const char* name;
        int from, to;
        bool escape;
        LRESULT beginAnswer, endAnswer;
        std::vector<std::string> expected;
        std::vector<int> order;
    } cases[] = {
        {"to the end", 10, 230, false, FALSE, FALSE, {"begin drag 0", "end drag 0 to 2"}, {1, 2, 0}},
        {"to the front", 230, 5, false, FALSE, FALSE, {"begin drag 2", "end drag 2 to 0"}, {2, 0, 1}},
        {"refused at the start", 10, 230, false, TRUE, FALSE, {"begin drag 0"}, {0, 1, 2}},
        {"refused at the end", 10, 230, false, FALSE, TRUE, {"begin drag 0", "end drag 0 to 2"}, {0, 1, 2}},
        {"a short move is a click", 10, 13, false, FALSE, FALSE, {"click A 0"}, {0, 1, 2}},
        {"Escape", 10, 230, true, FALSE, FALSE, {"begin drag 0"}, {0, 1, 2}},
    };
    for (const Case& c : cases) {
        const int order[] = {0, 1, 2};
        Header_SetOrderArray(header, 3, order);
        notes.clear();
        answer = [&](NMHDR* nm) -> LRESULT {
            if (nm->code == HDN_BEGINDRAG) return c.beginAnswer;
            if (nm->code == HDN_ENDDRAG) return c.endAnswer;
            return 0;
        };
        Drag(c.from, c.to, c.escape);
        answer = nullptr;
        EXPECT_EQ(notes, c.expected) << c.name;
        EXPECT_EQ(Order(), c.order) << c.name;
        EXPECT_EQ(GetCapture(), nullptr) << c.name;
    }
}

TEST_F(HeaderTest, DraggingADividerResizesTheItem) {
    SetFocus(parent);
    struct Case {
        const char* name;
        DWORD style;
        int dx;
        bool escape;
        bool refuse;
        int width;
        std::vector<std::string> expected;
    } cases[] = {
        {"wider, shown while dragging", kStyle, 20, false, false, 100,
         {"begin track 1 80", "track 1 100", "changing 1 100", "changed 1 100", "end track 1 100"}},
        {"wider, set at the end", kStyle & ~HDS_FULLDRAG, 20, false, false, 100,
         {"begin track 1 80", "track 1 100", "end track 1 100", "changing 1 100", "changed 1 100"}},
        {"narrower than nothing", kStyle, -200, false, false, 0,
         {"begin track 1 80", "track 1 0", "changing 1 0", "changed 1 0", "end track 1 0"}},
        {"Escape puts it back", kStyle, 20, true, false, 80,
         {"begin track 1 80", "track 1 100", "changing 1 100", "changed 1 100", "changing 1 80", "changed 1 80"}},
        {"refused", kStyle, 20, false, true, 80, {"begin track 1 80"}},
    };
    for (const Case& c : cases) {
        Create(c.style);
        notes.clear();
        answer = [&](NMHDR* nm) -> LRESULT { return c.refuse && nm->code == HDN_BEGINTRACKA; };
        Drag(140, 140 + c.dx, c.escape);
        answer = nullptr;
        EXPECT_EQ(notes, c.expected) << c.name;
        EXPECT_EQ(ItemWidth(1), c.width) << c.name;
        DestroyWindow(header);
    }
}

}  // namespace
