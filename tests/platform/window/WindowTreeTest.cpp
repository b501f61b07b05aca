// Creation and destruction, geometry, the tree of windows, show and hide, focus.

#include <cstring>

#include "platform/kernel/LastError.h"
#include "tests/platform/window/WindowTesting.h"

namespace {

class WindowTreeTest : public WindowTest {};

constexpr UINT kLifecycle[] = {WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE, WM_DESTROY, WM_NCDESTROY};

TEST_F(WindowTreeTest, CreationAndDestructionFollowThePlatformsOrder) {
    const std::vector<UINT> only(std::begin(kLifecycle), std::end(kLifecycle));
    HWND top = TopLevel();
    HWND child = recorder.Create(top, RECT{10, 10, 60, 40});
    HWND grandchild = recorder.Create(child, RECT{1, 1, 5, 5});
    EXPECT_EQ(recorder.MessagesOf(child, only),
              (std::vector<UINT>{WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE}));

    recorder.Log().clear();
    ASSERT_TRUE(DestroyWindow(top));
    // WM_DESTROY from the top down, WM_NCDESTROY from the bottom up.
    std::vector<std::pair<HWND, UINT>> order;
    for (const Seen& s : recorder.Log())
        if (s.message == WM_DESTROY || s.message == WM_NCDESTROY) order.emplace_back(s.hwnd, s.message);
    EXPECT_EQ(order, (std::vector<std::pair<HWND, UINT>>{{top, WM_DESTROY},
                                                         {child, WM_DESTROY},
                                                         {grandchild, WM_DESTROY},
                                                         {grandchild, WM_NCDESTROY},
                                                         {child, WM_NCDESTROY},
                                                         {top, WM_NCDESTROY}}));
    EXPECT_FALSE(IsWindow(top));
    EXPECT_FALSE(IsWindow(grandchild));
    EXPECT_FALSE(display->IsShown(top));
}

TEST_F(WindowTreeTest, CreationFailsWhenCreateSaysSoOrTheArgumentsAreWrong) {
    recorder.On(WM_CREATE, [](HWND, UINT, WPARAM, LPARAM, bool&) -> LRESULT { return -1; });
    HWND top = TopLevel();
    EXPECT_EQ(top, nullptr);
    ASSERT_FALSE(recorder.Log().empty());
    const HWND failed = recorder.Log().front().hwnd;
    EXPECT_FALSE(IsWindow(failed));
    EXPECT_EQ(recorder.Log().back().message, WM_NCDESTROY) << "a failed window is still destroyed in order";

    recorder.Clear();
    EXPECT_EQ(CreateWindowExA(0, "No such class", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), ERROR_CANNOT_FIND_WND_CLASS);
    EXPECT_EQ(recorder.Create(nullptr, RECT{0, 0, 10, 10}, WS_CHILD), nullptr) << "a child needs a parent";
    EXPECT_EQ(recorder.Create(reinterpret_cast<HWND>(0x1234), RECT{0, 0, 10, 10}), nullptr);
}

TEST_F(WindowTreeTest, CreateParametersReachTheWindowProcedure) {
    std::string seenName;
    int seenId = 0;
    recorder.On(WM_CREATE, [&](HWND, UINT, WPARAM, LPARAM l, bool&) -> LRESULT {
        const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(l);
        seenName = cs->lpszName;
        seenId = static_cast<int>(reinterpret_cast<std::intptr_t>(cs->hMenu));
        return 0;
    });
    HWND top = TopLevel();
    HWND child = CreateWindowExA(0, recorder.Class(), "Status", WS_CHILD, 0, 0, 10, 10, top,
                                 reinterpret_cast<HMENU>(0xE900), nullptr, nullptr);
    EXPECT_EQ(seenName, "Status");
    EXPECT_EQ(seenId, 0xE900);
    EXPECT_EQ(GetDlgCtrlID(child), 0xE900);
    EXPECT_EQ(GetDlgItem(top, 0xE900), child);
    char text[16];
    EXPECT_EQ(GetWindowTextA(child, text, sizeof text), 6);
    EXPECT_STREQ(text, "Status");
    EXPECT_EQ(GetWindowTextA(child, text, 4), 3) << "cut to the buffer, terminated";
    EXPECT_STREQ(text, "Sta");
    SetWindowTextA(top, "Quillbridge Log Viewer");
    EXPECT_EQ(display->Title(top), "Quillbridge Log Viewer");

    // A resource id in the name's place (a static's icon) reaches the procedure as it is and
    // is nobody's text.
    recorder.On(WM_CREATE, [&](HWND, UINT, WPARAM, LPARAM l, bool&) -> LRESULT {
        seenId = static_cast<int>(reinterpret_cast<std::intptr_t>(reinterpret_cast<const CREATESTRUCTA*>(l)->lpszName));
        return 0;
    });
    for (const DWORD style : {DWORD{WS_CHILD}, DWORD{WS_OVERLAPPEDWINDOW}}) {
        HWND byId = CreateWindowExA(0, recorder.Class(), MAKEINTRESOURCEA(7), style, 0, 0, 10, 10,
                                    style & WS_CHILD ? top : nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(byId, nullptr);
        EXPECT_EQ(seenId, 7);
        EXPECT_EQ(GetWindowTextA(byId, text, sizeof text), 0);
        if (!(style & WS_CHILD)) {
            EXPECT_EQ(display->Title(byId), "");
        }
        DestroyWindow(byId);
    }
}

TEST_F(WindowTreeTest, RectanglesAndCoordinatesAccountForBordersAndParents) {
    HWND top = TopLevel();
    HWND framed = recorder.Create(top, RECT{10, 20, 110, 70}, WS_CHILD | WS_VISIBLE, WS_EX_CLIENTEDGE);
    HWND inner = recorder.Create(framed, RECT{5, 5, 15, 15});
    RECT r;
    GetClientRect(framed, &r);
    EXPECT_EQ(r.right, 96);
    EXPECT_EQ(r.bottom, 46);
    GetWindowRect(framed, &r);
    EXPECT_EQ(r.left, 110);
    EXPECT_EQ(r.top, 120);
    GetWindowRect(inner, &r);
    EXPECT_EQ(r.left, 117) << "inside the two-pixel client edge";
    EXPECT_EQ(r.top, 127);
    POINT p{0, 0};
    MapWindowPoints(inner, top, &p, 1);
    EXPECT_EQ(p.x, 17);
    EXPECT_EQ(p.y, 27);
    p = POINT{117, 127};
    ScreenToClient(inner, &p);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    EXPECT_EQ(ChildWindowFromPoint(top, POINT{12, 22}), framed);
    EXPECT_EQ(WindowFromPoint(POINT{118, 128}), inner);
    EXPECT_EQ(WindowFromPoint(POINT{5, 5}), nullptr);
}

TEST_F(WindowTreeTest, MovingAndSizingAnnounceWhatChanged) {
    HWND top = TopLevel();
    HWND child = recorder.Create(top, RECT{0, 0, 50, 50});
    const std::vector<UINT> only{WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_SIZE, WM_MOVE};
    recorder.Log().clear();
    MoveWindow(child, 10, 10, 50, 50, TRUE);
    EXPECT_EQ(recorder.MessagesOf(child, only),
              (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE}));
    recorder.Log().clear();
    SetWindowPos(child, nullptr, 0, 0, 80, 30, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(recorder.MessagesOf(child, only),
              (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_SIZE}));
    const Seen& size = recorder.Log()[recorder.Log().size() - 1];
    EXPECT_EQ(size.lParam, MAKELPARAM(80, 30));

    // WM_WINDOWPOSCHANGING may change the outcome.
    recorder.On(WM_WINDOWPOSCHANGING, [](HWND, UINT, WPARAM, LPARAM l, bool&) -> LRESULT {
        reinterpret_cast<WINDOWPOS*>(l)->cx = 20;
        return 0;
    });
    MoveWindow(child, 0, 0, 100, 100, TRUE);
    RECT r;
    GetClientRect(child, &r);
    EXPECT_EQ(r.right, 20);
    EXPECT_EQ(r.bottom, 100);
}

TEST_F(WindowTreeTest, SiblingsKeepTheirOrderAndEnumerationVisitsEveryDescendant) {
    HWND top = TopLevel();
    HWND a = recorder.Create(top, RECT{0, 0, 10, 10}, WS_CHILD, 0, 1);
    HWND b = recorder.Create(top, RECT{0, 0, 10, 10}, WS_CHILD, 0, 2);
    HWND c = recorder.Create(a, RECT{0, 0, 5, 5}, WS_CHILD, 0, 3);
    // The newest child is on top.
    EXPECT_EQ(GetWindow(top, GW_CHILD), b);
    EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), a);
    EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), nullptr);
    SetWindowPos(b, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(top, GW_CHILD), a);
    BringWindowToTop(b);
    EXPECT_EQ(GetWindow(top, GW_CHILD), b);

    std::vector<HWND> visited;
    EnumChildWindows(
        top,
        [](HWND h, LPARAM p) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&visited));
    EXPECT_EQ(visited, (std::vector<HWND>{b, a, c}));
    EXPECT_TRUE(IsChild(top, c));
    EXPECT_FALSE(IsChild(b, c));
    EXPECT_EQ(GetParent(c), a);
    EXPECT_EQ(GetAncestor(c, GA_ROOT), top);
    EXPECT_EQ(GetDlgItem(top, 3), nullptr) << "only direct children are dialog items";
}

