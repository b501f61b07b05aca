// controls-gallery: one window with the common controls the viewer hosts, for eyes-on checks on
// both display drivers: a menu bar whose items and popup frames the gallery draws itself, a flat
// toolbar with normal, hot and disabled pictures and tooltips, a read-only multi-line edit
// holding a large text (white, as the viewer's debug log box), static texts, an icon, a one-pixel
// grey separator, an etched line, push buttons (the default one framed), a check box, radio
// buttons in a group box, a single-line edit, buttons opening a dialog made from a template and
// the Save dialog (as the File menu's Export does), a report list of 100 000 generated rows (five
// columns, level icons, alternate rows tinted by custom draw, grid lines) and a status bar with
// a progress bar in its first pane.
//
//   controls-gallery                       on the X display, or headless without one
//   controls-gallery --seconds N           ends by itself after N seconds
//   controls-gallery --snapshot FILE.png   headless: plays a few steps, saves the screen with the
//                                          View menu open, ends
//   ... --tooltip-snapshot FILE.png        also saves the screen with a toolbar button's tooltip

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "platform/controls/Button.h"
#include "platform/controls/CommCtrl.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/Edit.h"
#include "platform/controls/FileDialog.h"
#include "platform/controls/ListView.h"
#include "platform/controls/Menus.h"
#include "platform/controls/Progress.h"
#include "platform/controls/Static.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/Toolbar.h"
#include "platform/controls/Tooltip.h"
#include "platform/drivers/DriverChoice.h"
#include "platform/drivers/HeadlessDriver.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/Images.h"
#include "platform/graphics/PngFile.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/TextOutput.h"
#include "platform/sample/GalleryMenuStyle.h"
#include "platform/window/Windows.h"
#include "resources/ImageResources.h"

namespace {

constexpr int kIcon = 1, kTitle = 2, kVersion = 3, kSeparator = 4, kLog = 5, kGroup = 6, kCheck = 7, kRadioA = 8,
              kRadioB = 9, kNameLabel = 10, kName = 11, kOk = 12, kCancel = 13, kEtched = 14, kList = 15,
              kToolbar = 16, kStatusBar = 17, kProgress = 18, kOpenDialog = 19, kOpenSave = 20;
// The viewer's commands, as its toolbar and menus have them.
constexpr int kCmdQuillbridgeLog = 32804, kCmdDebugLog = 32805, kCmdExport = 32790, kCmdRefresh = 32793,
              kCmdClear = 32792, kCmdAbout = 57664, kCmdExit = 57665, kCmdToolbar = 59392, kCmdStatusBar = 59393;
// The toolbar bitmaps hold one picture a command, in this order.
constexpr int kPictured[] = {kCmdQuillbridgeLog, kCmdDebugLog, kCmdExport, kCmdRefresh, kCmdClear, kCmdAbout};
constexpr int kNormalBitmap = 138, kHotBitmap = 135, kDisabledBitmap = 139, kMaskColor = RGB(192, 192, 192);
constexpr int kIconResource = 128, kFirstLevelIcon = 153, kLevels = 4;
constexpr int kLogLines = 100000, kRows = 100000;
constexpr UINT_PTR kProgressTimer = 1;
constexpr int kProgressPercent = 60;  // of the pane's width after the message
const char* const kLoading = "Loading...";

HFONT gBold = nullptr;
HIMAGELIST gImages[3] = {};  // normal, hot, disabled
HIMAGELIST gLevelIcons = nullptr;

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
    SendMessageA(GetDlgItem(frame, kStatusBar), SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(text.c_str()));
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
}

HIMAGELIST Pictures(int bitmapId) {
    const HIMAGELIST list = ImageList_Create(16, 15, ILC_COLOR32 | ILC_MASK, 6, 0);
    const HBITMAP bitmap = LoadBitmapA(nullptr, MAKEINTRESOURCEA(static_cast<WORD>(bitmapId)));
    if (list && bitmap) ImageList_AddMasked(list, bitmap, kMaskColor);
    if (bitmap) DeleteObject(bitmap);
    return list;
}

