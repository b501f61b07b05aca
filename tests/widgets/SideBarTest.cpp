// The folder side bar: its geometry, painting, hover and press looks, scrolling, the presses'
// local loops and what the owner hears, driven by injected input on a headless display.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/framework/CBitmap.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CImageList.h"
#include "platform/graphics/SystemColors.h"
#include "tests/platform/framework/FrameworkTesting.h"
#include "tests/platform/window/SchemeRestorer.h"
#include "widgets/CSideBarCtrl.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255);
constexpr CRect kClient(0, 0, 120, 300);

// The bar with its state open to the tests.
class TestBar : public CSideBarCtrl {
public:
    using CSideBarCtrl::bounceStep, CSideBarCtrl::colors, CSideBarCtrl::downArrowPushed,
        CSideBarCtrl::downArrowShown, CSideBarCtrl::firstItem, CSideBarCtrl::hotFolder, CSideBarCtrl::hotItem,
        CSideBarCtrl::hotItemPressed, CSideBarCtrl::upArrowRect, CSideBarCtrl::upArrowShown,
        CSideBarCtrl::downArrowRect, CSideBarCtrl::arrowTracking;
};

// What the owner heard, records copied while they were alive.
struct Heard {
    WPARAM code;
    LPARAM value;
    SideBarRightClick click{};
    SideBarItemMove move{};
    std::string text;
};

// Steps run from a thread timer, so that they act inside the bar's local loops.
std::vector<std::pair<std::function<bool()>, std::function<void()>>> gSteps;
void CALLBACK RunSteps(HWND, UINT, std::uintptr_t, DWORD) {
    if (!gSteps.empty() && gSteps.front().first()) {
        auto step = gSteps.front().second;
        gSteps.erase(gSteps.begin());
        step();
    }
}

// Images of one colour each.
void FillList(CImageList& list, int size, std::vector<COLORREF> colours) {
    list.Create(size, size, ILC_COLOR32, 4, 1);
    std::vector<std::uint32_t> bits(static_cast<std::size_t>(size) * size * colours.size());
    for (std::size_t i = 0; i < bits.size(); ++i) bits[i] = Surface::PixelOf(colours[(i % (size * colours.size())) / size]);
    CBitmap bitmap;
    bitmap.CreateBitmap(size * static_cast<int>(colours.size()), size, 1, 32, bits.data());
    list.Add(&bitmap, nullptr);
}

class SideBarTest : public FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        owner = recorder.Create(nullptr, RECT{100, 100, 400, 500}, WS_POPUP | WS_VISIBLE);
        recorder.On(WM_SIDEBAR_NOTIFY, [this](HWND, UINT, WPARAM code, LPARAM value, bool&) -> LRESULT {
            Heard h{code, value, {}, {}, {}};
            if (code == SBN_RBUTTONDOWN) h.click = *reinterpret_cast<SideBarRightClick*>(value);
            if (code == SBN_ITEMDROPPED) h.move = *reinterpret_cast<SideBarItemMove*>(value);
            if (code == SBN_ITEMEDITED || code == SBN_FOLDEREDITED)
                h.text = reinterpret_cast<SideBarLabelEdit*>(value)->text;
            heard.push_back(h);
            return answer;
        });
        FillList(large, 32, {kRed, kBlue});
        FillList(small, 16, {kRed, kBlue});
        stepTimer = SetTimer(nullptr, 0, 10, RunSteps);
    }
    void TearDown() override {
        KillTimer(nullptr, stepTimer);
        gSteps.clear();
        bar.reset();
        FrameworkTest::TearDown();
    }

    // A bar at (10, 10) in the owner, 120 by 300, with `items` items in each of `folders`.
    TestBar& Make(DWORD flags, int folders = 1, int items = 1, CRect at = CRect(10, 10, 130, 310)) {
        bar = std::make_unique<TestBar>();
        EXPECT_TRUE(bar->Create(WS_VISIBLE, at, CWnd::FromHandle(owner), 7, flags));
        bar->ModifyStyleEx(WS_EX_STATICEDGE, 0, SWP_FRAMECHANGED);  // as the frame does
        bar->SetDefaultImageList(&large, CSideBarCtrl::LargeImageList);
        bar->SetDefaultImageList(&small, CSideBarCtrl::SmallImageList);
        for (int f = 0; f < folders; ++f) {
            bar->AppendFolder(("Folder " + std::to_string(f)).c_str(), 0);
            for (int i = 0; i < items; ++i)
                bar->InsertFolderItem(f, -1, ("Item " + std::to_string(i)).c_str(), i % 2, static_cast<DWORD>(i));
        }
        PumpAll();
        heard.clear();
        return *bar;
    }

    std::vector<LPARAM> Values(WPARAM code) const {
        std::vector<LPARAM> out;
        for (const Heard& h : heard)
            if (h.code == code) out.push_back(h.value);
        return out;
    }
    COLORREF Pixel(int x, int y) const {
        HDC dc = GetDC(bar->m_hWnd);
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(bar->m_hWnd, dc);
        return c;
    }
    POINT Screen(POINT client) const { return OnScreen(bar->m_hWnd, client.x, client.y); }
    CPoint IconCentre(int item) const { return bar->Layout().IconRect(item).CenterPoint(); }
    CPoint HeaderCentre(int folder) const {
        CRect r;
        bar->Layout().FolderRect(folder, &r);
        return r.CenterPoint();
    }
    void MoveTo(POINT client) {
        display->MoveMouse(Screen(client));
        PumpAll();
    }
    // A press, the moves and the release at client points, run through before returning.
    void Press(POINT at, std::vector<POINT> moves, POINT release) {
        display->Advance(1000);  // never a double click
        display->MoveMouse(Screen(at));
        display->Press();
        for (POINT p : moves) display->MoveMouse(Screen(p));
        display->MoveMouse(Screen(release));
        display->Release();
        PumpAll();
    }
    void When(std::function<bool()> condition, std::function<void()> action) {
        gSteps.emplace_back(std::move(condition), std::move(action));
    }

    HWND owner = nullptr;
    std::unique_ptr<TestBar> bar;
    CImageList large, small;
    std::vector<Heard> heard;
    LRESULT answer = 1;
    std::uintptr_t stepTimer = 0;
};