TEST_F(WindowTreeTest, PropertiesAndSubclassing) {
    HWND top = TopLevel();
    const ATOM atom = GlobalAddAtomA("OldMenuProc");
    EXPECT_EQ(GlobalFindAtomA("OldMenuProc"), atom);
    ASSERT_TRUE(SetPropA(top, "OldMenuProc", reinterpret_cast<HANDLE>(7)));
    EXPECT_EQ(GetPropA(top, MAKEINTRESOURCEA(atom)), reinterpret_cast<HANDLE>(7)) << "the atom names the property";
    EXPECT_EQ(RemovePropA(top, "OldMenuProc"), reinterpret_cast<HANDLE>(7));
    EXPECT_EQ(GetPropA(top, "OldMenuProc"), nullptr);
    GlobalDeleteAtom(atom);

    static WNDPROC previous;
    static int subclassed;
    subclassed = 0;
    previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        top, GWLP_WNDPROC, reinterpret_cast<std::intptr_t>(+[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
            if (m == WM_USER + 1) ++subclassed;
            return CallWindowProcA(previous, h, m, w, l);
        })));
    EXPECT_EQ(previous, &Recorder::Proc);
    SendMessageA(top, WM_USER + 1, 0, 0);
    EXPECT_EQ(subclassed, 1);
    EXPECT_EQ(recorder.Count(top, WM_USER + 1), 1) << "the old procedure still gets it";
}

