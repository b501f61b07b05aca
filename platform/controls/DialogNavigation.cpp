#include "platform/controls/DialogNavigation.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "platform/controls/Button.h"
#include "platform/controls/ControlSupport.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/Edit.h"
#include "platform/controls/Static.h"
#include "platform/window/Windows.h"

namespace {

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE)); }

// By the control's own style: a hidden dialog's controls are still its tab stops.
bool Usable(HWND hwnd) { return (StyleOf(hwnd) & WS_VISIBLE) && IsWindowEnabled(hwnd); }

LRESULT CodeOf(HWND hwnd, WPARAM key = 0, const MSG* msg = nullptr) {
    return SendMessageA(hwnd, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(msg));
}

bool IsPushButton(LRESULT code) { return code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON); }

bool IsStaticClass(HWND hwnd) {
    char name[16];
    return GetClassNameA(hwnd, name, sizeof name) && strcasecmp(name, Static::kClassName) == 0;
}

// The lower-case character after the first single "&" of a caption; 0 if none.
char MnemonicOf(const std::string& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] != '&') return static_cast<char>(std::tolower(static_cast<unsigned char>(caption[i + 1])));
        ++i;  // "&&" is an ampersand
    }
    return 0;
}

void SetPushStyle(HWND button, DWORD kind) {
    const DWORD style = StyleOf(button) & 0xFFFF & ~BS_TYPEMASK;
    SendMessageA(button, BM_SETSTYLE, style | kind, TRUE);
}

void AddControls(HWND parent, std::vector<HWND>& out) {
    // The window system puts each new child on top: the last child is the first made.
    std::vector<HWND> children;
    for (HWND h = GetWindow(parent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) children.push_back(h);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (GetWindowLongPtrA(*it, GWL_EXSTYLE) & WS_EX_CONTROLPARENT)
            AddControls(*it, out);
        else
            out.push_back(*it);
    }
}

}  // namespace

std::vector<HWND> DialogNavigation::Controls(HWND dialog) {
    std::vector<HWND> out;
    if (dialog) AddControls(dialog, out);
    return out;
}

HWND DialogNavigation::NextTabItem(HWND dialog, HWND from, bool previous) {
    const std::vector<HWND> all = Controls(dialog);
    const int n = static_cast<int>(all.size());
    const auto found = std::find(all.begin(), all.end(), from);
    const int at = found == all.end() ? -1 : static_cast<int>(found - all.begin());
    for (int step = 1; step <= n; ++step) {
        int i;
        if (at < 0)
            i = previous ? n - step : step - 1;
        else
            i = ((at + (previous ? -step : step)) % n + n) % n;
        if (all[i] == from) break;
        if ((StyleOf(all[i]) & WS_TABSTOP) && Usable(all[i])) return all[i];
    }
    return at < 0 ? nullptr : from;
}

HWND DialogNavigation::NextGroupItem(HWND dialog, HWND from, bool previous) {
    const std::vector<HWND> all = Controls(dialog);
    const auto found = std::find(all.begin(), all.end(), from);
    if (found == all.end()) return nullptr;
    const int at = static_cast<int>(found - all.begin());
    int first = at, end = at + 1;
    while (first > 0 && !(StyleOf(all[first]) & WS_GROUP)) --first;
    while (end < static_cast<int>(all.size()) && !(StyleOf(all[end]) & WS_GROUP)) ++end;
    const int size = end - first;
    for (int step = 1; step < size; ++step) {
        const int i = first + ((at - first) + (previous ? size - step : step)) % size;
        if (Usable(all[i])) return all[i];
    }
    return from;
}

HWND DialogNavigation::CheckedInGroup(HWND dialog, HWND radio) {
    for (HWND h = radio;;) {
        if ((CodeOf(h) & DLGC_RADIOBUTTON) && SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED) return h;
        h = NextGroupItem(dialog, h, false);
        if (!h || h == radio) return radio;
    }
}

void DialogNavigation::ShowDefault(HWND dialog, HWND focus) {
    const LRESULT defId = SendMessageA(dialog, DM_GETDEFID, 0, 0);
    HWND wanted = HIWORD(static_cast<std::uintptr_t>(defId)) == DC_HASDEFID ? GetDlgItem(dialog, LOWORD(defId)) : nullptr;
    if (focus && IsPushButton(CodeOf(focus))) wanted = focus;
    for (HWND h : Controls(dialog))
        if (h != wanted && (CodeOf(h) & DLGC_DEFPUSHBUTTON)) SetPushStyle(h, BS_PUSHBUTTON);
    if (wanted && (CodeOf(wanted) & DLGC_UNDEFPUSHBUTTON)) SetPushStyle(wanted, BS_DEFPUSHBUTTON);
}

void DialogNavigation::Focus(HWND dialog, HWND control) {
    SetFocus(control);
    if (GetFocus() != control) return;
    if (CodeOf(control) & DLGC_HASSETSEL) SendMessageA(control, EM_SETSEL, 0, -1);
    ShowDefault(dialog, control);
}