// Geometry, against the formulas worked by hand for a 120 by 300 client and 22-pixel headers.

TEST(SideBarGeometryTest, FolderHeadersStackAboveAndBelowTheOpenFolder) {
    struct Case {
        int count, open, folder;
        bool exists;
        CRect header;
    };
    const Case cases[] = {
        {1, 0, 0, true, {0, -1, 120, 21}},    {3, 0, 1, true, {0, 256, 120, 278}}, {3, 0, 2, true, {0, 278, 120, 300}},
        {3, 1, 1, true, {0, 21, 120, 43}},    {3, 1, 2, true, {0, 278, 120, 300}}, {3, 2, 2, true, {0, 43, 120, 65}},
        {3, 1, -1, false, {}},                {3, 1, 3, false, {}},
    };
    for (const Case& c : cases) {
        const SideBarGeometry g(kClient, c.count, c.open, SideBarMetrics{});
        CRect r(1, 1, 1, 1);
        EXPECT_EQ(g.FolderRect(c.folder, &r), c.exists) << c.count << "/" << c.open << "/" << c.folder;
        EXPECT_EQ(r, c.header) << c.count << "/" << c.open << "/" << c.folder;
    }
    EXPECT_EQ(SideBarGeometry(kClient, 0, 0, {}).Inside(), kClient);
    EXPECT_EQ(SideBarGeometry(kClient, 1, 0, {}).Inside(), CRect(0, 21, 120, 300));
    EXPECT_EQ(SideBarGeometry(kClient, 3, 1, {}).Inside(), CRect(0, 43, 120, 278));
}