TEST_F(WindowTreeTest, VisibilityFollowsTheParentsAndTheDisplayShowsTopLevelWindows) {
    HWND top = TopLevel(WS_POPUP);
    HWND child = recorder.Create(top, RECT{0, 0, 10, 10});
    EXPECT_FALSE(IsWindowVisible(child)) << "its parent is hidden";
    EXPECT_FALSE(display->IsShown(top));
    ShowWindow(top, SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(child));
    EXPECT_TRUE(display->IsShown(top));
    EXPECT_EQ(GetActiveWindow(), top);
    ShowWindow(child, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(child));
    EXPECT_EQ(recorder.Log().back().message, WM_WINDOWPOSCHANGED);
    EXPECT_EQ(recorder.MessagesOf(child, {WM_SHOWWINDOW}).size(), 2u) << "shown at creation, then hidden";

    HWND frame = TopLevel(WS_OVERLAPPEDWINDOW);
    ShowWindow(frame, SW_SHOWMAXIMIZED);
    RECT r;
    GetWindowRect(frame, &r);
    EXPECT_EQ(r.right - r.left, 1280);
    EXPECT_EQ(r.bottom - r.top, 1024);
    EXPECT_TRUE(display->IsMaximized(frame));
    bool sawMaximized = false;
    for (const Seen& s : recorder.Log())
        if (s.hwnd == frame && s.message == WM_SIZE && s.wParam == SIZE_MAXIMIZED) sawMaximized = true;
    EXPECT_TRUE(sawMaximized);
    ShowWindow(frame, SW_RESTORE);
    GetWindowRect(frame, &r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.right, 400);
}