HMENU MakeMenus() {
    const HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, kCmdQuillbridgeLog, "&Quillbridge log\tCtrl+Q");
    AppendMenuA(file, MF_STRING, kCmdDebugLog, "&Debug log\tCtrl+D");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, kCmdExport, "&Export...\tCtrl+E");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, kCmdExit, "E&xit");
    const HMENU view = CreatePopupMenu();
    AppendMenuA(view, MF_STRING, kCmdRefresh, "&Refresh\tF5");
    AppendMenuA(view, MF_STRING | MF_GRAYED, kCmdClear, "&Clear log");
    AppendMenuA(view, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(view, MF_STRING | MF_CHECKED, kCmdToolbar, "&Toolbar");
    AppendMenuA(view, MF_STRING | MF_CHECKED, kCmdStatusBar, "&Status bar");
    const HMENU help = CreatePopupMenu();
    AppendMenuA(help, MF_STRING, kCmdAbout, "&About Controls gallery...");
    const HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), "&View");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "&Help");
    return bar;
}

void MakeToolbar(HWND frame) {
    const HWND bar = Child(frame, TOOLBARCLASSNAMEA, "", TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP, kToolbar);
    SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(16, 15));
    SendMessageA(bar, TB_SETBUTTONSIZE, 0, MAKELPARAM(23, 22));
    SendMessageA(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(gImages[0]));
    SendMessageA(bar, TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(gImages[1]));
    SendMessageA(bar, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(gImages[2]));
    // The viewer's toolbar resource: two logs, export, refresh and clear, about.
    const int layout[] = {kCmdQuillbridgeLog, kCmdDebugLog, 0, kCmdExport, 0, kCmdRefresh, kCmdClear, 0, kCmdAbout};
    TBBUTTON buttons[std::size(layout)] = {};
    int image = 0;
    for (std::size_t i = 0; i < std::size(layout); ++i) {
        buttons[i].idCommand = layout[i];
        buttons[i].fsStyle = layout[i] ? BTNS_BUTTON : BTNS_SEP;
        buttons[i].fsState = layout[i] ? TBSTATE_ENABLED : 0;
        buttons[i].iBitmap = layout[i] ? image++ : 0;
    }
    SendMessageA(bar, TB_ADDBUTTONSA, std::size(buttons), reinterpret_cast<LPARAM>(buttons));
    SendMessageA(bar, TB_ENABLEBUTTON, kCmdClear, FALSE);
    SendMessageA(bar, TB_AUTOSIZE, 0, 0);
}

void MakeList(HWND frame) {
    const HWND list = Child(frame, WC_LISTVIEWA, "", LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP,
                            kList, WS_EX_CLIENTEDGE);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
    gLevelIcons = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, kLevels, 0);
    for (int level = 0; level < kLevels; ++level)
        if (const HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(static_cast<WORD>(kFirstLevelIcon + level)))) {
            ImageList_AddIcon(gLevelIcons, icon);
            DestroyIcon(icon);
        }
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(gLevelIcons));
    const char* const titles[] = {"Level", "Time", "Status", "Source", "Description"};
    const int widths[] = {80, 160, 80, 110, 430};
    for (int c = 0; c < 5; ++c) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<char*>(titles[c]);
        column.cx = widths[c];
        column.iSubItem = c;
        SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
    }
    const char* const levels[] = {"Info", "Warning", "Error", "Fatal"};
    const char* const statuses[] = {"OK", "Retried", "Failed", "Stopped"};
    const char* const sources[] = {"Channel", "Loader", "Service", "Export", "Settings"};
    char time[32], description[128];
    for (int row = 0; row < kRows; ++row) {
        // Mostly information, now and then worse.
        const int level = row % 97 == 0 ? 3 : row % 13 == 0 ? 2 : row % 5 == 0 ? 1 : 0;
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = row;
        item.pszText = const_cast<char*>(levels[level]);
        item.iImage = level;
        item.lParam = row;
        const int at = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        std::snprintf(time, sizeof time, "08/12/2026 %02d:%02d:%02d.%03d", row / 36000 % 24, row / 600 % 60,
                      row / 10 % 60, row % 10 * 100);
        std::snprintf(description, sizeof description, "Record %d of the generated log: %s", row + 1,
                      level ? "the request was answered late and is kept for review" : "request answered");
        ListView_SetItemText(list, at, 1, time);
        ListView_SetItemText(list, at, 2, statuses[level]);
        ListView_SetItemText(list, at, 3, sources[row % 5]);
        ListView_SetItemText(list, at, 4, description);
    }
}