TEST(SideBarGeometryTest, ItemsIconsLabelsAndArrowsInBothViews) {
    const SideBarMetrics m;
    EXPECT_EQ(SideBarGeometry::WholeSize({32, 32}, {60, 26}, false, m), CSize(60, 69));
    EXPECT_EQ(SideBarGeometry::WholeSize({32, 32}, {20, 13}, false, m), CSize(32, 56));
    EXPECT_EQ(SideBarGeometry::WholeSize({16, 16}, {50, 13}, true, m), CSize(70, 16));
    EXPECT_EQ(SideBarGeometry::WholeSize({0, 0}, {50, 20}, true, m), CSize(54, 20));

    SideBarGeometry large(kClient, 1, 0, m);  // inside (0, 21, 120, 300)
    large.SetItems(std::vector<SideBarItemSize>(4, {{32, 32}, {60, 26}, {60, 69}}), false, 0);
    EXPECT_EQ(large.ItemRect(0), CRect(0, 26, 120, 95));
    EXPECT_EQ(large.ItemRect(1), CRect(0, 103, 120, 172));
    EXPECT_EQ(large.IconRect(0), CRect(44, 26, 76, 59));
    EXPECT_EQ(large.LabelRect(0), CRect(30, 62, 90, 88));
    EXPECT_EQ(large.LastVisible(), 2) << "item 3 ends at 326";
    EXPECT_EQ(large.UpArrowRect(16), CRect(99, 26, 115, 42));
    EXPECT_EQ(large.DownArrowRect(16), CRect(99, 279, 115, 295));
    const std::pair<CPoint, int> hits[] = {{{60, 40}, 0}, {{60, 60}, 0}, {{35, 70}, 0}, {{20, 40}, -1},
                                           {{60, 100}, -1}, {{60, 110}, 1}, {{60, 299}, 3}};
    for (const auto& [point, item] : hits) EXPECT_EQ(large.ItemAt(point), item) << point.x << "," << point.y;
    large.SetItems(std::vector<SideBarItemSize>(4, {{32, 32}, {60, 26}, {60, 69}}), false, 1);
    EXPECT_EQ(large.ItemRect(1), CRect(0, 26, 120, 95)) << "scrolled by one item and its spacing";
    EXPECT_EQ(large.LastVisible(), 3);
    EXPECT_EQ(large.ItemAt({60, 40}), 1);

    SideBarGeometry small(kClient, 1, 0, m);
    small.SetItems(std::vector<SideBarItemSize>(2, {{16, 16}, {50, 13}, {70, 16}}), true, 0);
    EXPECT_EQ(small.ItemRect(0), CRect(5, 26, 70, 42));
    EXPECT_EQ(small.ItemRect(1), CRect(5, 52, 70, 68));
    EXPECT_EQ(small.IconRect(1), CRect(7, 52, 23, 68));
    EXPECT_EQ(small.ItemAt({69, 30}), 0);
    EXPECT_EQ(small.ItemAt({72, 30}), -1);
    EXPECT_EQ(small.ItemAt({10, 47}), -1) << "between items";

    SideBarGeometry tall(CRect(0, 0, 120, 80), 1, 0, m);
    tall.SetItems({{{32, 32}, {60, 26}, {60, 69}}}, false, 0);
    EXPECT_EQ(tall.LastVisible(), -1) << "even the first overflows";
}

// The bar as the frame makes it: one folder, one item, marked selection.

TEST_F(SideBarTest, TheFramesBarHasOneHeaderAtTheTopNoArrowsAndAHandOverTheHeader) {
    bar = std::make_unique<TestBar>();
    ASSERT_TRUE(bar->Create(0x50000000, CRect(), CWnd::FromHandle(owner), 0xE900, 0x200));
    EXPECT_EQ(bar->GetExStyle() & WS_EX_STATICEDGE, WS_EX_STATICEDGE);
    bar->ModifyStyleEx(WS_EX_STATICEDGE, 0, SWP_FRAMECHANGED);
    EXPECT_EQ(bar->SetDefaultImageList(&large, 2), nullptr);
    EXPECT_EQ(bar->SetDefaultImageList(&small, 1), nullptr);
    for (int kind : {0, 3}) EXPECT_EQ(bar->SetDefaultImageList(&small, kind), nullptr);
    EXPECT_EQ(bar->SetDefaultImageList(&large, 2), &large) << "kinds 0 and 3 changed nothing";
    EXPECT_EQ(bar->AppendFolder("Logs", 0), 0);
    EXPECT_EQ(bar->InsertFolderItem(0, 0, "Quillbridge Log", 0, 0), 0);
    bar->SelectFolder(0);
    EXPECT_EQ(Values(SBN_FOLDERCHANGED), std::vector<LPARAM>{0});
    bar->MoveWindow(10, 10, 120, 300);
    PumpAll();

    const SideBarColors& c = bar->colors;
    EXPECT_EQ(Pixel(5, 0), c.highlightColor);
    EXPECT_EQ(Pixel(5, 10), c.faceColor);
    EXPECT_EQ(Pixel(5, 20), c.headerLineColor);
    EXPECT_EQ(Pixel(5, 21), c.backColor);
    EXPECT_FALSE(bar->upArrowShown || bar->downArrowShown);

    MoveTo(HeaderCentre(0));
    EXPECT_EQ(display->Cursor(), LoadCursorA(nullptr, IDC_HAND));
    EXPECT_EQ(Pixel(5, 20), c.darkShadowColor) << "the hover edge";
    EXPECT_EQ(Pixel(5, 19), c.headerLineColor);
    EXPECT_EQ(Pixel(119, 10), c.darkShadowColor);
    EXPECT_EQ(Pixel(118, 10), c.headerLineColor);
    heard.clear();
    Press(HeaderCentre(0), {}, HeaderCentre(0));
    EXPECT_TRUE(heard.empty()) << "the open folder's header changes nothing";
    MoveTo(IconCentre(0));
    EXPECT_EQ(Pixel(5, 20), c.headerLineColor) << "the edge restored";
    EXPECT_EQ(Pixel(5, 19), c.faceColor);
}

