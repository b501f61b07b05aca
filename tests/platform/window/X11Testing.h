#pragma once
// The X11 tests' start: a private Xvfb, our X11 driver on it as the window system's display, and
// a second connection (the probe) that plays the person and the desktop. Xlib itself stays out
// of this header: its macros must not reach the headers a test includes before it.

#include "platform/drivers/X11Driver.h"
#include "tests/platform/window/WindowTesting.h"
#include "tests/support/XvfbServer.h"

typedef struct _XDisplay Display;

// Our driver on `server`, made the window system's display; null when it does not open.
X11Driver* UseX11(const XvfbServer& server);

class X11Test : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    XvfbServer server;
    X11Driver* driver = nullptr;
    Display* probe = nullptr;
    Recorder& recorder = Recorder::Instance();
};
