#pragma once
// The display of a program that installed none: windows work, nothing is shown, no input comes.
// A program with a user interface installs a real driver at start (platform/drivers).

#include "platform/window/DisplayDriver.h"

class NoDisplay : public DisplayDriver {
public:
    const char* Name() const override { return "none"; }
    SIZE ScreenSize() override { return SIZE{1280, 1024}; }
    void Create(HWND, const RECT&, bool, const std::string&) override {}
    void Destroy(HWND) override {}
    void Show(HWND, bool, bool) override {}
    void Move(HWND, const RECT&) override {}
    void SetTitle(HWND, const std::string&) override {}
    void Present(HWND, const Surface&, const RECT&) override {}
    void SetCursor(HCURSOR) override {}
};
