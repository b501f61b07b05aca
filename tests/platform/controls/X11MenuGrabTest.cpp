// The menu loop under a real X server (Xvfb): while a menu is open the pointer is grabbed, so a
// click on the desktop, outside every window of ours, reaches the loop and closes the menu. A
// second connection plays the person with XTest.

#include "platform/controls/Menus.h"
#include "tests/platform/window/X11Testing.h"

// Xlib last: its macros must not reach the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

class X11MenuGrabTest : public X11Test {
protected:
    void SetUp() override {
        X11Test::SetUp();
        int event, error, major, minor;
        ASSERT_TRUE(probe && XTestQueryExtension(probe, &event, &error, &major, &minor));
    }

    bool Viewable(HWND hwnd) {
        XWindowAttributes attributes{};
        return XGetWindowAttributes(probe, driver->XWindowOf(hwnd), &attributes) &&
               attributes.map_state == IsViewable;
    }
    // Whether another client could take the pointer now (it gives it back at once).
    int TryGrab() {
        const int result = XGrabPointer(probe, DefaultRootWindow(probe), False, ButtonPressMask, GrabModeAsync,
                                        GrabModeAsync, None, None, CurrentTime);
        if (result == GrabSuccess) XUngrabPointer(probe, CurrentTime);
        XSync(probe, False);
        return result;
    }
};

TEST_F(X11MenuGrabTest, AClickOnTheDesktopClosesTheMenuAndTheGrabEndsWithIt) {
    const HWND frame = recorder.Create(nullptr, RECT{20, 30, 220, 180}, WS_OVERLAPPEDWINDOW);
    ShowWindow(frame, SW_SHOW);
    ASSERT_TRUE(PumpUntil([&] { return Viewable(frame); }));
    ASSERT_EQ(TryGrab(), GrabSuccess) << "nobody holds the pointer before the menu opens";

    const HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 1, "&Refresh");
    int whileOpen = -1;
    bool clicked = false, timedOut = false;
    recorder.On(WM_ENTERIDLE, [&](HWND, UINT, WPARAM, LPARAM, bool&) -> LRESULT {
        if (clicked) return 0;
        clicked = true;
        whileOpen = TryGrab();
        // Far from the frame and the popup: only a grab brings this click to us.
        XTestFakeMotionEvent(probe, -1, 700, 600, CurrentTime);
        XTestFakeButtonEvent(probe, 1, True, CurrentTime);
        XTestFakeButtonEvent(probe, 1, False, CurrentTime);
        XFlush(probe);
        return 0;
    });
    // Should the click never arrive, the menu is ended so that the test fails instead of hanging.
    recorder.On(WM_TIMER, [&](HWND, UINT, WPARAM, LPARAM, bool&) -> LRESULT {
        timedOut = true;
        EndMenu();
        return 0;
    });
    SetTimer(frame, 1, 20000, nullptr);
    const BOOL chosen = TrackPopupMenu(menu, TPM_RETURNCMD, 60, 80, 0, frame, nullptr);
    KillTimer(frame, 1);

    EXPECT_TRUE(clicked);
    EXPECT_FALSE(timedOut) << "the click outside never reached the menu loop";
    EXPECT_EQ(chosen, 0);
    EXPECT_EQ(whileOpen, AlreadyGrabbed);
    EXPECT_EQ(TryGrab(), GrabSuccess) << "the grab ends with the loop";
    DestroyMenu(menu);
}

}  // namespace
