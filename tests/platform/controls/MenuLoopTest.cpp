// The menu loop by mouse and keyboard: the messages the owner gets, in order; mnemonics and
// WM_MENUCHAR answers; greyed items; popup windows a hook subclasses; sends from other threads
// answered while a menu is open.

#include <atomic>
#include <thread>

#include "platform/controls/PopupMenuWindow.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"
#include "platform/window/MessageBeep.h"
#include "tests/platform/controls/MenuTesting.h"

namespace {

class MenuLoopTest : public MenuTestBase {
protected:
    void SetUp() override {
        MenuTestBase::SetUp();
        bar = LoadMenuIndirectA(&TestMenu());
        file = GetSubMenu(bar, 0);
        edit = GetSubMenu(bar, 1);
        recent = GetSubMenu(file, 3);
        frame = Frame(bar);
    }

    // The commands posted to the frame, once the loop is over.
    std::vector<WPARAM> Commands() {
        PumpAll();
        return ParamsOf(frame, WM_COMMAND);
    }

    HMENU bar = nullptr, file = nullptr, edit = nullptr, recent = nullptr;
    HWND frame = nullptr;
};

constexpr UINT kHilite = MF_HILITE;

TEST_F(MenuLoopTest, AClickOnTheBarThenOnAnItemRunsItsCommand) {
    OnIdle({[&] { display->Click(CentreOf(nullptr, file, 0)); }});
    display->Click(CentreOf(frame, bar, 0));
    EXPECT_EQ(Commands(), std::vector<WPARAM>{101});
    EXPECT_FALSE(ScriptRanOut());
    EXPECT_EQ(LoopMessages(frame),
              (std::vector<UINT>{WM_SYSCOMMAND, WM_ENTERMENULOOP, WM_INITMENU, WM_MENUSELECT, WM_INITMENUPOPUP,
                                 WM_MENUSELECT, WM_UNINITMENUPOPUP, WM_MENUSELECT, WM_EXITMENULOOP, WM_COMMAND}));
    const auto selects = ParamsOf(frame, WM_MENUSELECT);
    ASSERT_EQ(selects.size(), 3u);
    EXPECT_EQ(selects[0], MAKEWPARAM(0, MF_POPUP | kHilite | MF_MOUSESELECT)) << "the bar item, by position";
    EXPECT_EQ(selects[1], MAKEWPARAM(101, kHilite | MF_MOUSESELECT));
    EXPECT_EQ(selects[2], MAKEWPARAM(0, 0xFFFF)) << "closed";
    for (const Seen& s : recorder.Log()) {
        if (s.hwnd != frame) continue;
        if (s.message == WM_SYSCOMMAND) {
            EXPECT_EQ(s.wParam, SC_MOUSEMENU | HTMENU);
        }
        if (s.message == WM_INITMENU) {
            EXPECT_EQ(s.wParam, reinterpret_cast<WPARAM>(bar));
        }
        if (s.message == WM_INITMENUPOPUP) {
            EXPECT_EQ(s.wParam, reinterpret_cast<WPARAM>(file));
            EXPECT_EQ(s.lParam, MAKELPARAM(0, FALSE));
        }
        if (s.message == WM_ENTERMENULOOP || s.message == WM_EXITMENULOOP) {
            EXPECT_EQ(s.wParam, FALSE);
        }
    }
    EXPECT_EQ(GetCapture(), nullptr);
}


// Keys as a person types them: the loop starts from the frame's DefWindowProc and takes the rest.
struct KeyCase {
    const char* name;
    std::function<void(HeadlessDriver&)> keys;
    std::vector<WPARAM> commands;
};

void Alt(HeadlessDriver& d, int vk) {
    d.Key(VK_MENU, true);
    d.KeyPress(vk);
    d.Key(VK_MENU, false);
}

TEST_F(MenuLoopTest, TheKeyboardSelectsMovesOpensAndRuns) {
    const KeyCase cases[] = {
        {"F10, Down, Enter", [](HeadlessDriver& d) { d.KeyPress(VK_F10); d.KeyPress(VK_DOWN); d.KeyPress(VK_RETURN); },
         {101}},
        {"Alt alone, Enter opens, Enter runs",
         [](HeadlessDriver& d) { d.KeyPress(VK_MENU); d.KeyPress(VK_RETURN); d.KeyPress(VK_RETURN); }, {101}},
        {"Alt+F, mnemonic", [](HeadlessDriver& d) { Alt(d, 'F'); d.Type("o"); }, {101}},
        {"Alt+F, down past the separator, Right opens the cascade",
         [](HeadlessDriver& d) {
             Alt(d, 'F');
             d.KeyPress(VK_DOWN);  // "&Save", greyed but selectable
             d.KeyPress(VK_DOWN);
             d.KeyPress(VK_RIGHT);
             d.KeyPress(VK_DOWN);
             d.KeyPress(VK_RETURN);
         },
         {112}},
        {"Left closes the cascade only",
         [](HeadlessDriver& d) {
             Alt(d, 'F');
             d.Type("r");
             d.KeyPress(VK_LEFT);
             d.KeyPress(VK_UP);
             d.KeyPress(VK_UP);
             d.KeyPress(VK_RETURN);
         },
         {101}},
        {"Right on a plain item moves to the next popup",
         [](HeadlessDriver& d) { Alt(d, 'F'); d.KeyPress(VK_RIGHT); d.KeyPress(VK_RETURN); }, {201}},
        {"Left wraps to a command on the bar", [](HeadlessDriver& d) { Alt(d, 'F'); d.KeyPress(VK_LEFT); d.KeyPress(VK_RETURN); },
         {301}},
        {"Alt+H runs the bar's command", [](HeadlessDriver& d) { Alt(d, 'H'); }, {301}},
        {"Alt+E, mnemonic", [](HeadlessDriver& d) { Alt(d, 'E'); d.Type("p"); }, {202}},
        {"Escape backs out one level, then leaves",
         [](HeadlessDriver& d) { Alt(d, 'F'); d.KeyPress(VK_ESCAPE); d.KeyPress(VK_ESCAPE); }, {}},
        {"F10 and Escape", [](HeadlessDriver& d) { d.KeyPress(VK_F10); d.KeyPress(VK_ESCAPE); }, {}},
        {"Alt again leaves", [](HeadlessDriver& d) { d.KeyPress(VK_F10); d.KeyPress(VK_DOWN); d.KeyPress(VK_MENU); }, {}},
    };
    for (const KeyCase& c : cases) {
        recorder.Log().clear();
        OnIdle({});
        c.keys(*display);
        EXPECT_EQ(Commands(), c.commands) << c.name;
        EXPECT_FALSE(ScriptRanOut()) << c.name << ": the menu stayed open";
        EXPECT_EQ(recorder.Count(frame, WM_ENTERMENULOOP), 1) << c.name;
        EXPECT_EQ(recorder.Count(frame, WM_EXITMENULOOP), 1) << c.name;
        EXPECT_EQ(recorder.Count(frame, WM_INITMENUPOPUP), recorder.Count(frame, WM_UNINITMENUPOPUP)) << c.name;
        EXPECT_EQ(GetCapture(), nullptr) << c.name;
    }
}

TEST_F(MenuLoopTest, EscapeClosesThePopupAndKeepsTheBarItemSelected) {
    OnIdle({
        [&] { display->KeyPress(VK_ESCAPE); },
        [&] {
            EXPECT_EQ(TopAt(CentreOf(frame, bar, 0)), frame);
            RECT r;
            EXPECT_FALSE(GetMenuItemRect(nullptr, file, 0, &r)) << "the popup is gone";
            display->KeyPress(VK_RIGHT);  // the bar still has the selection
            display->KeyPress(VK_DOWN);
            display->KeyPress(VK_RETURN);
        },
    });
    Alt(*display, 'F');
    EXPECT_EQ(Commands(), std::vector<WPARAM>{201});
}

TEST_F(MenuLoopTest, TheMouseDragsHoversAndClosesOutside) {
    // Press on the bar, drag to an item, release there.
    OnIdle({[&] {
        display->MoveMouse(CentreOf(nullptr, file, 4));
        display->Release();
    }});
    display->MoveMouse(CentreOf(frame, bar, 0));
    display->Press();
    EXPECT_EQ(Commands(), std::vector<WPARAM>{103});

    // With one popup open, the pointer over another bar item opens that one instead; the
    // pointer on a cascade opens it; a click off the menus closes everything.
    recorder.Log().clear();
    RECT r;
    OnIdle({
        [&] { display->MoveMouse(CentreOf(frame, bar, 1)); },
        [&] {
            EXPECT_FALSE(GetMenuItemRect(nullptr, file, 0, &r));
            EXPECT_TRUE(GetMenuItemRect(nullptr, edit, 0, &r));
            display->MoveMouse(CentreOf(frame, bar, 0));
        },
        [&] { display->MoveMouse(CentreOf(nullptr, file, 3)); },
        [&] {
            EXPECT_TRUE(GetMenuItemRect(nullptr, recent, 1, &r)) << "the cascade opened on hover";
            display->Click(POINT{5, 5});
        },
    });
    display->Click(CentreOf(frame, bar, 0));
    EXPECT_EQ(Commands(), std::vector<WPARAM>{});
    EXPECT_FALSE(ScriptRanOut());
    std::vector<WPARAM> opened = ParamsOf(frame, WM_INITMENUPOPUP);
    EXPECT_EQ(opened, (std::vector<WPARAM>{reinterpret_cast<WPARAM>(file), reinterpret_cast<WPARAM>(edit),
                                            reinterpret_cast<WPARAM>(file), reinterpret_cast<WPARAM>(recent)}));

    // A click on the item whose popup is open closes the menu.
    recorder.Log().clear();
    OnIdle({[&] { display->Click(CentreOf(frame, bar, 0)); }});
    display->Click(CentreOf(frame, bar, 0));
    EXPECT_EQ(Commands(), std::vector<WPARAM>{});
    EXPECT_FALSE(ScriptRanOut());
}

TEST_F(MenuLoopTest, GreyedItemsRunByNoMeans) {
    struct Case {
        const char* name;
        std::function<void()> open, act;
    } cases[] = {
        {"click", [&] { display->Click(CentreOf(frame, bar, 0)); }, [&] { display->Click(CentreOf(nullptr, file, 1)); }},
        {"Enter", [&] { Alt(*display, 'F'); },
         [&] {
             display->KeyPress(VK_DOWN);
             display->KeyPress(VK_RETURN);
         }},
        {"mnemonic", [&] { Alt(*display, 'F'); }, [&] { display->Type("s"); }},
    };
    // A greyed cascade does not open, by key or by pointer.
    EnableMenuItem(file, 3, MF_BYPOSITION | MF_GRAYED);
    RECT r;
    OnIdle({[&] { display->Type("r"); },
            [&] {
                EXPECT_FALSE(GetMenuItemRect(nullptr, recent, 0, &r));
                display->MoveMouse(CentreOf(nullptr, file, 3));
            },
            [&] {
                EXPECT_FALSE(GetMenuItemRect(nullptr, recent, 0, &r));
                EndMenu();
            }});
    Alt(*display, 'F');
    PumpAll();
    EXPECT_EQ(recorder.Count(frame, WM_INITMENUPOPUP), 1);
    EnableMenuItem(file, 3, MF_BYPOSITION | MF_ENABLED);

    for (const Case& c : cases) {
        recorder.Log().clear();
        bool stayed = false;
        OnIdle({c.act, [&] {
                    stayed = true;
                    display->KeyPress(VK_ESCAPE);
                    display->KeyPress(VK_ESCAPE);
                }});
        c.open();
        EXPECT_EQ(Commands(), std::vector<WPARAM>{}) << c.name;
        EXPECT_TRUE(stayed) << c.name << ": the menu stays open";
        EXPECT_FALSE(ScriptRanOut()) << c.name;
        const auto selects = ParamsOf(frame, WM_MENUSELECT);
        EXPECT_NE(std::find_if(selects.begin(), selects.end(),
                               [](WPARAM w) { return LOWORD(w) == 102 && (HIWORD(w) & MF_GRAYED); }),
                  selects.end())
            << c.name << ": the greyed item is selected";
    }
}

// Owner-drawn items have no text the system can search: WM_MENUCHAR decides.
TEST_F(MenuLoopTest, MenuCharAnswersExecuteSelectCloseOrBeep) {
    const HMENU popup = CreatePopupMenu();
    for (UINT id = 1; id <= 3; ++id) AppendMenuA(popup, MF_OWNERDRAW, id, reinterpret_cast<LPCSTR>(id * 10));
    recorder.On(WM_MEASUREITEM, [](HWND, UINT, WPARAM, LPARAM lParam, bool&) -> LRESULT {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        mis->itemWidth = 40;
        mis->itemHeight = 16;
        return TRUE;
    });
    struct Case {
        const char* name;
        LRESULT answer;
        BOOL command;
        bool stays;
        int beeps;
    } cases[] = {
        {"MNC_EXECUTE", MAKELPARAM(1, MNC_EXECUTE), 2, false, 0},
        {"MNC_SELECT", MAKELPARAM(2, MNC_SELECT), 0, true, 0},
        {"MNC_CLOSE", MAKELPARAM(0, MNC_CLOSE), 0, false, 0},
        {"MNC_IGNORE", 0, 0, true, 1},
        {"a position past the end", MAKELPARAM(9, MNC_EXECUTE), 0, true, 1},
    };
    for (const Case& c : cases) {
        recorder.Log().clear();
        recorder.On(WM_MENUCHAR, [&](HWND, UINT, WPARAM wParam, LPARAM lParam, bool&) -> LRESULT {
            EXPECT_EQ(wParam, MAKEWPARAM('q', MF_POPUP)) << c.name;
            EXPECT_EQ(lParam, reinterpret_cast<LPARAM>(popup)) << c.name;
            return c.answer;
        });
        bool stayed = false;
        OnIdle({[&] { display->Type("q"); }, [&] {
                    stayed = true;
                    EndMenu();
                }});
        const long beeps = MessageBeepCount();
        const BOOL result = TrackPopupMenu(popup, TPM_RETURNCMD, 300, 300, 0, frame, nullptr);
        EXPECT_EQ(result, c.command) << c.name;
        EXPECT_EQ(stayed, c.stays) << c.name;
        EXPECT_EQ(MessageBeepCount() - beeps, c.beeps) << c.name;
        EXPECT_EQ(Commands(), std::vector<WPARAM>{}) << c.name << ": TPM_RETURNCMD posts nothing";
        if (c.answer == MAKELPARAM(2, MNC_SELECT)) {
            EXPECT_EQ(LOWORD(ParamsOf(frame, WM_MENUSELECT).front()), 3) << "item 2 selected";
        }
    }
    DestroyMenu(popup);
}

TEST_F(MenuLoopTest, TrackPopupMenuPostsTheCommandUnlessAskedToReturnIt) {
    recorder.Log().clear();
    OnIdle({[&] { display->Click(CentreOf(nullptr, edit, 1)); }});
    EXPECT_EQ(TrackPopupMenu(edit, TPM_RIGHTBUTTON, 200, 200, 0, frame, nullptr), TRUE);
    EXPECT_EQ(Commands(), std::vector<WPARAM>{202});
    EXPECT_EQ(ParamsOf(frame, WM_ENTERMENULOOP), std::vector<WPARAM>{TRUE});
    EXPECT_EQ(ParamsOf(frame, WM_INITMENU), std::vector<WPARAM>{reinterpret_cast<WPARAM>(edit)});

    recorder.Log().clear();
    OnIdle({[&] { display->Click(CentreOf(nullptr, edit, 0)); }});
    EXPECT_EQ(TrackPopupMenu(edit, TPM_RETURNCMD | TPM_NONOTIFY, 200, 200, 0, frame, nullptr), 201);
    EXPECT_EQ(Commands(), std::vector<WPARAM>{});
    EXPECT_EQ(recorder.Count(frame, WM_INITMENUPOPUP) + recorder.Count(frame, WM_MENUSELECT), 0) << "TPM_NONOTIFY";

    // One loop at a time on a thread.
    BOOL nested = TRUE;
    OnIdle({[&] {
        nested = TrackPopupMenu(file, 0, 10, 10, 0, frame, nullptr);
        EndMenu();
    }});
    TrackPopupMenu(edit, 0, 200, 200, 0, frame, nullptr);
    EXPECT_EQ(nested, FALSE);
}

TEST_F(MenuLoopTest, AltSpaceOpensTheSystemMenuWhoseCommandsAreSystemCommands) {
    recorder.Log().clear();
    OnIdle({[&] { display->Type("c"); }});
    Alt(*display, VK_SPACE);
    PumpAll();
    EXPECT_FALSE(IsWindow(frame)) << "SC_CLOSE closed it";
    bool sawSystemPopup = false;
    for (const Seen& s : recorder.Log())
        if (s.message == WM_INITMENUPOPUP && HIWORD(s.lParam) == TRUE) sawSystemPopup = true;
    EXPECT_TRUE(sawSystemPopup);
    const auto commands = ParamsOf(frame, WM_SYSCOMMAND);
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands.back() & 0xFFF0, SC_CLOSE);
}

