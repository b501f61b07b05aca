#pragma once
// The display a program with a user interface shows its windows on: X11 when a display answers
// ($DISPLAY), headless otherwise; QB_DISPLAY=headless forces headless.

#include <memory>

#include "platform/window/DisplayDriver.h"

class DriverChoice {
public:
    static std::shared_ptr<DisplayDriver> Choose();
    // Chooses one and makes it the window system's display; its name ("x11", "headless").
    static const char* Install();
};
