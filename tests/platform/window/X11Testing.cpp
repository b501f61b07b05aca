#include "tests/platform/window/X11Testing.h"

#include <X11/Xlib.h>

X11Driver* UseX11(const XvfbServer& server) {
    auto opened = X11Driver::Open(server.Display().c_str());
    X11Driver* driver = opened.get();
    if (driver) UseDisplay(std::move(opened));
    return driver;
}

void X11Test::SetUp() {
    ASSERT_TRUE(server.Started()) << server.Error();
    driver = UseX11(server);
    ASSERT_NE(driver, nullptr);
    probe = XOpenDisplay(server.Display().c_str());
    ASSERT_NE(probe, nullptr);
    recorder.Clear();
}

void X11Test::TearDown() {
    DestroyAllWindows();
    PumpAll();
    // The driver goes before its server does.
    UseDisplay(std::make_unique<HeadlessDriver>(SIZE{640, 480}));
    if (probe) XCloseDisplay(probe);
    recorder.Clear();
}
