// Injected input: which window gets it, as which messages, with double clicks, capture, local
// loops, keys and the desktop's own events.

#include "tests/platform/window/WindowTesting.h"

namespace {

class InputTest : public WindowTest {};

using Button = InputRouter::Button;

TEST_F(InputTest, AClickGoesToTheChildUnderThePointerAfterHitTestAndCursor) {
    const HCURSOR beam = LoadCursorA(nullptr, IDC_IBEAM);
    HWND top = TopLevel();
    HWND child = recorder.Create(top, RECT{20, 20, 80, 60}, WS_CHILD | WS_VISIBLE, 0, 0, recorder.Class(0, beam));
    PumpAll();
    recorder.Log().clear();
    display->Click(OnScreen(child, 5, 7));
    PumpAll();
    EXPECT_EQ(recorder.MessagesOf(child, {WM_NCHITTEST, WM_SETCURSOR, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP}),
              (std::vector<UINT>{WM_NCHITTEST, WM_SETCURSOR, WM_MOUSEMOVE, WM_NCHITTEST, WM_SETCURSOR, WM_LBUTTONDOWN,
                                 WM_NCHITTEST, WM_LBUTTONUP}));
    for (const Seen& s : recorder.Log()) {
        if (s.hwnd != child) continue;
        if (s.message == WM_LBUTTONDOWN) {
            EXPECT_EQ(s.lParam, MAKELPARAM(5, 7));
            EXPECT_EQ(s.wParam, MK_LBUTTON);
        }
        if (s.message == WM_LBUTTONUP) {
            EXPECT_EQ(s.wParam, 0u);
        }
        if (s.message == WM_SETCURSOR) {
            EXPECT_EQ(LOWORD(s.lParam), HTCLIENT);
        }
    }
    EXPECT_EQ(display->Cursor(), beam);
    EXPECT_EQ(recorder.Count(top, WM_LBUTTONDOWN), 0);
    EXPECT_EQ(recorder.Count(top, WM_SETCURSOR), 2) << "asked first by its child's DefWindowProc";
}

TEST_F(InputTest, DoubleClicksNeedTheClassStyleAndTheSystemsTimeAndDistance) {
    HWND top = TopLevel();
    HWND plain = recorder.Create(top, RECT{0, 0, 50, 50});
    HWND clicks = recorder.Create(top, RECT{100, 0, 150, 50}, WS_CHILD | WS_VISIBLE, 0, 0, recorder.Class(CS_DBLCLKS));
    const std::vector<UINT> buttons{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK};
    struct Case {
        const char* name;
        HWND hwnd;
        DWORD pause;
        int dx;
        bool doubled;
    } cases[] = {
        {"quick and still", clicks, 0, 0, true},   {"two pixels off", clicks, 0, 2, true},
        {"three pixels off", clicks, 0, 3, false}, {"too slow", clicks, 600, 0, false},
        {"no class style", plain, 0, 0, false},
    };
    for (const Case& c : cases) {
        recorder.Log().clear();
        display->Advance(1000);  // apart from the case before
        display->Click(OnScreen(c.hwnd, 10, 10));
        display->Advance(c.pause);
        display->Click(OnScreen(c.hwnd, 10 + c.dx, 10));
        PumpAll();
        const std::vector<UINT> expected =
            c.doubled ? std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}
                      : std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP};
        EXPECT_EQ(recorder.MessagesOf(c.hwnd, buttons), expected) << c.name;
    }
    // A third click after a double click starts over.
    recorder.Log().clear();
    display->Advance(1000);
    display->DoubleClick(OnScreen(clicks, 10, 10));
    display->Click(OnScreen(clicks, 10, 10));
    PumpAll();
    EXPECT_EQ(recorder.MessagesOf(clicks, buttons), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK,
                                                                       WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}));
}

TEST_F(InputTest, TheCaptureTakesTheMouseInALocalTrackingLoop) {
    HWND top = TopLevel();
    HWND splitter = recorder.Create(top, RECT{100, 0, 104, 200});
    HWND other = recorder.Create(top, RECT{0, 0, 100, 200});
    std::vector<POINT> tracked;
    bool changed = false;
    // As a splitter tracks: capture, then its own loop until the button comes up.
    recorder.On(WM_LBUTTONDOWN, [&](HWND h, UINT, WPARAM, LPARAM, bool&) -> LRESULT {
        SetCapture(h);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0)) {
            if (msg.message == WM_MOUSEMOVE) {
                EXPECT_EQ(msg.hwnd, h);
                tracked.push_back(POINT{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)});
            } else if (msg.message == WM_LBUTTONUP) {
                EXPECT_EQ(msg.hwnd, h);
                break;
            } else {
                DispatchMessageA(&msg);
            }
        }
        ReleaseCapture();
        return 0;
    });
    recorder.On(WM_CAPTURECHANGED, [&](HWND, UINT, WPARAM, LPARAM l, bool&) -> LRESULT {
        changed = l == 0;
        return 0;
    });
    display->MoveMouse(OnScreen(splitter, 2, 50));
    display->Press();
    display->MoveMouse(OnScreen(splitter, -40, 60));   // over the other child
    display->MoveMouse(OnScreen(splitter, -400, 60));  // off the window altogether
    display->Release();
    PumpAll();
    ASSERT_EQ(tracked.size(), 2u);
    EXPECT_EQ(tracked[0].x, -40);
    EXPECT_EQ(tracked[1].x, -400);
    EXPECT_TRUE(changed);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(recorder.Count(other, WM_MOUSEMOVE), 0);
}

