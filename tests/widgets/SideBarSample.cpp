// side-bar-sample: three side bars for eyes-on checks. Left, the viewer's own bar as its frame
// makes it (one folder, one item, marked selection); middle, large icons scrolled so that both
// arrows show; right, small icons with the second of three folders open.
//
//   side-bar-sample                        on the X display, or headless without one
//   side-bar-sample --seconds N            ends by itself after N seconds
//   side-bar-sample --snapshot FILE.png    headless: the pointer over a header, then a snapshot
//   side-bar-sample --xshot FILE.png       on the X display: the window as the server shows it

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/drivers/DriverChoice.h"
#include "platform/drivers/HeadlessDriver.h"
#include "platform/framework/CImageList.h"
#include "platform/graphics/Images.h"
#include "platform/graphics/PngFile.h"
#include "platform/window/Windows.h"
#include "resources/ImageResources.h"
#include "widgets/CSideBarCtrl.h"

// Xlib last: its macros must not reach the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

class SampleBar : public CSideBarCtrl {
public:
    void ScrollTo(int item) {
        firstItem = item;
        Invalidate();
    }
};

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// The window's pixels as the X server shows them.
std::string XShot(HWND hwnd, const char* path) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return "no X display";
    RECT r;
    GetWindowRect(hwnd, &r);
    XImage* image = XGetImage(display, DefaultRootWindow(display), r.left, r.top, r.right - r.left, r.bottom - r.top,
                              AllPlanes, ZPixmap);
    std::string error = image ? "" : "the window could not be read";
    if (image) {
        Surface surface(image->width, image->height);
        for (int y = 0; y < image->height; ++y)
            for (int x = 0; x < image->width; ++x)
                surface.Row(y)[x] = static_cast<std::uint32_t>(XGetPixel(image, x, y) & 0xFFFFFF);
        XDestroyImage(image);
        error = PngFile::Write(surface, path);
    }
    XCloseDisplay(display);
    return error;
}

}  // namespace

int main(int argc, char** argv) {
    const char* snapshot = nullptr;
    const char* xshot = nullptr;
    long seconds = 0;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--snapshot") && i + 1 < argc) {
            snapshot = argv[++i];
        } else if (!std::strcmp(argv[i], "--xshot") && i + 1 < argc) {
            xshot = argv[++i];
        } else if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc) {
            seconds = std::strtol(argv[++i], nullptr, 10);
        } else {
            std::fprintf(stderr, "usage: side-bar-sample [--seconds N] [--snapshot FILE.png | --xshot FILE.png]\n");
            return 2;
        }
    }
    HeadlessDriver* headless = snapshot ? &HeadlessDriver::Install() : nullptr;
    if (!headless) DriverChoice::Install();
    if (const std::string error = RegisterImageResources(); !error.empty()) {
        std::fprintf(stderr, "side-bar-sample: %s\n", error.c_str());
        return 1;
    }

    CWnd frame;
    if (!frame.CreateEx(0, AFX_WNDFRAMEORVIEW, "Side bar", WS_OVERLAPPEDWINDOW, 100, 100, 440, 300, nullptr,
                        nullptr)) {
        std::fprintf(stderr, "side-bar-sample: the window could not be created\n");
        return 1;
    }
    // The lists as the frame makes them: icon 129 at both sizes.
    CImageList large, small;
    large.Create(32, 32, ILC_COLOR32 | ILC_MASK, 2, 1);
    small.Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 1);
    large.Add(LoadIconA(nullptr, MAKEINTRESOURCEA(129)));
    small.Add(LoadIconA(nullptr, MAKEINTRESOURCEA(129)));

    CRect client;
    frame.GetClientRect(&client);
    const int width = client.Width() / 3;
    SampleBar bars[3];
    for (int b = 0; b < 3; ++b) {
        SampleBar& bar = bars[b];
        const DWORD flags = b == 0 ? CSideBarCtrl::MarkSelection : b == 1 ? 0 : CSideBarCtrl::SmallIcons;
        bar.Create(WS_CHILD | WS_VISIBLE, CRect(), &frame, 100 + b, flags);
        bar.ModifyStyleEx(WS_EX_STATICEDGE, 0, SWP_FRAMECHANGED);
        bar.SetOwner(&frame);
        bar.SetDefaultImageList(&large, CSideBarCtrl::LargeImageList);
        bar.SetDefaultImageList(&small, CSideBarCtrl::SmallImageList);
        bar.AppendFolder("Logs", 0);
        bar.InsertFolderItem(0, 0, "Quillbridge Log", 0, 0);
        bar.MoveWindow(b * width + (b ? 4 : 0), 0, width - (b ? 4 : 0), client.Height());
    }
    bars[0].SelectFolder(0);
    bars[0].SelectItem(0);
    for (const char* label : {"Debug Log", "Connection history", "Exports", "Settings", "About"})
        bars[1].InsertFolderItem(0, -1, label, 0, 0);
    bars[1].AppendFolder("Filters", 0);
    bars[1].ScrollTo(1);
    bars[2].AppendFolder("Filters", 0);
    bars[2].AppendFolder("Tools", 0);
    for (const char* label : {"Last day", "Last week", "Errors only", "Everything"})
        bars[2].InsertFolderItem(1, -1, label, 0, 0);
    bars[2].SelectFolder(1);
    frame.ShowWindow(SW_SHOW);
    frame.UpdateWindow();

    if (headless) {
        POINT over{width / 2, 10};
        ClientToScreen(bars[2].m_hWnd, &over);
        headless->MoveMouse(over);
        Pump();
        const std::string error = headless->Snapshot(frame.m_hWnd, snapshot);
        if (!error.empty()) std::fprintf(stderr, "side-bar-sample: %s\n", error.c_str());
        return error.empty() ? 0 : 1;
    }
    if (xshot) seconds = 1;
    if (seconds > 0)
        SetTimer(nullptr, 0, static_cast<UINT>(seconds * 1000),
                 [](HWND, UINT, std::uintptr_t, DWORD) { PostQuitMessage(0); });
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0 && IsWindow(frame.m_hWnd)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (xshot && IsWindow(frame.m_hWnd)) {
        const std::string error = XShot(frame.m_hWnd, xshot);
        if (!error.empty()) std::fprintf(stderr, "side-bar-sample: %s\n", error.c_str());
        return error.empty() ? 0 : 1;
    }
    return 0;
}