// As the viewer places its loading progress: after the message and four spaces, a share of the
// rest, a tenth of the height free above and below.
void PlaceProgress(HWND frame) {
    const HWND status = GetDlgItem(frame, kStatusBar);
    RECT pane;
    if (!SendMessageA(status, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&pane))) return;
    const HDC hdc = GetDC(status);
    const HGDIOBJ old = SelectObject(hdc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE message{}, space{};
    GetTextExtentPoint32A(hdc, kLoading, static_cast<int>(std::strlen(kLoading)), &message);
    GetTextExtentPoint32A(hdc, " ", 1, &space);
    SelectObject(hdc, old);
    ReleaseDC(status, hdc);
    RECT r = pane;
    r.left += message.cx + 4 * space.cx;
    r.right -= (100 - kProgressPercent) * Width(r) / 100;
    if (r.right < r.left) r.right = r.left;
    r.top += Height(pane) / 10;
    r.bottom -= Height(pane) / 10;
    MoveWindow(GetDlgItem(status, kProgress), r.left, r.top, Width(r), Height(r), TRUE);
}

void MakeStatusBar(HWND frame) {
    const HWND status = Child(frame, STATUSCLASSNAMEA, "", SBARS_SIZEGRIP, kStatusBar);
    const int rights[] = {420, 760, -1};
    SendMessageA(status, SB_SETPARTS, std::size(rights), reinterpret_cast<LPARAM>(rights));
    SendMessageA(status, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(kLoading));
    SendMessageA(status, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>("Click, type, select and scroll."));
    SendMessageA(status, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>((std::to_string(kRows) + " rows").c_str()));
    const HWND progress = Child(status, PROGRESS_CLASSA, "", 0, kProgress);
    SendMessageA(progress, PBM_SETRANGE32, 0, 100);
    SendMessageA(progress, PBM_SETSTEP, 1, 0);
}

const char* TipOf(UINT_PTR command) {
    switch (static_cast<int>(command)) {
        case kCmdQuillbridgeLog: return "Show the Quillbridge log";
        case kCmdDebugLog: return "Show the debug log";
        case kCmdExport: return "Export the shown rows";
        case kCmdRefresh: return "Refresh";
        case kCmdClear: return "Clear the log";
        case kCmdAbout: return "About the gallery";
        default: return "";
    }
}

LRESULT Notified(HWND hwnd, NMHDR* nm) {
    if (nm->code == TTN_GETDISPINFOA) {
        reinterpret_cast<NMTTDISPINFOA*>(nm)->lpszText = const_cast<char*>(TipOf(nm->idFrom));
        return 0;
    }
    if (nm->code == NM_CUSTOMDRAW && nm->idFrom == kList) {
        auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(nm);
        if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
        if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
            if (draw->nmcd.dwItemSpec & 1) draw->clrTextBk = RGB(236, 242, 250);
            if (draw->nmcd.dwItemSpec % 13 == 0) draw->clrText = RGB(176, 0, 0);
        }
        return CDRF_DODEFAULT;
    }
    if (nm->code == LVN_ITEMCHANGED && nm->idFrom == kList) {
        const auto* change = reinterpret_cast<NMLISTVIEW*>(nm);
        if ((change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED))
            Status(hwnd, "row " + std::to_string(change->iItem + 1) + " selected");
    }
    return 0;
}