void DialogNavigation::NextControl(HWND dialog, WPARAM wParam, LPARAM lParam) {
    HWND target;
    if (LOWORD(static_cast<std::uintptr_t>(lParam))) {
        target = reinterpret_cast<HWND>(wParam);
    } else {
        HWND focus = GetFocus();
        if (focus && !IsChild(dialog, focus)) focus = nullptr;
        target = NextTabItem(dialog, focus, wParam != 0);
        // Tabbing into radio buttons lands on the checked one.
        if (target && (CodeOf(target) & DLGC_RADIOBUTTON)) target = CheckedInGroup(dialog, target);
    }
    if (target && IsChild(dialog, target)) Focus(dialog, target);
}

void DialogNavigation::Enter(HWND dialog, HWND focus) {
    HWND button = nullptr;
    int id;
    if (focus && focus != dialog && IsPushButton(CodeOf(focus))) {
        button = focus;
        id = GetDlgCtrlID(focus);
    } else {
        const LRESULT defId = SendMessageA(dialog, DM_GETDEFID, 0, 0);
        id = HIWORD(static_cast<std::uintptr_t>(defId)) == DC_HASDEFID ? LOWORD(defId) : IDOK;
        button = GetDlgItem(dialog, id);
    }
    if (button && !IsWindowEnabled(button)) return;
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

bool DialogNavigation::Mnemonic(HWND dialog, HWND focus, char typed) {
    const char wanted = static_cast<char>(std::tolower(static_cast<unsigned char>(typed)));
    if (!wanted || wanted == ' ') return false;
    const std::vector<HWND> all = Controls(dialog);
    const int n = static_cast<int>(all.size());
    const auto found = std::find(all.begin(), all.end(), focus);
    const int at = found == all.end() ? -1 : static_cast<int>(found - all.begin());
    // From the focus on, so that a repeated mnemonic goes round the controls that share it.
    for (int step = 1; step <= n; ++step) {
        const int i = (at + step) % n;
        const HWND h = all[i];
        if (!Usable(h)) continue;
        const LRESULT code = CodeOf(h);
        if (!(code & (DLGC_STATIC | DLGC_BUTTON))) continue;
        if (IsStaticClass(h) && (StyleOf(h) & SS_NOPREFIX)) continue;
        if (MnemonicOf(ControlSupport::Caption(h)) != wanted) continue;
        if ((code & DLGC_BUTTON) && !(code & DLGC_STATIC)) {
            if (!IsPushButton(code)) Focus(dialog, h);
            SendMessageA(h, BM_CLICK, 0, 0);
            return true;
        }
        // A label names the control made after it.
        for (int next = 1; next < n; ++next) {
            const HWND c = all[(i + next) % n];
            if (Usable(c) && !(CodeOf(c) & DLGC_STATIC)) {
                Focus(dialog, c);
                break;
            }
        }
        return true;
    }
    return false;
}

bool DialogNavigation::Handle(HWND dialog, MSG& msg) {
    if (!dialog || !msg.hwnd || (msg.hwnd != dialog && !IsChild(dialog, msg.hwnd))) return false;
    switch (msg.message) {
        case WM_KEYDOWN: {
            const LRESULT code = CodeOf(msg.hwnd, msg.wParam, &msg);
            if (code & DLGC_WANTMESSAGE) break;
            const bool shift = GetKeyState(VK_SHIFT) & 0x8000;
            switch (static_cast<int>(msg.wParam)) {
                case VK_TAB:
                    if (code & DLGC_WANTTAB) break;
                    SendMessageA(dialog, WM_NEXTDLGCTL, shift ? 1 : 0, 0);
                    return true;
                case VK_LEFT:
                case VK_UP:
                case VK_RIGHT:
                case VK_DOWN: {
                    if (code & DLGC_WANTARROWS) break;
                    const bool back = msg.wParam == VK_LEFT || msg.wParam == VK_UP;
                    const HWND next = NextGroupItem(dialog, msg.hwnd, back);
                    if (next && next != msg.hwnd) {
                        Focus(dialog, next);
                        if (CodeOf(next) & DLGC_RADIOBUTTON) SendMessageA(next, BM_CLICK, 0, 0);
                    }
                    return true;
                }
                case VK_RETURN:
                    Enter(dialog, msg.hwnd);
                    return true;
                case VK_ESCAPE: {
                    HWND cancel = GetDlgItem(dialog, IDCANCEL);
                    if (!cancel || IsWindowEnabled(cancel))
                        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                                     reinterpret_cast<LPARAM>(cancel));
                    return true;
                }
                default:
                    break;
            }
            break;
        }
        case WM_CHAR: {
            const LRESULT code = CodeOf(msg.hwnd, msg.wParam, &msg);
            if (code & (DLGC_WANTCHARS | DLGC_WANTMESSAGE)) break;
            if (Mnemonic(dialog, msg.hwnd, static_cast<char>(msg.wParam))) return true;
            break;
        }
        case WM_SYSCHAR:
            if (Mnemonic(dialog, msg.hwnd, static_cast<char>(msg.wParam))) return true;
            break;
        default:
            break;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
}

BOOL IsDialogMessageA(HWND dialog, MSG* msg) {
    return msg && DialogNavigation::Handle(dialog, *msg) ? TRUE : FALSE;
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
    return DialogNavigation::NextTabItem(dialog, control, previous != FALSE);
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
    return DialogNavigation::NextGroupItem(dialog, control, previous != FALSE);
}