// What a subclass through the hook does to menu windows, as the icon menus do: the hook sees
// the window made and sized, and the subclass's frame and shadow decide the window's size.
namespace hooked {

thread_local std::vector<UINT> seen;
thread_local bool subclass = false;

LRESULT CALLBACK ShadowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto old = reinterpret_cast<WNDPROC>(GetPropA(hwnd, "OldMenuProc"));
    switch (message) {
        case WM_WINDOWPOSCHANGING: {
            auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
            if (!(pos->flags & SWP_NOSIZE)) {
                pos->cx += 4;
                pos->cy += 4;
            }
            return 0;
        }
        case WM_NCCALCSIZE: {
            auto* r = reinterpret_cast<RECT*>(lParam);
            r->left += 3;
            r->top += 3;
            r->right -= 3 + 4;
            r->bottom -= 3 + 4;
            return 0;
        }
        case WM_NCPAINT: {
            HDC hdc = GetWindowDC(hwnd);
            RECT r;
            GetWindowRect(hwnd, &r);
            OffsetRect(&r, -r.left, -r.top);
            HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
            FillRect(hdc, &r, magenta);
            DeleteObject(magenta);
            ReleaseDC(hwnd, hdc);
            return 0;
        }
        case WM_NCDESTROY:
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<std::intptr_t>(old));
            RemovePropA(hwnd, "OldMenuProc");
            break;
        default:
            break;
    }
    return CallWindowProcA(old, hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
    char name[32] = {};
    GetClassNameA(cwp->hwnd, name, sizeof name);
    if (std::string(name) == "#32768") {
        seen.push_back(cwp->message);
        if (subclass && (cwp->message == WM_CREATE || cwp->message == MN_SIZEWINDOW) &&
            !GetPropA(cwp->hwnd, "OldMenuProc")) {
            SetPropA(cwp->hwnd, "OldMenuProc", reinterpret_cast<HANDLE>(GetWindowLongPtrA(cwp->hwnd, GWLP_WNDPROC)));
            SetWindowLongPtrA(cwp->hwnd, GWLP_WNDPROC, reinterpret_cast<std::intptr_t>(ShadowProc));
            SetWindowLongPtrA(cwp->hwnd, GWL_STYLE, GetWindowLongPtrA(cwp->hwnd, GWL_STYLE) & ~WS_BORDER);
            SetWindowLongPtrA(cwp->hwnd, GWL_EXSTYLE, GetWindowLongPtrA(cwp->hwnd, GWL_EXSTYLE) & ~0x101);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace hooked

TEST_F(MenuLoopTest, AHookSeesMenuWindowsAndASubclassGivesThemAShadow) {
    const HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, hooked::Hook, nullptr, 0);
    struct Shape {
        RECT window{}, client{};
        DWORD style = 0, exStyle = 0;
        COLORREF corner = 0;
    };
    auto open = [&](bool subclass) {
        hooked::seen.clear();
        hooked::subclass = subclass;
        Shape shape;
        OnIdle({[&] {
            const HWND popup = TopAt(CentreOf(nullptr, edit, 0));
            GetWindowRect(popup, &shape.window);
            GetClientRect(popup, &shape.client);
            shape.style = static_cast<DWORD>(GetWindowLongPtrA(popup, GWL_STYLE));
            shape.exStyle = static_cast<DWORD>(GetWindowLongPtrA(popup, GWL_EXSTYLE));
            shape.corner = ShownAt(POINT{shape.window.right - 2, shape.window.bottom - 2});
            EndMenu();
        }});
        TrackPopupMenu(edit, 0, 200, 200, 0, frame, nullptr);
        return shape;
    };
    const Shape plain = open(false);
    EXPECT_NE(std::find(hooked::seen.begin(), hooked::seen.end(), WM_CREATE), hooked::seen.end());
    EXPECT_NE(std::find(hooked::seen.begin(), hooked::seen.end(), MN_SIZEWINDOW), hooked::seen.end());
    EXPECT_TRUE(plain.style & WS_POPUP);
    EXPECT_TRUE(plain.style & WS_BORDER);
    EXPECT_EQ(plain.exStyle & 0x101, 0x101u);
    EXPECT_EQ(Width(plain.window) - Width(plain.client), 6) << "the standard frame";

    const Shape shadowed = open(true);
    EXPECT_EQ(Width(shadowed.window), Width(plain.window) + 4);
    EXPECT_EQ(Height(shadowed.window), Height(plain.window) + 4);
    EXPECT_EQ(Width(shadowed.client), Width(plain.client));
    EXPECT_EQ(Height(shadowed.client), Height(plain.client));
    EXPECT_EQ(shadowed.style & WS_BORDER, 0u);
    EXPECT_EQ(shadowed.exStyle & 0x101, 0u);
    EXPECT_EQ(shadowed.corner, RGB(255, 0, 255)) << "the subclass drew the shadow strip";
    UnhookWindowsHookEx(hook);
}

TEST_F(MenuLoopTest, OwnerDrawnPopupItemsAreMeasuredAndDrawnByTheOwner) {
    const HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_OWNERDRAW, 1, reinterpret_cast<LPCSTR>(0x51));
    AppendMenuA(popup, MF_OWNERDRAW | MF_GRAYED, 2, reinterpret_cast<LPCSTR>(0x52));
    recorder.On(WM_MEASUREITEM, [](HWND, UINT, WPARAM, LPARAM lParam, bool&) -> LRESULT {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        EXPECT_EQ(mis->CtlType, ODT_MENU);
        mis->itemWidth = 50;
        mis->itemHeight = 20;
        return TRUE;
    });
    std::vector<DRAWITEMSTRUCT> drawn;
    recorder.On(WM_DRAWITEM, [&](HWND, UINT, WPARAM, LPARAM lParam, bool&) -> LRESULT {
        const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        drawn.push_back(*dis);
        HBRUSH brush = CreateSolidBrush((dis->itemState & ODS_SELECTED) ? RGB(255, 0, 0) : RGB(0, 255, 0));
        FillRect(dis->hDC, &dis->rcItem, brush);
        DeleteObject(brush);
        return TRUE;
    });
    RECT first{}, whole{};
    COLORREF before = 0, after = 0;
    OnIdle({
        [&] {
            GetMenuItemRect(nullptr, popup, 0, &first);
            GetWindowRect(TopAt(CentreOf(nullptr, popup, 0)), &whole);
            before = ShownAt(CentreOf(nullptr, popup, 0));
            display->KeyPress(VK_DOWN);
        },
        [&] {
            after = ShownAt(CentreOf(nullptr, popup, 0));
            EndMenu();
        },
    });
    TrackPopupMenu(popup, 0, 300, 300, 0, frame, nullptr);
    // The system adds its check-mark column to the width asked for.
    EXPECT_EQ(Width(first), 50 + GetSystemMetrics(SM_CXMENUCHECK) - 1);
    EXPECT_EQ(Height(first), 20);
    EXPECT_EQ(Width(whole), Width(first) + 6);
    EXPECT_EQ(Height(whole), 2 * 20 + 6);
    EXPECT_EQ(before, RGB(0, 255, 0));
    EXPECT_EQ(after, RGB(255, 0, 0));
    ASSERT_FALSE(drawn.empty());
    for (const DRAWITEMSTRUCT& d : drawn) {
        EXPECT_EQ(d.CtlType, ODT_MENU);
        EXPECT_EQ(d.hwndItem, reinterpret_cast<HWND>(popup));
        EXPECT_EQ(d.itemData, d.itemID == 1 ? 0x51u : 0x52u);
        if (d.itemID == 2) {
            EXPECT_EQ(d.itemState & ODS_GRAYED, ODS_GRAYED);
        }
    }
    DestroyMenu(popup);
}

// The loader sends records while a menu is open: the loop answers them.
TEST_F(MenuLoopTest, SendsFromAnotherThreadAreAnsweredWhileTheMenuIsOpen) {
    recorder.On(WM_APP, [](HWND, UINT, WPARAM wParam, LPARAM, bool&) -> LRESULT { return wParam + 1; });
    std::atomic<LRESULT> answer{0};
    std::thread sender;
    OnIdle({[&] {
        sender = std::thread([&] {
            answer = SendMessageA(frame, WM_APP, 41, 0);
            display->KeyPress(VK_ESCAPE);  // only after the answer can the menu close
        });
    }});
    TrackPopupMenu(edit, 0, 200, 200, 0, frame, nullptr);
    sender.join();
    EXPECT_EQ(answer.load(), 42);
    EXPECT_FALSE(ScriptRanOut());
}

}  // namespace