void Layout(HWND hwnd, int width, int height) {
    const HWND toolbar = GetDlgItem(hwnd, kToolbar), status = GetDlgItem(hwnd, kStatusBar);
    SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
    SendMessageA(status, WM_SIZE, 0, MAKELPARAM(width, height));
    RECT bar, below;
    GetWindowRect(toolbar, &bar);
    GetWindowRect(status, &below);
    const int top = Height(bar), bottom = height - Height(below);
    const int right = width - 10, column = right - 230;
    Place(hwnd, kIcon, 10, top + 8, 32, 32);
    Place(hwnd, kTitle, 52, top + 10, 300, 14);
    Place(hwnd, kVersion, 52, top + 26, 400, 14);
    Place(hwnd, kSeparator, 10, top + 48, right - 10, 1);
    const int logBottom = top + 58 + (bottom - top - 58) * 2 / 5;
    Place(hwnd, kLog, 10, top + 58, column - 20, logBottom - top - 58);
    Place(hwnd, kGroup, column, top + 54, 230, 86);
    Place(hwnd, kCheck, column + 10, top + 72, 210, 18);
    Place(hwnd, kRadioA, column + 10, top + 94, 210, 18);
    Place(hwnd, kRadioB, column + 10, top + 114, 210, 18);
    Place(hwnd, kNameLabel, column, top + 150, 230, 14);
    Place(hwnd, kName, column, top + 166, 230, 21);
    Place(hwnd, kOpenDialog, right - 158, top + 199, 75, 23);
    Place(hwnd, kOpenSave, right - 75, top + 199, 75, 23);
    Place(hwnd, kEtched, column, logBottom - 35, 230, 2);
    Place(hwnd, kOk, right - 158, logBottom - 23, 75, 23);
    Place(hwnd, kCancel, right - 75, logBottom - 23, 75, 23);
    Place(hwnd, kList, 10, logBottom + 10, right - 10, bottom - logBottom - 16);
    PlaceProgress(hwnd);
}

// Headless, the gallery plays a few steps and saves what the screen shows: the frame with the
// popups and tips over it.
struct Shot {
    HeadlessDriver* display = nullptr;
    const char* menuFile = nullptr;
    const char* tipFile = nullptr;
    HWND popup = nullptr;
    int idles = 0;
    std::string error;
};
Shot gShot;

std::string SaveScreen(HWND frame, HWND over, const char* path) {
    RECT frameRect, overRect{};
    GetWindowRect(frame, &frameRect);
    Surface screen = gShot.display->Pixels(frame);
    if (over) {
        GetWindowRect(over, &overRect);
        const Surface top = gShot.display->Pixels(over);
        for (int y = 0; y < top.Height(); ++y) {
            const int sy = overRect.top - frameRect.top + y;
            if (sy < 0 || sy >= screen.Height()) continue;
            for (int x = 0; x < top.Width(); ++x) {
                const int sx = overRect.left - frameRect.left + x;
                if (sx >= 0 && sx < screen.Width()) screen.Row(sy)[sx] = top.At(x, y);
            }
        }
    }
    return PngFile::Write(screen, path);
}

POINT Centre(HWND hwnd, const RECT& r) {
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(hwnd, &p);
    return p;
}

