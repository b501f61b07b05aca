// widget-kit-sample: a frame on the icon-menu frame base with menus like the viewer's (icons from
// bitmap 135, captions set at run time), the flat toolbar made as the viewer's frame makes it
// (Clear disabled) and the side bar in the left column of a splitter, for eyes-on checks.
//
//   widget-kit-sample                        on the X display, or headless without one
//   widget-kit-sample --seconds N            ends by itself after N seconds
//   widget-kit-sample --snapshot FILE.png    headless: " &Log " opened by the keyboard with
//                                            "&Export..." selected, the frame and popup in one picture
//   widget-kit-sample --frame-snapshot FILE.png --toolbar-snapshot FILE.png
//                                            headless: the frame with the pointer over Refresh, and
//                                            the toolbar alone, twice enlarged
//   widget-kit-sample --xshot FILE.png       on the X display: the menu picture, as the server shows it

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "platform/controls/MenuRegistry.h"
#include "platform/controls/PopupMenuWindow.h"
#include "platform/drivers/DriverChoice.h"
#include "platform/drivers/HeadlessDriver.h"
#include "platform/framework/AfxMsg.h"
#include "platform/framework/AfxPriv.h"
#include "platform/framework/CCmdUI.h"
#include "platform/framework/CImageList.h"
#include "platform/framework/CView.h"
#include "platform/framework/StringTable.h"
#include "platform/graphics/Images.h"
#include "platform/graphics/PngFile.h"
#include "platform/window/Windows.h"
#include "resources/ImageResources.h"
#include "resources/ProgramResources.h"
#include "tests/widgets/ViewerMenu.h"
#include "widgets/CFlatToolBar.h"
#include "widgets/CHideableSplitter.h"
#include "widgets/CIconMenuFrameWnd.h"
#include "widgets/CSideBarCtrl.h"
#include "widgets/CreateSideBarSplitter.h"

// Xlib last: its macros must not reach the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

constexpr UINT kFrameId = 128;
constexpr RECT kFrameRect{60, 60, 620, 420};

// The right column: an empty view.
class SampleView : public CView {
    DECLARE_DYNCREATE(SampleView)

public:
    void OnDraw(CDC*) override {}
};
IMPLEMENT_DYNCREATE(SampleView, CView)

bool LoadImages(CImageList& list, UINT bitmap) {
    CBitmap pictures;
    return list.Create(16, 15, ILC_COLORDDB | ILC_MASK, 4, 0) && pictures.LoadBitmap(bitmap) &&
           list.Add(&pictures, RGB(192, 192, 192)) >= 0;
}

class SampleFrame : public CIconMenuFrameWnd {
public:
    // Run once when the menu loop next falls idle.
    std::function<void()> onMenuIdle;
    CFlatToolBar toolBar;

protected:
    DECLARE_MESSAGE_MAP()

    BOOL OnCreateClient(LPCREATESTRUCTA lpcs, CCreateContext* pContext) override {
        if (!CreateSideBarSplitter(this, splitter, RUNTIME_CLASS(SampleView), pContext, sideBar, largeIcons, smallIcons,
                                   129, "Logs", "Quillbridge Log"))
            return FALSE;
        sideBar.SelectItem(0);
        splitter.SetColumnInfo(0, 120, 0);
        splitter.SetColumnInfo(1, lpcs->cx / 5, 0);
        return TRUE;
    }

