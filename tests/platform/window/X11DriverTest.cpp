// The X11 driver against a real X server (Xvfb): what the windows paint is on the server, and
// what the server reports comes back as messages. A second connection plays the person and the
// desktop.

#include <atomic>
#include <thread>

#include "tests/platform/window/X11Testing.h"

// Xlib last: its macros must not reach the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255);

class X11DriverTest : public X11Test {
protected:
    // The colour the server shows at a screen point.
    COLORREF OnServer(int x, int y) {
        XImage* image = XGetImage(probe, DefaultRootWindow(probe), x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image) return CLR_INVALID;
        const unsigned long p = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

    void Send(unsigned long xid, XEvent event, long mask) {
        XSendEvent(probe, xid, True, mask, &event);
        XFlush(probe);
    }
};

void Fill(HWND h, COLORREF color) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(h, &ps);
    HBRUSH brush = CreateSolidBrush(color);
    RECT all;
    GetClientRect(h, &all);
    FillRect(hdc, &all, brush);
    DeleteObject(brush);
    EndPaint(h, &ps);
}

TEST_F(X11DriverTest, WhatWindowsPaintIsOnTheServer) {
    HWND top = recorder.Create(nullptr, RECT{20, 30, 140, 110}, WS_OVERLAPPEDWINDOW);
    HWND child = recorder.Create(top, RECT{10, 10, 50, 40});
    recorder.On(WM_PAINT, [&](HWND h, UINT, WPARAM, LPARAM, bool&) -> LRESULT {
        Fill(h, h == child ? kBlue : kRed);
        return 0;
    });
    SetWindowTextA(top, "Quillbridge Log Viewer");
    ShowWindow(top, SW_SHOW);
    // The window is on the screen once the server has mapped it and our pixels went there.
    EXPECT_TRUE(PumpUntil([&] { return OnServer(25, 35) == kRed && OnServer(35, 45) == kBlue; }))
        << "the server shows " << std::hex << OnServer(25, 35) << " and " << OnServer(35, 45);

    const unsigned long xid = driver->XWindowOf(top);
    ASSERT_NE(xid, 0u);
    char* name = nullptr;
    ASSERT_TRUE(XFetchName(probe, xid, &name));
    EXPECT_STREQ(name, "Quillbridge Log Viewer");
    XFree(name);

    // Repainting reaches the server too.
    recorder.On(WM_PAINT, [&](HWND h, UINT, WPARAM, LPARAM, bool&) -> LRESULT {
        Fill(h, h == child ? kRed : kBlue);
        return 0;
    });
    InvalidateRect(top, nullptr, FALSE);
    InvalidateRect(child, nullptr, FALSE);
    EXPECT_TRUE(PumpUntil([&] { return OnServer(25, 35) == kBlue && OnServer(35, 45) == kRed; }));
    std::printf("shared memory: %s\n", driver->UsesSharedMemory() ? "yes" : "no");
}

TEST_F(X11DriverTest, TheServersEventsComeBackAsMessages) {
    HWND top = recorder.Create(nullptr, RECT{100, 100, 300, 250}, WS_OVERLAPPEDWINDOW);
    HWND child = recorder.Create(top, RECT{10, 10, 60, 60});
    ShowWindow(top, SW_SHOW);
    const unsigned long xid = driver->XWindowOf(top);
    XWindowAttributes attributes{};
    ASSERT_TRUE(PumpUntil([&] {
        XGetWindowAttributes(probe, xid, &attributes);
        return attributes.map_state == IsViewable;
    }));

    // A click inside the child.
    XEvent press{};
    press.xbutton.type = ButtonPress;
    press.xbutton.window = xid;
    press.xbutton.root = DefaultRootWindow(probe);
    press.xbutton.x = 20;
    press.xbutton.y = 25;
    press.xbutton.x_root = 120;
    press.xbutton.y_root = 125;
    press.xbutton.button = Button1;
    press.xbutton.same_screen = True;
    press.xbutton.time = 5000;
    Send(xid, press, ButtonPressMask);
    XEvent release = press;
    release.xbutton.type = ButtonRelease;
    Send(xid, release, ButtonReleaseMask);
    EXPECT_TRUE(PumpUntil([&] { return recorder.Count(child, WM_LBUTTONUP) == 1; }));
    for (const Seen& s : recorder.Log()) {
        if (s.hwnd == child && s.message == WM_LBUTTONDOWN) {
            EXPECT_EQ(s.lParam, MAKELPARAM(10, 15));
        }
    }

    // The desktop moves the window.
    XMoveResizeWindow(probe, xid, 50, 60, 250, 180);
    XFlush(probe);
    RECT r{};
    EXPECT_TRUE(PumpUntil([&] {
        GetWindowRect(top, &r);
        return r.left == 50 && r.top == 60 && r.right == 300 && r.bottom == 240;
    })) << r.left
        << "," << r.top << "," << r.right << "," << r.bottom;

    // The desktop's close button.
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = xid;
    close.xclient.message_type = XInternAtom(probe, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(probe, "WM_DELETE_WINDOW", False));
    Send(xid, close, NoEventMask);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(top); }));
    EXPECT_EQ(recorder.Count(top, WM_CLOSE), 1);
}

TEST_F(X11DriverTest, AWindowShownMaximizedAsksTheDesktopForIt) {
    HWND top = recorder.Create(nullptr, RECT{10, 10, 110, 110}, WS_OVERLAPPEDWINDOW);
    ShowWindow(top, SW_SHOWMAXIMIZED);
    const unsigned long xid = driver->XWindowOf(top);
    const Atom state = XInternAtom(probe, "_NET_WM_STATE", False);
    // The driver's request reaches the server in its own time: look until both states are there.
    unsigned long count = 0;
    EXPECT_TRUE(PumpUntil([&] {
        Atom type;
        int format;
        unsigned long after;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(probe, xid, state, 0, 16, False, XA_ATOM, &type, &format, &count, &after, &data) !=
            Success)
            count = 0;
        if (data) XFree(data);
        return count == 2;
    })) << count << " states";
    RECT r;
    GetWindowRect(top, &r);
    EXPECT_EQ(r.right - r.left, 1024) << "the screen's width";
}

// The driver's own state (its windows, the current cursor, whether pixels go through shared
// memory) is read and written under its lock, by the windows' threads and its event thread alike:
// a ThreadSanitizer build sees any access without it.
TEST_F(X11DriverTest, CursorsSetOnOneThreadWhileAnotherMakesWindows) {
    const HCURSOR shapes[] = {LoadCursorA(nullptr, IDC_IBEAM), LoadCursorA(nullptr, IDC_ARROW)};
    std::atomic<bool> done{false};
    std::thread pointer([&] {
        for (int i = 0; !done; ++i) {
            SetCursor(shapes[i % 2]);
            driver->UsesSharedMemory();
        }
        SetCursor(shapes[0]);
    });
    for (int i = 0; i < 100; ++i) {
        HWND top = recorder.Create(nullptr, RECT{10 + i, 10, 60 + i, 60}, WS_POPUP | WS_VISIBLE);
        ASSERT_NE(driver->XWindowOf(top), 0u);
        UpdateWindow(top);
        DestroyWindow(top);
        EXPECT_EQ(driver->XWindowOf(top), 0u);
    }
    done = true;
    pointer.join();
    EXPECT_EQ(GetCursor(), shapes[0]);
}

}  // namespace