// In the menu loop, while nothing else happens: first the pointer goes onto the View menu's
// first item, then the screen is saved and the menu closed.
void MenuIdle(HWND frame, HWND shown) {
    if (!gShot.display || !gShot.menuFile || shown == frame) return;
    if (gShot.idles++ == 0) {
        RECT item{};
        GetClientRect(shown, &item);
        item.bottom = item.top + 22;
        gShot.display->MoveMouse(Centre(shown, item));
        return;
    }
    gShot.error = SaveScreen(frame, shown, gShot.menuFile);
    gShot.menuFile = nullptr;
    EndMenu();
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            HFONT gui = GetStockObject(DEFAULT_GUI_FONT);
            LOGFONTA bold{};
            GetObjectA(gui, sizeof bold, &bold);
            bold.lfWeight = FW_HEAVY;
            gBold = CreateFontIndirectA(&bold);
            MakeToolbar(hwnd);
            MakeStatusBar(hwnd);
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
            MakeList(hwnd);
            for (int id = kTitle; id <= kOpenSave; ++id)
                SendMessageA(GetDlgItem(hwnd, id), WM_SETFONT, reinterpret_cast<WPARAM>(id == kTitle ? gBold : gui),
                             FALSE);
            // The log box keeps the system font, as the viewer's does.
            SendMessageA(GetDlgItem(hwnd, kLog), WM_SETFONT, 0, FALSE);
            SetWindowTextA(GetDlgItem(hwnd, kLog), LogText().c_str());
            SendMessageA(GetDlgItem(hwnd, kRadioA), BM_SETCHECK, BST_CHECKED, 0);
            return 0;
        }
        case WM_SIZE:
            Layout(hwnd, LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_TIMER:
            if (wParam == kProgressTimer) SendMessageA(GetDlgItem(GetDlgItem(hwnd, kStatusBar), kProgress), PBM_STEPIT, 0, 0);
            return 0;
        case WM_MEASUREITEM:
            if (GalleryMenuStyle::Measure(hwnd, *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) return TRUE;
            break;
        case WM_DRAWITEM:
            if (GalleryMenuStyle::Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return TRUE;
            break;
        case WM_ENTERIDLE:
            if (wParam == MSGF_MENU) MenuIdle(hwnd, reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_NOTIFY:
            return Notified(hwnd, reinterpret_cast<NMHDR*>(lParam));
        case WM_CTLCOLORSTATIC:
            // White behind the read-only log, as the viewer's view answers for its debug text box.
            if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == kLog) {
                SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
                return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
            }
            break;
        case WM_COMMAND: {
            const int id = LOWORD(wParam), code = HIWORD(wParam);
            if (id == kCmdExit) {
                DestroyWindow(hwnd);
                return 0;
            }
            if (id == kCmdExport) {
                Status(hwnd, "export to " + AskExportPath(hwnd));
                return 0;
            }
            if (!lParam || id >= 0x8000) {
                Status(hwnd, "command " + std::to_string(id) + (lParam ? " from the toolbar" : " from the menu"));
                return 0;
            }
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
            KillTimer(hwnd, kProgressTimer);
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// The headless steps: a check, a name typed, the log scrolled to its end with its last lines
// selected, a row of the list chosen, a toolbar button pointed at until its tip shows, and the
// View menu opened with the pointer on its first item (MenuIdle saves that screen).
std::string PlayAndSave(HWND frame) {
    HeadlessDriver& headless = *gShot.display;
    const auto chord = [&](int modifier, int vk) {
        headless.Key(modifier, true);
        headless.KeyPress(vk);
        headless.Key(modifier, false);
        Pump();
    };
    POINT check{5, 5};
    ClientToScreen(GetDlgItem(frame, kCheck), &check);
    headless.Click(check);
    Pump();
    SetFocus(GetDlgItem(frame, kName));
    chord(VK_CONTROL, VK_END);
    for (int i = 0; i < 4; ++i) headless.KeyPress(VK_BACK);
    headless.Type(".log");
    Pump();
    SetFocus(GetDlgItem(frame, kLog));
    chord(VK_CONTROL, VK_END);
    chord(VK_SHIFT, VK_UP);
    chord(VK_SHIFT, VK_UP);
    const HWND list = GetDlgItem(frame, kList);
    RECT row{LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(list, LVM_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&row));
    headless.Click(Centre(list, row));
    Pump();
    SendMessageA(GetDlgItem(GetDlgItem(frame, kStatusBar), kProgress), PBM_SETPOS, 45, 0);

    const HWND toolbar = GetDlgItem(frame, kToolbar);
    const HWND tip = reinterpret_cast<HWND>(SendMessageA(toolbar, TB_GETTOOLTIPS, 0, 0));
    RECT button{};
    SendMessageA(toolbar, TB_GETRECT, kCmdExport, reinterpret_cast<LPARAM>(&button));
    headless.MoveMouse(Centre(toolbar, button));
    // The tip comes after its delay, on a real timer.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (tip && !IsWindowVisible(tip) && std::chrono::steady_clock::now() < until) {
        Pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    UpdateWindow(frame);
    Pump();
    if (gShot.tipFile) {
        if (!tip || !IsWindowVisible(tip)) return "the toolbar's tooltip did not show";
        if (std::string error = SaveScreen(frame, tip, gShot.tipFile); !error.empty()) return error;
    }

    RECT bar{};
    GetMenuItemRect(frame, GetMenu(frame), 1, &bar);
    headless.Click(POINT{(bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2});
    Pump();  // the menu loop runs in here until MenuIdle has saved the screen
    if (gShot.menuFile) return "the View menu did not open";
    return gShot.error;
}

}  // namespace

int main(int argc, char** argv) {
    long seconds = 0;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--snapshot") && i + 1 < argc) {
            gShot.menuFile = argv[++i];
        } else if (!std::strcmp(argv[i], "--tooltip-snapshot") && i + 1 < argc) {
            gShot.tipFile = argv[++i];
        } else if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc) {
            seconds = std::strtol(argv[++i], nullptr, 10);
        } else {
            std::fprintf(stderr,
                         "usage: controls-gallery [--seconds N] [--snapshot FILE.png [--tooltip-snapshot FILE.png]]\n");
            return 2;
        }
    }
    if (gShot.tipFile && !gShot.menuFile) {
        std::fprintf(stderr, "controls-gallery: --tooltip-snapshot goes with --snapshot\n");
        return 2;
    }
    const bool headless = gShot.menuFile != nullptr;
    if (headless) gShot.display = &HeadlessDriver::Install(SIZE{1280, 1024});
    else DriverChoice::Install();
    InitCommonControls();
    if (const std::string error = RegisterImageResources(); !error.empty()) {
        std::fprintf(stderr, "controls-gallery: %s\n", error.c_str());
        return 1;
    }
    gImages[0] = Pictures(kNormalBitmap);
    gImages[1] = Pictures(kHotBitmap);
    gImages[2] = Pictures(kDisabledBitmap);
    const HMENU menus = MakeMenus();
    GalleryMenuStyle::Install(menus, kPictured, static_cast<int>(std::size(kPictured)), gImages[0], gImages[2]);

    WNDCLASSA cls{};
    cls.lpfnWndProc = FrameProc;
    cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1);
    cls.lpszClassName = "GalleryFrame";
    RegisterClassA(&cls);
    HWND frame = CreateWindowExA(0, "GalleryFrame", "Controls gallery", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 60, 60,
                                 980, 760, nullptr, menus, nullptr, nullptr);
    int result = 0;
    if (!frame) {
        std::fprintf(stderr, "controls-gallery: the window could not be created\n");
        result = 1;
    } else {
        ShowWindow(frame, SW_SHOW);
        UpdateWindow(frame);
        if (seconds > 0)
            SetTimer(nullptr, 0, static_cast<UINT>(seconds * 1000),
                     [](HWND, UINT, std::uintptr_t, DWORD) { PostQuitMessage(0); });
        if (headless) {
            const std::string error = PlayAndSave(frame);
            if (!error.empty()) {
                std::fprintf(stderr, "controls-gallery: %s\n", error.c_str());
                result = 1;
            } else {
                std::printf("snapshot written\n");
            }
        } else {
            SetTimer(frame, kProgressTimer, 100, nullptr);
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        if (IsWindow(frame)) DestroyWindow(frame);
    }
    GalleryMenuStyle::Uninstall();
    for (HIMAGELIST list : gImages)
        if (list) ImageList_Destroy(list);
    if (gLevelIcons) ImageList_Destroy(gLevelIcons);
    if (gBold) DeleteObject(gBold);
    return result;
}