    int OnCreate(LPCREATESTRUCTA lpcs) {
        if (CIconMenuFrameWnd::OnCreate(lpcs) == -1) return -1;
        menuBar.LoadToolBar(viewer::kIconTable, RGB(192, 192, 192));
        viewer::SetCaptions(menuBar);
        if (!toolBar.CreateEx(this, TBSTYLE_FLAT,
                              WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_BORDER_BOTTOM | CBRS_TOOLTIPS | CBRS_FLYBY |
                                  CBRS_SIZE_DYNAMIC) ||
            !toolBar.LoadToolBar(kFrameId))
            return -1;
        if (LoadImages(normalImages, 138) && LoadImages(disabledImages, 139) && LoadImages(hotImages, 135)) {
            toolBar.SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(normalImages.m_hImageList));
            toolBar.SendMessage(TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(disabledImages.m_hImageList));
            toolBar.SendMessage(TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(hotImages.m_hImageList));
        }
        toolBar.EnableDocking(CBRS_ALIGN_ANY);
        EnableDocking(CBRS_ALIGN_ANY);
        DockControlBar(&toolBar);
        return 0;
    }
    void OnEnterIdle(UINT nWhy, CWnd*) {
        if (nWhy != MSGF_MENU || !onMenuIdle) return;
        const std::function<void()> step = std::move(onMenuIdle);
        onMenuIdle = nullptr;
        step();
    }
    // Commands do nothing here; the menu only has to show them enabled, but Clear, to show
    // the disabled look.
    void OnAnyCommand(UINT) {}
    void OnUpdateClear(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }

private:
    CHideableSplitter splitter;
    CSideBarCtrl sideBar;
    CImageList largeIcons, smallIcons;
    CImageList normalImages, disabledImages, hotImages;
};
BEGIN_MESSAGE_MAP(SampleFrame, CIconMenuFrameWnd)
ON_WM_CREATE()
ON_WM_ENTERIDLE()
ON_COMMAND_RANGE(32774, 32805, &SampleFrame::OnAnyCommand)
ON_COMMAND_RANGE(57664, 57665, &SampleFrame::OnAnyCommand)
ON_UPDATE_COMMAND_UI(viewer::kClear, &SampleFrame::OnUpdateClear)
END_MESSAGE_MAP()

// The frame with the popup over it, as a person sees the screen.
Surface Composite(const Surface& frame, const RECT& frameRect, const Surface& popup, const RECT& popupRect) {
    Surface out(frame.Width(), frame.Height());
    for (int y = 0; y < frame.Height(); ++y)
        for (int x = 0; x < frame.Width(); ++x) out.Row(y)[x] = frame.At(x, y);
    for (int y = 0; y < popup.Height(); ++y) {
        for (int x = 0; x < popup.Width(); ++x) {
            const int fx = popupRect.left - frameRect.left + x, fy = popupRect.top - frameRect.top + y;
            if (fx >= 0 && fy >= 0 && fx < out.Width() && fy < out.Height()) out.Row(fy)[fx] = popup.At(x, y);
        }
    }
    return out;
}

