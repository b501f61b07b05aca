#include "platform/controls/Dialog.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "platform/controls/Button.h"
#include "platform/controls/CommCtrl.h"
#include "platform/controls/DialogNavigation.h"
#include "platform/controls/WindowStateMap.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/TextOutput.h"
#include "platform/kernel/Immortal.h"
#include "platform/kernel/LastError.h"
#include "platform/window/ModalLoop.h"
#include "platform/window/Windows.h"

namespace {

WindowStateMap<Dialog>& States() {
    static Immortal<WindowStateMap<Dialog>> states;
    return *states;
}

// What a dialog being made hands its first message; the window procedure takes it.
struct Making {
    DLGPROC proc;
};
thread_local Making* tMaking = nullptr;

constexpr const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kScreenDpi = 96, kPointsPerInch = 72;
constexpr DWORD kResourceNotFound = 1814;  // ERROR_RESOURCE_NAME_NOT_FOUND

int Scaled(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

RECT Mapped(SIZE units, short x, short y, short cx, short cy) {
    const int left = Scaled(x, units.cx, 4), top = Scaled(y, units.cy, 8);
    return RECT{left, top, left + Scaled(cx, units.cx, 4), top + Scaled(cy, units.cy, 8)};
}

// The messages whose answer is the dialog procedure's own return value.
bool AnswersDirectly(UINT message) {
    return (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) || message == WM_INITDIALOG;
}

HFONT MakeFont(const DialogTemplate& dialog) {
    if (dialog.fontFace.empty() || dialog.pointSize <= 0) return nullptr;
    LOGFONTA font{};
    font.lfHeight = -Scaled(dialog.pointSize, kScreenDpi, kPointsPerInch);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    std::snprintf(font.lfFaceName, sizeof font.lfFaceName, "%s", dialog.fontFace.c_str());
    return CreateFontIndirectA(&font);
}

// Where a new dialog goes: centred on the screen, at its template point on the screen, or at its
// template point in the owner's (a child dialog's parent's) client area.
POINT Origin(const DialogTemplate& dialog, const RECT& mapped, HWND owner, SIZE size) {
    if ((dialog.style & DS_CENTER) && !(dialog.style & WS_CHILD))
        return POINT{(GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2, (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2};
    POINT p{mapped.left, mapped.top};
    if (owner && !(dialog.style & DS_ABSALIGN) && !(dialog.style & WS_CHILD)) ClientToScreen(owner, &p);
    return p;
}

}  // namespace

void Dialog::Register() {
    WNDCLASSA cls{};
    cls.style = CS_DBLCLKS | CS_SAVEBITS;
    cls.lpfnWndProc = DefDlgProcA;
    cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    cls.lpszClassName = kClassName;
    RegisterClassA(&cls);
}

std::shared_ptr<Dialog> Dialog::Of(HWND hwnd) { return States().Find(hwnd); }

Dialog::~Dialog() {
    if (ownedFont_) DeleteObject(ownedFont_);
}

SIZE Dialog::BaseUnits(HFONT font) {
    HDC hdc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(hdc, font ? font : GetStockObject(SYSTEM_FONT));
    SIZE letters{};
    GetTextExtentPoint32A(hdc, kLetters, static_cast<int>(std::strlen(kLetters)), &letters);
    TEXTMETRICA metrics{};
    GetTextMetricsA(hdc, &metrics);
    SelectObject(hdc, old);
    ReleaseDC(nullptr, hdc);
    // The average of the 52 letters, rounded.
    return SIZE{std::max<LONG>(1, (letters.cx / 26 + 1) / 2), std::max<LONG>(1, metrics.tmHeight)};
}

HWND Dialog::Create(const DialogTemplate& dialog, HWND owner, DLGPROC proc, LPARAM param) {
    InitCommonControls();  // dialogs are the window system's own: their classes are always there
    if ((dialog.style & WS_CHILD) && !owner) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HFONT font = MakeFont(dialog);
    const SIZE units = BaseUnits(font);
    const RECT mapped = Mapped(units, dialog.x, dialog.y, dialog.cx, dialog.cy);
    const SIZE client{mapped.right - mapped.left, mapped.bottom - mapped.top};
    const POINT at = Origin(dialog, mapped, owner, client);
    DWORD exStyle = dialog.exStyle;
    if (dialog.style & DS_MODALFRAME) exStyle |= WS_EX_DLGMODALFRAME;
    if (dialog.style & DS_CONTROL) exStyle |= WS_EX_CONTROLPARENT;

    Making making{proc};
    tMaking = &making;
    const char* cls = dialog.className.empty() ? kClassName : dialog.className.c_str();
    HWND hwnd = CreateWindowExA(exStyle, cls, dialog.caption.c_str(), dialog.style & ~WS_VISIBLE, at.x, at.y,
                                client.cx, client.cy, owner, nullptr, nullptr, nullptr);
    tMaking = nullptr;
    std::shared_ptr<Dialog> self = hwnd ? Of(hwnd) : nullptr;
    if (!self) {
        if (hwnd) DestroyWindow(hwnd);
        if (font) DeleteObject(font);
        return nullptr;
    }
    self->units_ = units;
    // The frame takes its share: the client area gets the template's size.
    RECT window, inside;
    GetWindowRect(hwnd, &window);
    GetClientRect(hwnd, &inside);
    if (inside.right != client.cx || inside.bottom != client.cy)
        SetWindowPos(hwnd, nullptr, 0, 0, window.right - window.left + client.cx - inside.right,
                     window.bottom - window.top + client.cy - inside.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The dialog procedure hears of its font before its controls are made.
    if (font) SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    self = Of(hwnd);
    if (!self) {
        if (font) DeleteObject(font);
        return nullptr;
    }
    self->UseFont(font, true);
    if (!self->AddItems(dialog)) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    const HWND first = GetNextDlgTabItem(hwnd, nullptr, FALSE);
    const LRESULT focusFirst = SendMessageA(hwnd, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
    self = Of(hwnd);
    if (!self) return nullptr;  // the dialog procedure destroyed it
    if (focusFirst && first) {
        // Given when the dialog is activated, or now if it already is.
        self->savedFocus_ = first;
        if (GetActiveWindow() == hwnd) DialogNavigation::Focus(hwnd, first);
    }
    if ((dialog.style & WS_VISIBLE) && !self->ended_) ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

void Dialog::UseFont(HFONT font, bool owned) {
    font_ = font;
    // Controls may still hold the template's font after another is set: it goes with the dialog.
    if (owned) ownedFont_ = font;
}

bool Dialog::AddItems(const DialogTemplate& dialog) {
    const auto font = reinterpret_cast<WPARAM>(font_);
    for (const DialogItem& item : dialog.items) {
        const RECT r = Mapped(units_, item.x, item.y, item.cx, item.cy);
        const auto id = static_cast<std::intptr_t>(static_cast<WORD>(item.id));
        HWND control = CreateWindowExA(item.exStyle, item.className.c_str(), item.text.c_str(), item.style | WS_CHILD,
                                       r.left, r.top, r.right - r.left, r.bottom - r.top, hwnd_,
                                       reinterpret_cast<HMENU>(id), nullptr, nullptr);
        if (!control) {
            if (dialog.style & DS_NOFAILCREATE) continue;
            return false;
        }
        if (font_) SendMessageA(control, WM_SETFONT, font, FALSE);
        // The first default push button is the dialog's default.
        if (!defId_ && (SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON))
            defId_ = static_cast<WORD>(id);
    }
    return true;
}

INT_PTR Dialog::RunModal(const DialogTemplate& dialog, HWND owner, DLGPROC proc, LPARAM param) {
    // A modal dialog belongs to a top-level window: the one the given window is in.
    const HWND top = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    DialogTemplate modal = dialog;
    modal.style &= ~(WS_CHILD | WS_VISIBLE);
    const HWND hwnd = Create(modal, top, proc, param);
    if (!hwnd) return -1;
    const bool disabled = top && EnableWindow(top, FALSE) == FALSE;
    if (!Of(hwnd)->Ended()) {
        ShowWindow(hwnd, SW_SHOW);
        UpdateWindow(hwnd);
    }
    ModalLoop::Run(
        [hwnd] {
            const std::shared_ptr<const Dialog> self = Of(hwnd);
            return !self || self->Ended();
        },
        [hwnd](MSG& msg) { return IsDialogMessageA(hwnd, &msg) != FALSE; });
    const std::shared_ptr<const Dialog> self = Of(hwnd);
    const INT_PTR result = self && self->Ended() ? self->Result() : 0;
    // The owner takes the activation back from the dialog that goes.
    if (disabled) EnableWindow(top, TRUE);
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
    if (top && IsWindow(top)) SetActiveWindow(top);
    return result;
}

void Dialog::End(INT_PTR result) {
    result_ = result;
    ended_ = true;
    // The loop looks at its condition after the message at hand.
    PostMessageA(hwnd_, WM_NULL, 0, 0);
}

bool Dialog::FramedByDesktop() const {
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_STYLE));
    return !(style & WS_CHILD) && (style & WS_CAPTION) == WS_CAPTION;
}

LRESULT Dialog::GetDefId() const { return defId_ ? MAKELPARAM(defId_, DC_HASDEFID) : 0; }

void Dialog::SetDefId(WORD id) {
    const WORD previous = defId_;
    defId_ = id;
    if (HWND old = previous ? GetDlgItem(hwnd_, previous) : nullptr;
        old && (SendMessageA(old, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON))
        SendMessageA(old, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    if (HWND now = id ? GetDlgItem(hwnd_, id) : nullptr;
        now && (SendMessageA(now, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON))
        SendMessageA(now, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

void Dialog::RestoreFocus() {
    HWND to = savedFocus_;
    if (!to || !IsWindow(to) || !IsChild(hwnd_, to) || !IsWindowEnabled(to) || !IsWindowVisible(to))
        to = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
    const HWND focus = GetFocus();
    if (to && focus != to) DialogNavigation::Focus(hwnd_, to);
}

LRESULT Dialog::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND hwnd = hwnd_;
    if (proc_) {
        const INT_PTR answer = proc_(hwnd, message, wParam, lParam);
        if (Of(hwnd).get() != this) return answer;  // destroyed by its procedure
        if (AnswersDirectly(message) && (answer || message == WM_INITDIALOG)) return answer;
        if (answer) return 0;
    }
    return Default(message, wParam, lParam);
}

LRESULT Dialog::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: {
            HDC hdc = reinterpret_cast<HDC>(wParam);
            auto brush = reinterpret_cast<HBRUSH>(SendMessageA(hwnd_, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(hwnd_)));
            RECT client;
            GetClientRect(hwnd_, &client);
            FillRect(hdc, &client, brush ? brush : GetSysColorBrush(COLOR_3DFACE));
            return 1;
        }
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSTATIC: {
            HDC hdc = reinterpret_cast<HDC>(wParam);
            SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
            SetBkColor(hdc, GetSysColor(COLOR_3DFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_3DFACE));
        }
        case WM_CTLCOLORLISTBOX: {
            HDC hdc = reinterpret_cast<HDC>(wParam);
            SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
            SetBkColor(hdc, GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        case WM_SETFONT:
            UseFont(reinterpret_cast<HFONT>(wParam), false);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font_);
        case WM_CLOSE: {
            // Closing is cancelling, unless the cancel button is disabled.
            HWND cancel = GetDlgItem(hwnd_, IDCANCEL);
            if (!cancel || IsWindowEnabled(cancel))
                PostMessageA(hwnd_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
            return 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (focus && IsChild(hwnd_, focus)) savedFocus_ = focus;
            } else {
                RestoreFocus();
            }
            return 0;
        case WM_SETFOCUS:
            RestoreFocus();
            return 0;
        case WM_NEXTDLGCTL:
            DialogNavigation::NextControl(hwnd_, wParam, lParam);
            return 0;
        case DM_GETDEFID:
            return GetDefId();
        case DM_SETDEFID:
            SetDefId(static_cast<WORD>(wParam));
            return TRUE;
        case WM_NCCALCSIZE:
            if (FramedByDesktop()) return 0;  // the desktop draws the caption and the frame
            break;
        case WM_NCPAINT:
            if (FramedByDesktop()) return 0;
            break;
        default:
            break;
    }
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK DefDlgProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // Held for the whole handler: the dialog procedure may destroy its window.
    std::shared_ptr<Dialog> self = Dialog::Of(hwnd);
    if (!self && message == WM_NCCREATE) {
        // A dialog made from a template brings its procedure; one made by CreateWindowExA has none.
        const DLGPROC proc = tMaking ? tMaking->proc : nullptr;
        tMaking = nullptr;
        self = std::make_shared<Dialog>(hwnd, proc);
        States().Attach(hwnd, self);
    }
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
    const LRESULT result = self->Handle(message, wParam, lParam);
    if (message == WM_NCDESTROY) States().Detach(hwnd);
    return result;
}

INT_PTR DialogBoxIndirectParamA(HINSTANCE, const DialogTemplate* dialog, HWND owner, DLGPROC proc, LPARAM param) {
    if (!dialog) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    return Dialog::RunModal(*dialog, owner, proc, param);
}

INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param) {
    const auto dialog = DialogTemplate::Find(name);
    if (!dialog) {
        SetLastError(kResourceNotFound);
        return -1;
    }
    return DialogBoxIndirectParamA(instance, dialog.get(), owner, proc, param);
}

HWND CreateDialogIndirectParamA(HINSTANCE, const DialogTemplate* dialog, HWND owner, DLGPROC proc, LPARAM param) {
    if (!dialog) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return Dialog::Create(*dialog, owner, proc, param);
}

HWND CreateDialogParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param) {
    const auto dialog = DialogTemplate::Find(name);
    if (!dialog) {
        SetLastError(kResourceNotFound);
        return nullptr;
    }
    return CreateDialogIndirectParamA(instance, dialog.get(), owner, proc, param);
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    const std::shared_ptr<Dialog> self = Dialog::Of(dialog);
    if (!self) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    self->End(result);
    return TRUE;
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
    HWND control = GetDlgItem(dialog, id);
    return control ? SetWindowTextA(control, text) : FALSE;
}

UINT GetDlgItemTextA(HWND dialog, int id, char* text, int size) {
    HWND control = GetDlgItem(dialog, id);
    if (!control) {
        if (text && size > 0) text[0] = '\0';
        return 0;
    }
    return static_cast<UINT>(GetWindowTextA(control, text, size));
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND control = GetDlgItem(dialog, id);
    return control ? SendMessageA(control, message, wParam, lParam) : 0;
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
    const std::string text =
        isSigned ? std::to_string(static_cast<int>(value)) : std::to_string(static_cast<unsigned>(value));
    return SetDlgItemTextA(dialog, id, text.c_str());
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
    if (translated) *translated = FALSE;
    char text[64];
    if (!GetDlgItemTextA(dialog, id, text, sizeof text)) return 0;
    const char* p = text;
    while (*p == ' ' || *p == '\t') ++p;
    const bool negative = *p == '-';
    if (negative && !isSigned) return 0;
    if (negative || *p == '+') ++p;
    if (*p < '0' || *p > '9') return 0;
    // Digits only, up to trailing blanks, and within the type's range.
    unsigned long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + static_cast<unsigned>(*p - '0');
        if (value > 0xFFFFFFFFull) return 0;
    }
    while (*p == ' ' || *p == '\t') ++p;
    if (*p) return 0;
    if (isSigned && value > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return 0;
    if (translated) *translated = TRUE;
    return negative ? static_cast<UINT>(-static_cast<long long>(value)) : static_cast<UINT>(value);
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
    HWND control = GetDlgItem(dialog, id);
    if (!control) return FALSE;
    SendMessageA(control, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
    return static_cast<UINT>(SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0));
}

BOOL CheckRadioButton(HWND dialog, int first, int last, int check) {
    for (int id = first; id <= last; ++id) CheckDlgButton(dialog, id, id == check ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

BOOL MapDialogRect(HWND dialog, RECT* r) {
    const std::shared_ptr<const Dialog> self = Dialog::Of(dialog);
    if (!self || !r) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    const SIZE units = self->Units();
    *r = RECT{Scaled(r->left, units.cx, 4), Scaled(r->top, units.cy, 8), Scaled(r->right, units.cx, 4),
              Scaled(r->bottom, units.cy, 8)};
    return TRUE;
}

LONG GetDialogBaseUnits() {
    const SIZE units = Dialog::BaseUnits(nullptr);
    return static_cast<LONG>(MAKELPARAM(units.cx, units.cy));
}
