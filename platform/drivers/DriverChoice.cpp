#include "platform/drivers/DriverChoice.h"

#include <cstdlib>
#include <cstring>

#include "platform/drivers/HeadlessDriver.h"
#include "platform/drivers/X11Driver.h"
#include "platform/window/WindowManager.h"

std::shared_ptr<DisplayDriver> DriverChoice::Choose() {
    const char* forced = std::getenv("QB_DISPLAY");
    if (!forced || std::strcmp(forced, "headless") != 0) {
        if (auto x11 = X11Driver::Open(nullptr)) return x11;
    }
    return std::make_shared<HeadlessDriver>(SIZE{1280, 1024});
}

const char* DriverChoice::Install() {
    auto driver = Choose();
    const char* name = driver->Name();
    WindowManager::Instance().UseDriver(std::move(driver));
    return name;
}
