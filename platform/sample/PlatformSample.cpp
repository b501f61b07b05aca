// platform-sample: a window with a few children, painting, a timer, and mouse and keyboard input
// echoed on the window and on standard output. For eyes-on checks of the display drivers.
//
//   platform-sample                       on the X display, or headless without one
//   platform-sample --seconds N           ends by itself after N seconds
//   platform-sample --snapshot FILE.png   headless: paints, saves a snapshot, ends

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/drivers/DriverChoice.h"
#include "platform/drivers/HeadlessDriver.h"
#include "platform/graphics/Edges.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/TextOutput.h"
#include "platform/window/Windows.h"

namespace {

constexpr int kEchoId = 1, kClockId = 2, kSwatchId = 3;
constexpr std::uintptr_t kClockTimer = 1;

int gTicks = 0;
bool gSwatchOn = false;
std::string gLastInput = "Move the mouse, click, type.";

void Echo(const std::string& what) {
    gLastInput = what;
    std::printf("%s\n", what.c_str());
    std::fflush(stdout);
}

void DrawLabel(HDC hdc, const RECT& r, const std::string& text, COLORREF back) {
    HBRUSH brush = CreateSolidBrush(back);
    FillRect(hdc, &r, brush);
    DeleteObject(brush);
    HGDIOBJ old = SelectObject(hdc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(hdc, TRANSPARENT);
    RECT inside = r;
    InflateRect(&inside, -4, -2);
    DrawTextA(hdc, text.c_str(), -1, &inside, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    SelectObject(hdc, old);
}

LRESULT CALLBACK ChildProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const int id = GetDlgCtrlID(hwnd);
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC hdc = BeginPaint(hwnd, &ps);
            RECT r;
            GetClientRect(hwnd, &r);
            if (id == kEchoId) DrawLabel(hdc, r, gLastInput, GetSysColor(COLOR_WINDOW));
            if (id == kClockId) DrawLabel(hdc, r, "Timer ticks: " + std::to_string(gTicks), GetSysColor(COLOR_INFOBK));
            if (id == kSwatchId) {
                DrawLabel(hdc, r, gSwatchOn ? "On (click me)" : "Off (click me)",
                          gSwatchOn ? RGB(120, 200, 120) : GetSysColor(COLOR_3DFACE));
                DrawEdge(hdc, &r, gSwatchOn ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
            }
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_LBUTTONDOWN:
            if (id == kSwatchId) {
                gSwatchOn = !gSwatchOn;
                InvalidateRect(hwnd, nullptr, FALSE);
            }
            break;
        default:
            break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void Refresh(HWND frame, int id) { InvalidateRect(GetDlgItem(frame, id), nullptr, FALSE); }

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            auto child = [&](int id, DWORD exStyle) {
                CreateWindowExA(exStyle, "SampleChild", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, hwnd,
                                reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr, nullptr);
            };
            child(kEchoId, WS_EX_CLIENTEDGE);
            child(kClockId, WS_EX_STATICEDGE);
            child(kSwatchId, 0);
            SetTimer(hwnd, kClockTimer, 500, nullptr);
            return 0;
        }
        case WM_SIZE: {
            const int width = LOWORD(lParam), height = HIWORD(lParam);
            MoveWindow(GetDlgItem(hwnd, kEchoId), 10, 10, width - 20, 24, TRUE);
            MoveWindow(GetDlgItem(hwnd, kClockId), 10, 44, (width - 30) / 2, 24, TRUE);
            MoveWindow(GetDlgItem(hwnd, kSwatchId), 20 + (width - 30) / 2, 44, (width - 30) / 2, 24, TRUE);
            (void)height;
            return 0;
        }
        case WM_TIMER:
            ++gTicks;
            Refresh(hwnd, kClockId);
            return 0;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            const char* what = message == WM_MOUSEMOVE     ? "move"
                               : message == WM_LBUTTONDOWN ? "left button"
                               : message == WM_RBUTTONDOWN ? "right button"
                                                           : "double click";
            Echo(std::string(what) + " at " + std::to_string(GET_X_LPARAM(lParam)) + "," +
                 std::to_string(GET_Y_LPARAM(lParam)));
            Refresh(hwnd, kEchoId);
            return 0;
        }
        case WM_MOUSEWHEEL:
            Echo("wheel " + std::to_string(static_cast<short>(HIWORD(wParam))));
            Refresh(hwnd, kEchoId);
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            Echo((message == WM_SYSKEYDOWN ? "system key " : "key ") + std::to_string(wParam));
            Refresh(hwnd, kEchoId);
            break;
        case WM_CHAR: {
            const char c = static_cast<char>(wParam);
            Echo(c >= 32 ? std::string("typed '") + c + "'" : "typed control " + std::to_string(wParam));
            Refresh(hwnd, kEchoId);
            return 0;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC hdc = BeginPaint(hwnd, &ps);
            RECT r;
            GetClientRect(hwnd, &r);
            r.top = 78;
            HGDIOBJ old = SelectObject(hdc, GetStockObject(DEFAULT_GUI_FONT));
            SetBkMode(hdc, TRANSPARENT);
            InflateRect(&r, -10, 0);
            DrawTextA(hdc, "Quillbridge platform sample: windows, painting, timers and input.", -1, &r,
                      DT_LEFT | DT_WORDBREAK);
            SelectObject(hdc, old);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_DESTROY:
            KillTimer(hwnd, kClockTimer);
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void Register(const char* name, WNDPROC proc, UINT style) {
    WNDCLASSA cls{};
    cls.style = style;
    cls.lpfnWndProc = proc;
    cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1);
    cls.lpszClassName = name;
    RegisterClassA(&cls);
}

}  // namespace

int main(int argc, char** argv) {
    const char* snapshot = nullptr;
    long seconds = 0;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--snapshot") && i + 1 < argc) {
            snapshot = argv[++i];
        } else if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc) {
            seconds = std::strtol(argv[++i], nullptr, 10);
        } else {
            std::fprintf(stderr, "usage: platform-sample [--seconds N] [--snapshot FILE.png]\n");
            return 2;
        }
    }
    HeadlessDriver* headless = snapshot ? &HeadlessDriver::Install() : nullptr;
    if (!headless) std::printf("display: %s\n", DriverChoice::Install());

    Register("SampleFrame", FrameProc, CS_DBLCLKS);
    Register("SampleChild", ChildProc, 0);
    HWND frame = CreateWindowExA(0, "SampleFrame", "Platform sample", WS_OVERLAPPEDWINDOW, 100, 100, 480, 160, nullptr,
                                 nullptr, nullptr, nullptr);
    if (!frame) {
        std::fprintf(stderr, "platform-sample: the window could not be created\n");
        return 1;
    }
    ShowWindow(frame, SW_SHOW);
    UpdateWindow(frame);
    if (seconds > 0)
        SetTimer(nullptr, 0, static_cast<UINT>(seconds * 1000),
                 [](HWND, UINT, std::uintptr_t, DWORD) { PostQuitMessage(0); });

    if (headless) {
        // A click on the swatch and some typing, then the picture once the clock has ticked.
        POINT swatch{0, 0};
        ClientToScreen(GetDlgItem(frame, kSwatchId), &swatch);
        headless->Click(POINT{swatch.x + 5, swatch.y + 5});
        headless->Type("Hi");
        MSG msg;
        while (gTicks < 1 && GetMessageA(&msg, nullptr, 0, 0)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        const std::string error = headless->Snapshot(frame, snapshot);
        DestroyWindow(frame);
        if (!error.empty()) {
            std::fprintf(stderr, "platform-sample: %s\n", error.c_str());
            return 1;
        }
        std::printf("snapshot written to %s\n", snapshot);
        return 0;
    }

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (IsWindow(frame)) DestroyWindow(frame);
    return 0;
}