TEST_F(SideBarTest, InsertingClampsThePositionAndBadIndicesChangeNothing) {
    Make(0, 1, 2);
    EXPECT_EQ(bar->InsertFolderItem(0, -1, "a", 0, 0), 2);
    EXPECT_EQ(bar->InsertFolderItem(0, 9, "b", 0, 0), 3);
    EXPECT_EQ(bar->InsertFolderItem(0, 0, "c", 0, 0), 0);
    EXPECT_EQ(bar->GetItemText(1), "Item 0");
    EXPECT_EQ(bar->InsertFolderItem(4, 0, "d", 0, 0), -1);
    bar->SelectFolder(4);
    bar->SelectItem(5);
    EXPECT_EQ(bar->GetSelectedFolder(), 0);
    EXPECT_TRUE(heard.empty());

    TestBar empty;
    ASSERT_TRUE(empty.Create(WS_VISIBLE, CRect(0, 0, 50, 50), CWnd::FromHandle(owner), 8, 0));
    PumpAll();
    EXPECT_EQ(empty.GetItemCount(), 0);
    EXPECT_EQ(empty.HitTest({10, 10}, nullptr), SBHT_NOWHERE);
}

TEST_F(SideBarTest, IconsComeFromTheViewsListOrTheFoldersOwn) {
    CImageList own;
    FillList(own, 24, {kBlue});
    struct Case {
        DWORD flags;
        bool ownList;
        int image;
        CSize icon;
    };
    const Case cases[] = {{0, false, 0, {32, 32}},          {CSideBarCtrl::SmallIcons, false, 0, {16, 16}},
                          {0, true, 0, {24, 24}},           {CSideBarCtrl::SmallIcons, true, 0, {16, 16}},
                          {0, false, -1, {0, 0}},           {CSideBarCtrl::SmallIcons, false, -1, {0, 0}}};
    for (const Case& c : cases) {
        Make(c.flags, 1, 0);
        bar->InsertFolderItem(0, 0, "Only", c.image, 0);
        if (c.ownList) bar->SetFolderImageList(0, &own, CSideBarCtrl::LargeImageList);
        PumpAll();
        EXPECT_EQ(bar->Layout().Size(0).icon, c.icon) << c.flags << c.ownList << c.image;
        if (c.image >= 0) {
            EXPECT_EQ(Pixel(IconCentre(0).x, IconCentre(0).y), c.ownList && !c.flags ? kBlue : kRed);
            int index = -1;
            EXPECT_EQ(bar->HitTest(IconCentre(0), &index), SBHT_ITEM);
            EXPECT_EQ(index, 0);
        }
    }
}

// Hover, press and selection looks, and what the owner hears of them.

TEST_F(SideBarTest, HoverFramesTheItemUnderThePointerAndTellsTheOwner) {
    Make(0, 1, 3);
    const SideBarColors& c = bar->colors;
    const CRect icon0 = bar->Layout().IconRect(0);
    MoveTo(IconCentre(0));
    EXPECT_EQ(Pixel(icon0.left - 1, icon0.top - 1), c.faceColor);
    EXPECT_EQ(Pixel(icon0.right, icon0.bottom), c.darkShadowColor);
    MoveTo(IconCentre(0) + CSize(1, 0));
    MoveTo(IconCentre(1));
    EXPECT_EQ(Pixel(icon0.left - 1, icon0.top - 1), c.backColor) << "the old frame wiped";
    MoveTo({3, 298});
    EXPECT_EQ(Values(SBN_HOTITEMCHANGED), (std::vector<LPARAM>{0, 1, -1}));

    MoveTo(IconCentre(2));
    display->MoveMouse({50, 50});  // off the bar: only its timer notices
    EXPECT_TRUE(PumpUntil([&] { return bar->hotItem == -1; }));
    EXPECT_EQ(Values(SBN_HOTITEMCHANGED).back(), -1);

    // An in-place editor with the focus keeps the looks still.
    HWND editor = recorder.Create(bar->m_hWnd, RECT{0, 200, 50, 220});
    SetFocus(editor);
    heard.clear();
    MoveTo(IconCentre(1));
    EXPECT_TRUE(heard.empty());
}

