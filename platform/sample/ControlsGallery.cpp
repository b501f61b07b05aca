// controls-gallery: one window with the common controls the viewer hosts, for eyes-on checks on
// both display drivers: a read-only multi-line edit holding a large text (white, as the viewer's
// debug log box), static texts, an icon, a one-pixel grey separator, an etched line, push
// buttons (the default one framed), a check box, radio buttons in a group box and a single-line
// edit. The frame at the bottom keeps room for the report list.
//
//   controls-gallery                       on the X display, or headless without one
//   controls-gallery --seconds N           ends by itself after N seconds
//   controls-gallery --snapshot FILE.png   headless: paints, saves a snapshot, ends

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/controls/Button.h"
#include "platform/controls/CommCtrl.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/Edit.h"
#include "platform/controls/FileDialog.h"
#include "platform/controls/Static.h"
#include "platform/drivers/DriverChoice.h"
#include "platform/drivers/HeadlessDriver.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/ResourceImages.h"
#include "platform/graphics/SystemColors.h"
#include "platform/window/Windows.h"

namespace {

constexpr int kIcon = 1, kTitle = 2, kVersion = 3, kSeparator = 4, kLog = 5, kGroup = 6, kCheck = 7, kRadioA = 8,
              kRadioB = 9, kNameLabel = 10, kName = 11, kOk = 12, kCancel = 13, kEtched = 14, kListRoom = 15,
              kListLabel = 16, kStatus = 17, kOpenDialog = 18, kOpenSave = 19;
constexpr int kIconResource = 128;
constexpr int kLogLines = 100000;

HFONT gBold = nullptr;

// A dialog from a template: a label naming an edit, a check box, OK and Cancel; it answers the
// number typed, or 0 when cancelled.
DialogTemplate SampleDialog() {
    DialogTemplate t;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT;
    t.caption = "Go To Line";
    t.fontFace = "MS Sans Serif";
    t.pointSize = 8;
    t.cx = 180;
    t.cy = 64;
    const DWORD stop = WS_VISIBLE | WS_TABSTOP | WS_GROUP;
    t.items = {
        {Static::kClassName, "&Line number:", IDC_STATIC, WS_VISIBLE, 0, 7, 9, 50, 8},
        {Edit::kClassName, "1", 100, stop | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 60, 7, 113, 12},
        {Button::kClassName, "&Select the line", 101, stop | BS_AUTOCHECKBOX, 0, 60, 24, 113, 10},
        {Button::kClassName, "OK", IDOK, stop | BS_DEFPUSHBUTTON, 0, 69, 43, 50, 14},
        {Button::kClassName, "Cancel", IDCANCEL, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 123, 43, 50, 14},
    };
    return t;
}

INT_PTR CALLBACK SampleDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(hwnd, LOWORD(wParam) == IDOK ? GetDlgItemInt(hwnd, 100, nullptr, FALSE) : 0);
        return TRUE;
    }
    return FALSE;
}

// The Save dialog as the viewer's Export command asks for it.
std::string AskExportPath(HWND owner) {
    char path[260] = "";
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = "Text files(*.txt)\0*.txt\0All Files(*.*)\0*.*\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    ofn.lpstrDefExt = "txt";
    ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER;
    return GetSaveFileNameA(&ofn) ? path : "(cancelled)";
}

// The program's icon in pixel art: a blue disc with a white ring.
std::string IconArt() {
    std::string art = "32 32\ncolor . none\ncolor b 0A246A\ncolor w FFFFFF\n";
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const double d = std::hypot(x - 15.5, y - 15.5);
            art += d > 15 ? '.' : (d > 8 && d < 11) ? 'w' : 'b';
        }
        art += '\n';
    }
    return art;
}

std::string LogText() {
    std::string text;
    text.reserve(static_cast<std::size_t>(kLogLines) * 90);
    char line[160];
    for (int i = 1; i <= kLogLines; ++i) {
        std::snprintf(line, sizeof line, "%02d/%02d/2026 %02d:%02d:%02d\tQuillbridge service\tline %d of the debug log%s\r\n",
                      i % 12 + 1, i % 28 + 1, i / 3600 % 24, i / 60 % 60, i % 60, i,
                      i % 7 == 0 ? ", with a somewhat longer description than the others have" : "");
        text += line;
    }
    return text;
}

HWND Child(HWND parent, const char* cls, const char* text, DWORD style, int id, DWORD exStyle = 0) {
    return CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr, nullptr);
}