// The screen's pixels in a rectangle as the X server shows them.
std::string XShot(const RECT& r, const char* path) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return "no X display";
    XImage* image = XGetImage(display, DefaultRootWindow(display), r.left, r.top, r.right - r.left, r.bottom - r.top,
                              AllPlanes, ZPixmap);
    std::string error = image ? "" : "the screen could not be read";
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
    const char* toolbarSnapshot = nullptr;
    const char* frameSnapshot = nullptr;
    const char* xshot = nullptr;
    long seconds = 0;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--snapshot") && i + 1 < argc) {
            snapshot = argv[++i];
        } else if (!std::strcmp(argv[i], "--toolbar-snapshot") && i + 1 < argc) {
            toolbarSnapshot = argv[++i];
        } else if (!std::strcmp(argv[i], "--frame-snapshot") && i + 1 < argc) {
            frameSnapshot = argv[++i];
        } else if (!std::strcmp(argv[i], "--xshot") && i + 1 < argc) {
            xshot = argv[++i];
        } else if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc) {
            seconds = std::strtol(argv[++i], nullptr, 10);
        } else {
            std::fprintf(stderr,
                         "usage: widget-kit-sample [--seconds N] [--snapshot FILE.png] [--frame-snapshot FILE.png] "
                         "[--toolbar-snapshot FILE.png] [--xshot FILE.png]\n");
            return 2;
        }
    }
    HeadlessDriver* headless = snapshot || toolbarSnapshot || frameSnapshot ? &HeadlessDriver::Install() : nullptr;
    if (!headless) DriverChoice::Install();
    if (const std::string error = RegisterImageResources(); !error.empty()) {
        std::fprintf(stderr, "widget-kit-sample: %s\n", error.c_str());
        return 1;
    }
    RegisterProgramResources();  // toolbar 128 and the commands' prompts and tips
    StringTable::Register(kFrameId, "Quillbridge Log Viewer");
    MenuRegistry::Instance().Register(MAKEINTRESOURCEA(kFrameId), viewer::Menu());
    CIconMenu::SetMenuDrawMode(2);
    CIconMenu::SetIconVariants(1);

    SampleFrame frame;
    if (!frame.LoadFrame(kFrameId, WS_OVERLAPPEDWINDOW)) {
        std::fprintf(stderr, "widget-kit-sample: the frame could not be created\n");
        return 1;
    }
    frame.SetWindowPos(nullptr, kFrameRect.left, kFrameRect.top, kFrameRect.right - kFrameRect.left,
                       kFrameRect.bottom - kFrameRect.top, SWP_NOZORDER);
    frame.ShowWindow(SW_SHOW);
    frame.UpdateWindow();

    std::string error;
    if (headless && (toolbarSnapshot || frameSnapshot)) {
        // The buttons take their states as at idle time; then the pointer goes over Refresh.
        frame.toolBar.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
        CRect refresh, bar;
        frame.toolBar.GetItemRect(frame.toolBar.CommandToIndex(viewer::kRefresh), &refresh);
        frame.toolBar.ClientToScreen(&refresh);
        headless->MoveMouse(refresh.CenterPoint());
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        frame.toolBar.GetWindowRect(&bar);
        RECT frameRect;
        frame.GetWindowRect(&frameRect);
        const Surface all = headless->Pixels(frame.m_hWnd);
        if (frameSnapshot) error = PngFile::Write(all, frameSnapshot);
        if (toolbarSnapshot && error.empty()) {
            // The bar and a strip of what lies around it, each pixel as four.
            const int left = bar.left - frameRect.left, top = bar.top - frameRect.top - 4;
            Surface strip(2 * std::min(200, bar.Width()), 2 * (bar.Height() + 8));
            for (int y = 0; y < strip.Height(); ++y)
                for (int x = 0; x < strip.Width(); ++x) strip.Row(y)[x] = all.At(left + x / 2, top + y / 2);
            error = PngFile::Write(strip, toolbarSnapshot);
        }
        if (!snapshot) {
            if (!error.empty()) std::fprintf(stderr, "widget-kit-sample: %s\n", error.c_str());
            frame.DestroyWindow();
            return error.empty() ? 0 : 1;
        }
    }
    if (!error.empty()) {
        std::fprintf(stderr, "widget-kit-sample: %s\n", error.c_str());
        return 1;
    }
    if (headless || xshot) {
        // " &Log " by the keyboard, then down to "&Export..."; the picture while it is open.
        frame.onMenuIdle = [&] {
            for (int i = 0; i < 2; ++i) frame.PostMessage(WM_KEYDOWN, VK_DOWN, 0);
            frame.onMenuIdle = [&] {
                const HWND popup = PopupMenuWindow::WindowOf(::GetSubMenu(frame.menuBar.m_hMenu, 0));
                RECT frameRect, popupRect{};
                frame.GetWindowRect(&frameRect);
                if (popup) ::GetWindowRect(popup, &popupRect);
                if (!popup) {
                    error = "the popup did not open";
                } else if (headless) {
                    const Surface picture = Composite(headless->Pixels(frame.m_hWnd), frameRect,
                                                      headless->Pixels(popup), popupRect);
                    error = PngFile::Write(picture, snapshot);
                } else {
                    error = XShot(frameRect, xshot);
                }
                EndMenu();
            };
        };
        frame.SetFocus();
        frame.PostMessage(WM_SYSCOMMAND, SC_KEYMENU, 'l');
        MSG msg;
        while (frame.onMenuIdle && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (frame.onMenuIdle) error = "the menu did not open";
        if (!error.empty()) std::fprintf(stderr, "widget-kit-sample: %s\n", error.c_str());
        frame.DestroyWindow();
        return error.empty() ? 0 : 1;
    }
    if (seconds > 0)
        SetTimer(nullptr, 0, static_cast<UINT>(seconds * 1000),
                 [](HWND, UINT, std::uintptr_t, DWORD) { PostQuitMessage(0); });
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0 && IsWindow(frame.m_hWnd)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