TEST_F(SideBarTest, MarkedSelectionKeepsASunkenFrameAndNoHoverLook) {
    Make(CSideBarCtrl::MarkSelection, 1, 3);
    const SideBarColors& c = bar->colors;
    const CRect icon1 = bar->Layout().IconRect(1);
    Press(IconCentre(1), {}, IconCentre(1));
    PumpAll();
    EXPECT_EQ(bar->GetSelectedItem(), 1);
    EXPECT_EQ(Pixel(icon1.left - 1, icon1.top - 1), c.darkShadowColor);
    EXPECT_EQ(Pixel(icon1.right, icon1.bottom), c.faceColor);
    heard.clear();
    MoveTo(IconCentre(0));
    MoveTo(IconCentre(1));
    EXPECT_EQ(Values(SBN_HOTITEMCHANGED), (std::vector<LPARAM>{0})) << "the move off item 0 is not an item change";
    EXPECT_EQ(bar->hotItem, -1);
    EXPECT_EQ(Pixel(icon1.left - 1, icon1.top - 1), c.darkShadowColor);
    Press(IconCentre(1), {}, IconCentre(1));
    EXPECT_EQ(Values(SBN_ITEMCLICKED), std::vector<LPARAM>{1}) << "clicking the selected item again";

    bar->SelectItem(2);
    PumpAll();
    EXPECT_EQ(GetFocus(), bar->m_hWnd);
    EXPECT_EQ(Values(SBN_ITEMCLICKED), (std::vector<LPARAM>{1, 2}));
    EXPECT_EQ(Pixel(icon1.left - 1, icon1.top - 1), c.backColor);
}

TEST_F(SideBarTest, AClickCountsOnlyWhenReleasedOnThePressedItem) {
    Make(0, 1, 3);
    const CPoint away(3, 298);
    struct Case {
        const char* name;
        std::vector<POINT> moves;
        POINT release;
        std::vector<LPARAM> clicked;
    };
    const Case cases[] = {
        {"press and release", {}, IconCentre(0), {0}},
        {"released away", {away}, away, {}},
        {"away and back", {away, IconCentre(0)}, IconCentre(0), {0}},
        {"released on another item", {IconCentre(1)}, IconCentre(1), {}},
    };
    for (const Case& c : cases) {
        heard.clear();
        Press(IconCentre(0), c.moves, c.release);
        EXPECT_EQ(Values(SBN_ITEMCLICKED), c.clicked) << c.name;
        EXPECT_EQ(GetCapture(), nullptr) << c.name;
    }
    // While held the item looks pressed.
    const CRect icon0 = bar->Layout().IconRect(0);
    COLORREF held = CLR_INVALID;
    When([&] { return bar->hotItemPressed; }, [&] {
        held = Pixel(icon0.left - 1, icon0.top - 1);
        display->Release();
    });
    display->Advance(1000);
    display->MoveMouse(Screen(IconCentre(0)));
    display->Press();
    PumpUntil([&] { return GetCapture() == nullptr && held != CLR_INVALID; });
    EXPECT_EQ(held, bar->colors.darkShadowColor);
}

TEST_F(SideBarTest, RightButtonTellsWhereAndOnWhat) {
    Make(0, 2, 2);
    struct Case {
        POINT at;
        int kind, index;
    };
    const Case cases[] = {{HeaderCentre(1), SBHT_FOLDER, 1}, {IconCentre(1), SBHT_ITEM, 1}, {{3, 250}, SBHT_NOWHERE, -1}};
    display->Key(VK_SHIFT, true);
    for (const Case& c : cases) {
        heard.clear();
        display->MoveMouse(Screen(c.at));
        display->Click(Screen(c.at), InputRouter::Button::Right);
        PumpAll();
        ASSERT_EQ(heard.back().code, SBN_RBUTTONDOWN);
        const SideBarRightClick& r = heard.back().click;
        EXPECT_EQ(CPoint(r.screenX, r.screenY), CPoint(Screen(c.at)));
        EXPECT_EQ(r.hitKind, c.kind);
        EXPECT_EQ(r.hitIndex, c.index);
        EXPECT_EQ(r.keyFlags, MK_RBUTTON | MK_SHIFT);
    }
    display->Key(VK_SHIFT, false);
}

// Folders.

TEST_F(SideBarTest, HeaderPressesOpenFoldersWhereTheyAreReleased) {
    Make(0, 3, 2);
    Press(HeaderCentre(2), {}, HeaderCentre(2));
    EXPECT_EQ(Values(SBN_FOLDERCHANGED), std::vector<LPARAM>{2});
    CRect r;
    bar->Layout().FolderRect(1, &r);
    EXPECT_EQ(r, CRect(0, 21, 120, 43)) << "headers up to the open one at the top";
    Press(HeaderCentre(0), {}, HeaderCentre(0));
    bar->Layout().FolderRect(1, &r);
    EXPECT_EQ(r, CRect(0, 256, 120, 278)) << "the others at the bottom";
    Press(HeaderCentre(0), {HeaderCentre(1)}, HeaderCentre(1));
    EXPECT_EQ(Values(SBN_FOLDERCHANGED), (std::vector<LPARAM>{2, 0, 1})) << "released over another header";
    Press(HeaderCentre(2), {}, IconCentre(0));
    heard.clear();
    display->Advance(1000);
    display->MoveMouse(Screen(HeaderCentre(2)));
    display->Press();
    display->KeyPress(VK_ESCAPE);
    display->Release();
    PumpAll();
    EXPECT_TRUE(Values(SBN_FOLDERCHANGED).empty()) << "Escape lets go";
    EXPECT_EQ(bar->GetSelectedFolder(), 1);
}