void Place(HWND frame, int id, int x, int y, int width, int height) {
    MoveWindow(GetDlgItem(frame, id), x, y, width, height, TRUE);
}

void Status(HWND frame, const std::string& text) {
    SetWindowTextA(GetDlgItem(frame, kStatus), text.c_str());
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            HFONT gui = GetStockObject(DEFAULT_GUI_FONT);
            LOGFONTA bold{};
            GetObjectA(gui, sizeof bold, &bold);
            bold.lfWeight = FW_HEAVY;
            gBold = CreateFontIndirectA(&bold);
            Child(hwnd, Static::kClassName, ("#" + std::to_string(kIconResource)).c_str(), SS_ICON, kIcon);
            Child(hwnd, Static::kClassName, "Quillbridge Log Viewer", SS_LEFT | SS_NOPREFIX, kTitle);
            Child(hwnd, Static::kClassName, "Version 1.0.1 - &controls gallery (the & underlines)", SS_LEFT, kVersion);
            Child(hwnd, Static::kClassName, "", SS_GRAYFRAME, kSeparator);
            const DWORD logStyle = WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL |
                                   ES_AUTOHSCROLL | ES_READONLY | ES_WANTRETURN;
            Child(hwnd, Edit::kClassName, "", logStyle, kLog, WS_EX_CLIENTEDGE);
            Child(hwnd, Button::kClassName, "Options", BS_GROUPBOX, kGroup);
            Child(hwnd, Button::kClassName, "&Show the preview", BS_AUTOCHECKBOX | WS_TABSTOP, kCheck);
            Child(hwnd, Button::kClassName, "&All levels", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, kRadioA);
            Child(hwnd, Button::kClassName, "&Errors only", BS_AUTORADIOBUTTON, kRadioB);
            Child(hwnd, Static::kClassName, "File &name:", SS_LEFT, kNameLabel);
            Child(hwnd, Edit::kClassName, "quillbridge-debug.txt", ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, kName,
                  WS_EX_CLIENTEDGE);
            Child(hwnd, Button::kClassName, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, kOk);
            Child(hwnd, Button::kClassName, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, kCancel);
            Child(hwnd, Button::kClassName, "&Dialog...", BS_PUSHBUTTON | WS_TABSTOP, kOpenDialog);
            Child(hwnd, Button::kClassName, "Sa&ve...", BS_PUSHBUTTON | WS_TABSTOP, kOpenSave);
            Child(hwnd, Static::kClassName, "", SS_ETCHEDHORZ, kEtched);
            Child(hwnd, Static::kClassName, "", SS_ETCHEDFRAME, kListRoom);
            Child(hwnd, Static::kClassName, "Room for the report list", SS_CENTER, kListLabel);
            Child(hwnd, Static::kClassName, "Click, type, select and scroll.", SS_LEFTNOWORDWRAP, kStatus);
            for (int id = kTitle; id <= kOpenSave; ++id)
                SendMessageA(GetDlgItem(hwnd, id), WM_SETFONT, reinterpret_cast<WPARAM>(id == kTitle ? gBold : gui),
                             FALSE);
            // The log box keeps the system font, as the viewer's does.
            SendMessageA(GetDlgItem(hwnd, kLog), WM_SETFONT, 0, FALSE);
            SetWindowTextA(GetDlgItem(hwnd, kLog), LogText().c_str());
            SendMessageA(GetDlgItem(hwnd, kRadioA), BM_SETCHECK, BST_CHECKED, 0);
            return 0;
        }
        case WM_SIZE: {
            const int width = LOWORD(lParam), height = HIWORD(lParam);
            const int right = width - 10, column = right - 230;
            Place(hwnd, kIcon, 10, 10, 32, 32);
            Place(hwnd, kTitle, 52, 12, 300, 14);
            Place(hwnd, kVersion, 52, 28, 400, 14);
            Place(hwnd, kSeparator, 10, 50, right - 10, 1);
            const int logBottom = height / 2 + 40;
            Place(hwnd, kLog, 10, 60, column - 20, logBottom - 60);
            Place(hwnd, kGroup, column, 56, 230, 86);
            Place(hwnd, kCheck, column + 10, 74, 210, 18);
            Place(hwnd, kRadioA, column + 10, 96, 210, 18);
            Place(hwnd, kRadioB, column + 10, 116, 210, 18);
            Place(hwnd, kNameLabel, column, 156, 230, 14);
            Place(hwnd, kName, column, 172, 230, 21);
            Place(hwnd, kEtched, column, 206, 230, 2);
            Place(hwnd, kOk, right - 158, 218, 75, 23);
            Place(hwnd, kCancel, right - 75, 218, 75, 23);
            Place(hwnd, kOpenDialog, right - 158, 250, 75, 23);
            Place(hwnd, kOpenSave, right - 75, 250, 75, 23);
            Place(hwnd, kListRoom, 10, logBottom + 10, right - 10, height - logBottom - 46);
            Place(hwnd, kListLabel, 20, logBottom + 20, right - 30, 14);
            Place(hwnd, kStatus, 10, height - 26, right - 10, 16);
            return 0;
        }
        case WM_CTLCOLORSTATIC:
            // White behind the read-only log, as the viewer's view answers for its debug text box.
            if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == kLog) {
                SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
                return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
            }
            break;
        case WM_COMMAND: {
            const int id = LOWORD(wParam), code = HIWORD(wParam);
            if (code == BN_CLICKED && id >= kCheck && id <= kCancel)
                Status(hwnd, "clicked " + std::to_string(id) +
                                 (id == kCheck ? ", checked " + std::to_string(SendMessageA(reinterpret_cast<HWND>(lParam),
                                                                                            BM_GETCHECK, 0, 0))
                                               : std::string()));
            if (code == BN_CLICKED && id == kOpenDialog) {
                const DialogTemplate sample = SampleDialog();
                const INT_PTR answer = DialogBoxIndirectParamA(nullptr, &sample, hwnd, SampleDialogProc, 0);
                Status(hwnd, "the dialog answered " + std::to_string(answer));
            }
            if (code == BN_CLICKED && id == kOpenSave) Status(hwnd, "save to " + AskExportPath(hwnd));
            if (code == EN_CHANGE && id == kName) {
                char name[256];
                GetWindowTextA(reinterpret_cast<HWND>(lParam), name, sizeof name);
                Status(hwnd, std::string("name: ") + name);
            }
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
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
            std::fprintf(stderr, "usage: controls-gallery [--seconds N] [--snapshot FILE.png]\n");
            return 2;
        }
    }
    HeadlessDriver* headless = snapshot ? &HeadlessDriver::Install(SIZE{1280, 1024}) : nullptr;
    if (!headless) DriverChoice::Install();
    InitCommonControls();
    ResourceImages::AddIcon(kIconResource, IconArt());

    WNDCLASSA cls{};
    cls.lpfnWndProc = FrameProc;
    cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1);
    cls.lpszClassName = "GalleryFrame";
    RegisterClassA(&cls);
    HWND frame = CreateWindowExA(0, "GalleryFrame", "Controls gallery", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 60, 60,
                                 960, 680, nullptr, nullptr, nullptr, nullptr);
    if (!frame) {
        std::fprintf(stderr, "controls-gallery: the window could not be created\n");
        return 1;
    }
    ShowWindow(frame, SW_SHOW);
    UpdateWindow(frame);
    if (seconds > 0)
        SetTimer(nullptr, 0, static_cast<UINT>(seconds * 1000),
                 [](HWND, UINT, std::uintptr_t, DWORD) { PostQuitMessage(0); });

    MSG msg;
    if (headless) {
        // Input waits in the queue until taken: each step is taken before the next one starts.
        const auto pump = [&] {
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        };
        const auto chord = [&](int modifier, int vk) {
            headless->Key(modifier, true);
            headless->KeyPress(vk);
            headless->Key(modifier, false);
            pump();
        };
        // A check, a name typed, then the log scrolled to its end with its last lines selected.
        POINT check{5, 5};
        ClientToScreen(GetDlgItem(frame, kCheck), &check);
        headless->Click(check);
        pump();
        SetFocus(GetDlgItem(frame, kName));
        chord(VK_CONTROL, VK_END);
        for (int i = 0; i < 4; ++i) headless->KeyPress(VK_BACK);
        headless->Type(".log");
        pump();
        SetFocus(GetDlgItem(frame, kLog));
        chord(VK_CONTROL, VK_END);
        chord(VK_SHIFT, VK_UP);
        chord(VK_SHIFT, VK_UP);
        UpdateWindow(frame);
        pump();
        const std::string error = headless->Snapshot(frame, snapshot);
        DestroyWindow(frame);
        if (gBold) DeleteObject(gBold);
        if (!error.empty()) {
            std::fprintf(stderr, "controls-gallery: %s\n", error.c_str());
            return 1;
        }
        std::printf("snapshot written to %s\n", snapshot);
        return 0;
    }

    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (IsWindow(frame)) DestroyWindow(frame);
    if (gBold) DeleteObject(gBold);
    return 0;
}