TEST_F(InputTest, KeysGoToTheFocusAndAltMakesThemSystemKeys) {
    HWND top = TopLevel();
    HWND edit = recorder.Create(top, RECT{0, 0, 50, 20});
    SetFocus(edit);
    PumpAll();
    recorder.Log().clear();
    display->Type("Hi!");
    display->Key(VK_CONTROL, true);
    display->KeyPress('A');
    display->Key(VK_CONTROL, false);
    display->Key(VK_MENU, true);
    display->KeyPress('F');
    display->Key(VK_MENU, false);
    PumpAll();
    std::string typed;
    std::vector<WPARAM> controls, system;
    for (const Seen& s : recorder.Log()) {
        if (s.hwnd != edit) continue;
        if (s.message == WM_CHAR && s.wParam >= 32) typed += static_cast<char>(s.wParam);
        if (s.message == WM_CHAR && s.wParam < 32) controls.push_back(s.wParam);
        if (s.message == WM_SYSCHAR) system.push_back(s.wParam);
    }
    EXPECT_EQ(typed, "Hi!");
    EXPECT_EQ(controls, std::vector<WPARAM>{1}) << "Control+A";
    EXPECT_EQ(system, std::vector<WPARAM>{'f'});
    EXPECT_GE(recorder.Count(edit, WM_SYSKEYDOWN), 2);
    EXPECT_EQ(recorder.Count(top, WM_KEYDOWN), 0);
}

TEST_F(InputTest, DisabledWindowsTakeNoMouseAndTheWheelTurnsTheFocus) {
    HWND top = TopLevel();
    HWND list = recorder.Create(top, RECT{0, 0, 100, 100});
    HWND button = recorder.Create(top, RECT{150, 0, 200, 30});
    EnableWindow(button, FALSE);
    SetFocus(list);
    PumpAll();
    recorder.Log().clear();
    display->Click(OnScreen(button, 5, 5));
    display->Wheel(-WHEEL_DELTA);
    PumpAll();
    EXPECT_EQ(recorder.Count(button, WM_LBUTTONDOWN), 0);
    ASSERT_EQ(recorder.Count(list, WM_MOUSEWHEEL), 1);
    for (const Seen& s : recorder.Log())
        if (s.message == WM_MOUSEWHEEL && s.hwnd == list) {
            EXPECT_EQ(static_cast<short>(HIWORD(s.wParam)), -120);
        }
    EXPECT_EQ(recorder.Count(top, WM_MOUSEWHEEL), 1) << "passed up by DefWindowProc";
}

TEST_F(InputTest, AModalLoopRunsWhileItsOwnerIsDisabled) {
    HWND owner = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND ownerChild = recorder.Create(owner, RECT{0, 0, 50, 50});
    PumpAll();
    recorder.Log().clear();
    // As a modal dialog: the owner is disabled while the dialog's loop runs.
    EnableWindow(owner, FALSE);
    HWND dialog = recorder.Create(owner, RECT{600, 600, 700, 700}, WS_POPUP | WS_CAPTION | WS_VISIBLE);
    EXPECT_EQ(GetActiveWindow(), dialog);
    display->Click(OnScreen(ownerChild, 5, 5));
    display->Click(OnScreen(dialog, 5, 5));
    recorder.On(WM_LBUTTONUP, [&](HWND h, UINT, WPARAM, LPARAM, bool&) -> LRESULT {
        if (h == dialog) DestroyWindow(dialog);
        return 0;
    });
    MSG msg;
    while (IsWindow(dialog) && GetMessageA(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    EnableWindow(owner, TRUE);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(recorder.Count(ownerChild, WM_LBUTTONDOWN), 0);
}

TEST_F(InputTest, TheDesktopsMovesAndCloseRequestsArriveAsMessages) {
    HWND frame = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    PumpAll();
    recorder.Log().clear();
    display->MoveByDesktop(frame, RECT{50, 60, 450, 360});
    PumpAll();
    RECT r;
    GetWindowRect(frame, &r);
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.bottom, 360);
    bool sized = false;
    for (const Seen& s : recorder.Log())
        if (s.hwnd == frame && s.message == WM_SIZE && s.lParam == MAKELPARAM(400, 300)) sized = true;
    EXPECT_TRUE(sized);

    display->Activate(frame, false);
    PumpAll();
    EXPECT_EQ(GetActiveWindow(), nullptr);
    display->Activate(frame, true);
    PumpAll();
    EXPECT_EQ(GetActiveWindow(), frame);

    display->RequestClose(frame);
    PumpAll();
    EXPECT_EQ(recorder.Count(frame, WM_CLOSE), 1);
    EXPECT_FALSE(IsWindow(frame));
}

}  // namespace