TEST_F(SideBarTest, OpeningAFolderStartsItAtTheTopWithNothingSelected) {
    Make(0, 2, 6);
    bar->SelectItem(3);
    const CPoint down = bar->downArrowRect.CenterPoint();
    Press(down, {}, down);
    ASSERT_EQ(bar->firstItem, 1);
    heard.clear();
    bar->SelectFolder(1);
    EXPECT_EQ(bar->firstItem, 0);
    EXPECT_EQ(bar->GetSelectedItem(), -1);
    EXPECT_EQ(Values(SBN_FOLDERCHANGED), std::vector<LPARAM>{1});
    bar->SelectFolder(1);
    EXPECT_EQ(Values(SBN_FOLDERCHANGED), (std::vector<LPARAM>{1, 1})) << "told again, though nothing moved";
}

TEST_F(SideBarTest, AColourChangeRereadsTheColours) {
    // In a frame, as in the viewer: the system tells the frame, the frame its child windows.
    SchemeRestorer scheme;
    CFrameWnd frame;
    ASSERT_TRUE(frame.Create(nullptr, "Side bar", WS_POPUP | WS_VISIBLE, CRect(100, 100, 400, 500)));
    owner = frame.m_hWnd;
    Make(0, 1, 1);
    PumpAll();
    ASSERT_EQ(Pixel(3, 298), GetSysColor(COLOR_BTNSHADOW));
    const int indexes[] = {COLOR_BTNSHADOW, COLOR_3DDKSHADOW};
    const COLORREF colors[] = {RGB(40, 110, 70), RGB(70, 20, 90)};
    ASSERT_TRUE(SetSysColors(2, indexes, colors));
    PumpAll();
    EXPECT_EQ(bar->colors.backColor, RGB(40, 110, 70));
    EXPECT_EQ(bar->colors.darkShadowColor, RGB(70, 20, 90));
    EXPECT_EQ(Pixel(3, 298), RGB(40, 110, 70)) << "painted again";
    bar.reset();
    frame.DestroyWindow();
}

TEST_F(SideBarTest, AFoldersChildWindowTakesTheInsideArea) {
    Make(0, 2, 2);
    HWND child = recorder.Create(bar->m_hWnd, RECT{0, 0, 5, 5}, WS_CHILD);
    bar->SetFolderChild(1, CWnd::FromHandle(child));
    EXPECT_FALSE(IsWindowVisible(child));
    bar->SelectFolder(1);
    EXPECT_TRUE(IsWindowVisible(child));
    bar->MoveWindow(10, 10, 100, 200);
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, bar->m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(CRect(r), bar->Layout().Inside());
    bar->SelectFolder(0);
    EXPECT_FALSE(IsWindowVisible(child));
}

TEST_F(SideBarTest, AnimatedFoldersEndAsTheyWouldWithoutTheSlide) {
    Make(CSideBarCtrl::AnimateFolders, 3, 2);
    bar->SetAnimationDelay(0);
    bar->SelectFolder(2);
    bar->SelectFolder(1);
    PumpAll();
    std::vector<COLORREF> animated;
    for (int y = 0; y < 300; y += 3) animated.push_back(Pixel(60, y));
    Make(0, 3, 2);
    bar->SelectFolder(1);
    PumpAll();
    for (int y = 0, i = 0; y < 300; y += 3, ++i) ASSERT_EQ(Pixel(60, y), animated[i]) << y;
}

// Scrolling.

