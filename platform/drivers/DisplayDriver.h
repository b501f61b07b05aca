#pragma once
// What the window system needs of a display: top-level windows to show its surfaces in, and the
// input and window events it reports back through InputRouter. Two drivers: headless (tests,
// snapshots) and X11.

#include <memory>
#include <optional>
#include <string>

#include "platform/graphics/Surface.h"
#include "platform/window/WindowTypes.h"

class DisplayDriver {
public:
    virtual ~DisplayDriver() = default;

    // X11 when a display answers ($DISPLAY), headless otherwise; QB_DISPLAY=headless forces it.
    static std::unique_ptr<DisplayDriver> Choose();

    virtual const char* Name() const = 0;
    virtual SIZE ScreenSize() = 0;
    // A top-level window: its screen rectangle; a popup gets no frame from the desktop.
    virtual void Create(HWND hwnd, const RECT& screen, bool popup, const std::string& title) = 0;
    virtual void Destroy(HWND hwnd) = 0;
    virtual void Show(HWND hwnd, bool shown, bool maximized) = 0;
    virtual void Move(HWND hwnd, const RECT& screen) = 0;
    virtual void SetTitle(HWND hwnd, const std::string& title) = 0;
    // `area` (window coordinates) of the window's pixels is ready for the screen.
    virtual void Present(HWND hwnd, const Surface& surface, const RECT& area) = 0;
    virtual void SetCursor(HCURSOR cursor) = 0;
    // While a menu is open the pointer's input must reach us wherever the pointer is, so that a
    // click outside the program closes the menu: the top-level `hwnd` takes it all until
    // UngrabPointer. False when the desktop refused. A driver whose input always reaches the
    // capture needs nothing here.
    virtual bool GrabPointer(HWND) { return true; }
    virtual void UngrabPointer() {}
    // The desktop's clipboard, in the window system's text form (byte strings, CR LF line ends):
    // false when the desktop refused the text; nothing when there is no text or its owner did
    // not answer in time. A driver without a clipboard has none.
    virtual bool SetClipboardText(const std::string&) { return false; }
    virtual std::optional<std::string> ClipboardText() { return std::nullopt; }
};
