#include "platform/drivers/DisplayDriver.h"

#include <cstdlib>
#include <cstring>

#include "platform/drivers/HeadlessDriver.h"
#include "platform/drivers/X11Driver.h"

std::unique_ptr<DisplayDriver> DisplayDriver::Choose() {
    const char* forced = std::getenv("QB_DISPLAY");
    if (!forced || std::strcmp(forced, "headless") != 0) {
        if (auto x11 = X11Driver::Open(nullptr)) return x11;
    }
    return std::make_unique<HeadlessDriver>(SIZE{1280, 1024});
}