TEST_F(SideBarTest, HoldingTheDownArrowScrollsUntilTheLastItemShows) {
    Make(0, 1, 6);  // items 64 high: 4 show in 279 pixels
    EXPECT_TRUE(bar->downArrowShown);
    EXPECT_FALSE(bar->upArrowShown);
    display->Advance(1000);
    display->MoveMouse(Screen(bar->downArrowRect.CenterPoint()));
    display->Press();
    ASSERT_TRUE(PumpUntil([&] { return !bar->arrowTracking && bar->firstItem > 0; }));
    PumpAll();
    EXPECT_EQ(bar->Layout().LastVisible(), 5);
    EXPECT_GT(bar->Layout().ItemRect(4).top, 21) << "no further than needed";
    EXPECT_TRUE(bar->upArrowShown);
    EXPECT_FALSE(bar->downArrowShown || bar->downArrowPushed);
    EXPECT_EQ(GetCapture(), nullptr);
    display->Release();
    PumpAll();

    const int first = bar->firstItem;
    const CPoint up = bar->upArrowRect.CenterPoint();
    Press(up, {}, up);
    EXPECT_EQ(bar->firstItem, first - 1) << "one step for the release on the arrow";
    Press(up, {{3, 298}}, {3, 298});
    EXPECT_EQ(bar->firstItem, first - 1) << "released off the arrow";
    EXPECT_EQ(bar->upArrowRect, CRect(bar->Layout().UpArrowRect(GetSystemMetrics(SM_CXVSCROLL))));
}

TEST_F(SideBarTest, AnItemTallerThanTheAreaIsScrolledToButNotPast) {
    Make(0, 1, 2, CRect(10, 10, 130, 90));  // 59 pixels inside, items 64 high
    EXPECT_TRUE(bar->downArrowShown);
    EXPECT_EQ(bar->Layout().LastVisible(), -1);
    display->Advance(1000);
    display->MoveMouse(Screen(bar->downArrowRect.CenterPoint()));
    display->Press();
    ASSERT_TRUE(PumpUntil([&] { return !bar->arrowTracking && bar->firstItem > 0; }));
    display->Release();
    PumpAll();
    EXPECT_EQ(bar->firstItem, 1) << "the last item stays the first shown";
    int index = -1;
    EXPECT_EQ(bar->HitTest(IconCentre(1), &index), SBHT_ITEM);
    EXPECT_EQ(index, 1);
    const CPoint down = bar->downArrowRect.CenterPoint();
    Press(down, {}, down);
    EXPECT_EQ(bar->firstItem, 1);
}

// Presses, when another window holds the mouse or takes it away.

TEST_F(SideBarTest, APressWhileAnotherWindowHoldsTheMouseTracksNothing) {
    Make(0, 2, 6);
    HWND other = recorder.Create(owner, RECT{200, 0, 250, 50});
    SetCapture(other);
    struct Case {
        const char* name;
        POINT at;
    };
    const Case cases[] = {{"item", IconCentre(0)}, {"header", HeaderCentre(1)}, {"down arrow", bar->downArrowRect.CenterPoint()}};
    for (const Case& c : cases) {
        // A tracking loop would end on this release and act on it.
        bar->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(c.at.x, c.at.y));
        bar->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.at.x, c.at.y));
        PumpAll();
        EXPECT_EQ(GetCapture(), other) << c.name;
        EXPECT_TRUE(heard.empty()) << c.name;
        EXPECT_EQ(bar->firstItem, 0) << c.name;
        EXPECT_EQ(bar->GetSelectedFolder(), 0) << c.name;
    }
    ReleaseCapture();
}

TEST_F(SideBarTest, APressEndsWhenItsCaptureIsTaken) {
    Make(0, 1, 3);
    HWND other = recorder.Create(owner, RECT{200, 0, 250, 50});
    When([&] { return bar->hotItemPressed; }, [&] {
        SetCapture(other);
        // Were the press still tracked, this release on the item would count as a click.
        const CPoint at = IconCentre(0);
        bar->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    });
    display->Advance(1000);
    display->MoveMouse(Screen(IconCentre(0)));
    display->Press();
    ASSERT_TRUE(PumpUntil([&] { return gSteps.empty() && !bar->hotItemPressed; }));
    PumpAll();
    EXPECT_TRUE(Values(SBN_ITEMCLICKED).empty());
    EXPECT_EQ(GetCapture(), other);
    ReleaseCapture();
    display->Release();
    PumpAll();
}

// Editing and dragging.

