#pragma once
// What the window system needs of a display: top-level windows to show its surfaces in, and the
// input and window events it reports back through InputRouter. The window system calls a driver
// without its lock held; a driver may call the window system from any of its own threads.
// The drivers (headless, X11) live in platform/drivers, above this layer; a program installs one
// with WindowManager::UseDriver.

#include <optional>
#include <string>

#include "platform/graphics/Surface.h"
#include "platform/window/WindowLock.h"
#include "platform/window/WindowTypes.h"

class DisplayDriver {
public:
    virtual ~DisplayDriver() = default;

    virtual const char* Name() const = 0;
    virtual SIZE ScreenSize() EXCLUDES(gWindowLock) = 0;
    // A top-level window: its screen rectangle; a popup gets no frame from the desktop.
    virtual void Create(HWND hwnd, const RECT& screen, bool popup, const std::string& title) EXCLUDES(gWindowLock) = 0;
    virtual void Destroy(HWND hwnd) EXCLUDES(gWindowLock) = 0;
    virtual void Show(HWND hwnd, bool shown, bool maximized) EXCLUDES(gWindowLock) = 0;
    virtual void Move(HWND hwnd, const RECT& screen) EXCLUDES(gWindowLock) = 0;
    virtual void SetTitle(HWND hwnd, const std::string& title) EXCLUDES(gWindowLock) = 0;
    // `area` (window coordinates) of the window's pixels is ready for the screen.
    virtual void Present(HWND hwnd, const Surface& surface, const RECT& area) EXCLUDES(gWindowLock) = 0;
    virtual void SetCursor(HCURSOR cursor) EXCLUDES(gWindowLock) = 0;
    // While a menu is open the pointer's input must reach us wherever the pointer is, so that a
    // click outside the program closes the menu: the top-level `hwnd` takes it all until
    // UngrabPointer. False when the desktop refused. A driver whose input always reaches the
    // capture needs nothing here.
    virtual bool GrabPointer(HWND) EXCLUDES(gWindowLock) { return true; }
    virtual void UngrabPointer() EXCLUDES(gWindowLock) {}
    // The desktop's clipboard, in the window system's text form (byte strings, CR LF line ends):
    // false when the desktop refused the text; nothing when there is no text or its owner did
    // not answer in time. A driver without a clipboard has none.
    virtual bool SetClipboardText(const std::string&) EXCLUDES(gWindowLock) { return false; }
    virtual std::optional<std::string> ClipboardText() EXCLUDES(gWindowLock) { return std::nullopt; }
};