TEST_F(WindowTreeTest, FocusMovesWithKillFocusThenSetFocus) {
    HWND top = TopLevel();
    HWND a = recorder.Create(top, RECT{0, 0, 10, 10});
    HWND b = recorder.Create(top, RECT{20, 0, 30, 10});
    SetFocus(a);
    recorder.Log().clear();
    EXPECT_EQ(SetFocus(b), a);
    ASSERT_EQ(recorder.Log().size(), 2u);
    EXPECT_EQ(recorder.Log()[0].hwnd, a);
    EXPECT_EQ(recorder.Log()[0].message, WM_KILLFOCUS);
    EXPECT_EQ(recorder.Log()[0].wParam, reinterpret_cast<WPARAM>(b));
    EXPECT_EQ(recorder.Log()[1].hwnd, b);
    EXPECT_EQ(recorder.Log()[1].message, WM_SETFOCUS);
    EXPECT_EQ(recorder.Log()[1].wParam, reinterpret_cast<WPARAM>(a));

    // A disabled window takes no focus, and disabling the focus takes it away.
    EnableWindow(a, FALSE);
    EXPECT_EQ(SetFocus(a), nullptr);
    EXPECT_EQ(GetFocus(), b);
    EXPECT_FALSE(EnableWindow(b, FALSE)) << "it was enabled";
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_TRUE(EnableWindow(b, TRUE)) << "it was disabled";
    SetFocus(b);
    DestroyWindow(b);
    EXPECT_EQ(GetFocus(), top) << "the keyboard stays with the window that held it";
}

TEST_F(WindowTreeTest, AWindowCannotGoUnderItselfOrItsOwnChildren) {
    HWND top = TopLevel();
    HWND a = recorder.Create(top, RECT{0, 0, 50, 50});
    HWND b = recorder.Create(a, RECT{0, 0, 20, 20});
    HWND c = recorder.Create(b, RECT{0, 0, 5, 5});
    for (HWND under : {a, b, c}) {
        EXPECT_EQ(SetParent(a, under), nullptr);
        EXPECT_EQ(GetParent(a), top) << "the tree would become a loop";
    }
    EXPECT_EQ(SetParent(c, a), b) << "the old parent";
    EXPECT_EQ(GetParent(c), a);
    EXPECT_EQ(GetAncestor(c, GA_ROOT), top);
}

// Windows made while what they belong to is going would be left with a freed parent.
TEST_F(WindowTreeTest, AChildMadeWhileItsParentGoesGoesToo) {
    HWND top = TopLevel();
    HWND late = nullptr;
    recorder.On(WM_NCDESTROY, [&](HWND hwnd, UINT, WPARAM, LPARAM, bool& handled) -> LRESULT {
        if (hwnd == top) late = recorder.Create(top, RECT{0, 0, 5, 5});
        handled = false;
        return 0;
    });
    ASSERT_TRUE(DestroyWindow(top));
    ASSERT_NE(late, nullptr);
    EXPECT_FALSE(IsWindow(late));
    EXPECT_EQ(GetParent(late), nullptr);
}

TEST_F(WindowTreeTest, ClassInfoNamesTheClassWithTheCallersOwnName) {
    WNDCLASSA cls{};
    cls.lpfnWndProc = DefWindowProcA;
    cls.lpszClassName = "Short-lived class";
    const ATOM atom = RegisterClassA(&cls);
    ASSERT_NE(atom, 0);
    const std::string asked = "SHORT-LIVED CLASS";
    WNDCLASSA byName{}, byAtom{};
    ASSERT_TRUE(GetClassInfoA(nullptr, asked.c_str(), &byName));
    ASSERT_TRUE(GetClassInfoA(nullptr, MAKEINTRESOURCEA(atom), &byAtom));
    ASSERT_TRUE(UnregisterClassA("Short-lived class", nullptr));
    // Nothing of the class table is left in them once the class is gone.
    EXPECT_STREQ(byName.lpszClassName, asked.c_str());
    EXPECT_EQ(byAtom.lpszClassName, MAKEINTRESOURCEA(atom));
    EXPECT_EQ(byName.lpfnWndProc, &DefWindowProcA);
    EXPECT_FALSE(GetClassInfoA(nullptr, asked.c_str(), &byName));
}

}  // namespace