TEST_F(SideBarTest, EditedLabelsAreKeptWhenTheOwnerAccepts) {
    Make(0, 2, 2);
    struct Case {
        WPARAM code;
        int index;
        LRESULT answer;
        bool asked;
        std::string item0, folder1;
    };
    const Case cases[] = {
        {SBN_ITEMEDITED, 0, 1, true, "New", "Folder 1"}, {SBN_ITEMEDITED, 0, 0, true, "Item 0", "Folder 1"},
        {SBN_FOLDEREDITED, 1, 1, true, "Item 0", "New"}, {SBN_ITEMEDITED, 7, 1, false, "Item 0", "Folder 1"},
        {SBN_FOLDEREDITED, -1, 1, false, "Item 0", "Folder 1"},
    };
    for (const Case& c : cases) {
        Make(0, 2, 2);
        answer = c.answer;
        SideBarLabelEdit edit{c.index, "New"};
        const LRESULT result = bar->SendMessage(WM_SIDEBAR_NOTIFY, c.code, reinterpret_cast<LPARAM>(&edit));
        EXPECT_EQ(result != 0, c.asked && c.answer != 0);
        ASSERT_EQ(heard.size(), c.asked ? 1u : 0u);
        if (c.asked) {
            EXPECT_EQ(heard[0].code, c.code);
            EXPECT_EQ(heard[0].value, reinterpret_cast<LPARAM>(&edit));
        }
        EXPECT_EQ(bar->GetItemText(0), c.item0);
        EXPECT_EQ(bar->GetFolderText(1), c.folder1);
    }
}

TEST_F(SideBarTest, DraggedItemsMoveWhereTheOwnerAgrees) {
    Make(CSideBarCtrl::DragItems | CSideBarCtrl::MarkSelection | CSideBarCtrl::SmallIcons, 1, 4);
    bar->SelectItem(0);
    const CPoint below(30, 250);
    Press(IconCentre(0), {IconCentre(1), IconCentre(2)}, IconCentre(2));
    ASSERT_EQ(Values(SBN_ITEMDROPPED).size(), 1u);
    EXPECT_EQ(heard.back().move.folder, 0);
    EXPECT_EQ(heard.back().move.from, 0);
    EXPECT_EQ(heard.back().move.to, 2);
    EXPECT_EQ(bar->GetItemText(2), "Item 0");
    EXPECT_EQ(bar->GetSelectedItem(), 2) << "the selection goes with its item";
    EXPECT_TRUE(Values(SBN_ITEMCLICKED).size() == 1) << "a drag is no click";

    answer = 0;
    Press(IconCentre(0), {below}, below);
    EXPECT_EQ(heard.back().move.to, 3) << "below the last item";
    EXPECT_EQ(bar->GetItemText(0), "Item 1") << "refused";

    // The cursor and the drop mark follow the pointer.
    HCURSOR outside = nullptr, over = nullptr;
    COLORREF mark = CLR_INVALID;
    const CRect item2 = bar->Layout().ItemRect(2);
    When([&] { return display->Cursor() == LoadCursorA(nullptr, IDC_NO); }, [&] {
        outside = display->Cursor();
        display->MoveMouse(Screen(IconCentre(2)));
    });
    When([&] { return display->Cursor() != outside; }, [&] {
        over = display->Cursor();
        mark = Pixel(40, item2.bottom + 5);
        display->Release();
    });
    display->Advance(1000);
    display->MoveMouse(Screen(IconCentre(0)));
    display->Press();
    display->MoveMouse(Screen({200, 5}));
    PumpUntil([&] { return gSteps.empty() && GetCapture() == nullptr; });
    EXPECT_EQ(over, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(mark, RGB(0, 0, 0));
}

TEST_F(SideBarTest, TheSelectedIconBouncesWhileABlinkPeriodIsSet) {
    Make(0, 1, 2);
    bar->SelectItem(0);
    bar->SetSelectionBlinkPeriod(10);
    const CRect icon = bar->Layout().IconRect(0);
    ASSERT_TRUE(PumpUntil([&] { return bar->bounceStep == 0; }));
    EXPECT_EQ(Pixel(icon.left - 1, icon.top + 1), kRed) << "one left, one down";
    ASSERT_TRUE(PumpUntil([&] { return bar->bounceStep == 2; }));
    EXPECT_EQ(Pixel(icon.left, icon.top), bar->colors.backColor) << "one right, one down";
    EXPECT_EQ(Pixel(icon.right, icon.top + 1), kRed);
    MoveTo(IconCentre(0));
    EXPECT_EQ(bar->hotItem, -1) << "no hover look on a bouncing icon";
    bar->SelectItem(1);
    EXPECT_EQ(Pixel(icon.left, icon.top), kRed) << "the old one at rest";
}

TEST_F(SideBarTest, NotificationsGoToTheOwnerElseToTheParent) {
    Make(0, 1, 1);
    bar->SelectItem(0);
    EXPECT_EQ(recorder.Count(owner, WM_SIDEBAR_NOTIFY), 1);
    HWND other = TopLevel();
    bar->SetOwner(CWnd::FromHandle(other));
    bar->SelectItem(0);
    EXPECT_EQ(recorder.Count(other, WM_SIDEBAR_NOTIFY), 1);
    EXPECT_EQ(recorder.Count(owner, WM_SIDEBAR_NOTIFY), 1);
}

}  // namespace
