#include "widgets/IconMenuWindowHook.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "platform/controls/Menus.h"
#include "platform/window/Windows.h"
#include "widgets/CIconMenu.h"
#include "widgets/IconMenuSettings.h"
#include "widgets/IconMenuStyleRegistry.h"

namespace {

constexpr UINT MN_GETHMENU = 0x01E1;
constexpr const char* kDialogClass = "#32770";

struct ThreadHook {
    HHOOK hook = nullptr;
    std::map<HWND, IconMenuWindow> windows;
    unsigned made = 0;
};

// Plain data only: nothing of the window system is touched when the thread ends.
thread_local ThreadHook tHook;

bool IsClass(HWND hwnd, const char* className) {
    char name[16] = {};
    return GetClassNameA(hwnd, name, sizeof name) > 0 && std::strcmp(name, className) == 0;
}

}  // namespace

bool IconMenuWindowHook::Install() {
    if (!tHook.hook) tHook.hook = SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, 0);
    return tHook.hook != nullptr;
}

void IconMenuWindowHook::Uninstall() {
    if (tHook.hook) UnhookWindowsHookEx(tHook.hook);
    tHook.hook = nullptr;
}

bool IconMenuWindowHook::Installed() { return tHook.hook != nullptr; }

std::vector<IconMenuWindow> IconMenuWindowHook::Windows() {
    std::vector<IconMenuWindow> all;
    for (const auto& [hwnd, window] : tHook.windows) all.push_back(window);
    std::sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.sequence < b.sequence; });
    return all;
}

LRESULT CALLBACK IconMenuWindowHook::Hook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code >= 0 && cwp && (cwp->message == WM_CREATE || cwp->message == MN_SIZEWINDOW) &&
        !tHook.windows.count(cwp->hwnd) && IsClass(cwp->hwnd, kPopupMenuClass))
        Subclass(cwp->hwnd);
    else if (code >= 0 && cwp && cwp->message == WM_CREATE && IconMenuSettings::Instance().subclassDialogs &&
             IsClass(cwp->hwnd, kDialogClass))
        SubclassDialog(cwp->hwnd);
    return CallNextHookEx(tHook.hook, code, wParam, lParam);
}

void IconMenuWindowHook::Subclass(HWND hwnd) {
    IconMenuWindow window;
    window.hwnd = hwnd;
    window.oldProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    window.style = GetWindowLongPtrA(hwnd, GWL_STYLE);
    window.exStyle = GetWindowLongPtrA(hwnd, GWL_EXSTYLE);
    window.menu = reinterpret_cast<HMENU>(SendMessageA(hwnd, MN_GETHMENU, 0, 0));
    window.drawStyle = &IconMenuStyleRegistry::Instance().Active();
    window.sequence = ++tHook.made;
    if (!window.oldProc) return;
    SetPropA(hwnd, kOldProcProperty, reinterpret_cast<HANDLE>(window.oldProc));
    GlobalAddAtomA(kOldProcProperty);
    IconMenuWindow& kept = tHook.windows[hwnd] = window;
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MenuProc));
    kept.drawStyle->Subclassed(kept);
}

LRESULT CALLBACK IconMenuWindowHook::MenuProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto it = tHook.windows.find(hwnd);
    if (it == tHook.windows.end()) {
        const auto old = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kOldProcProperty));
        return old ? CallWindowProcA(old, hwnd, message, wParam, lParam) : DefWindowProcA(hwnd, message, wParam, lParam);
    }
    // A copy: what the style or the old procedure do may change the map.
    const IconMenuWindow window = it->second;
    if (message == WM_NCDESTROY) {
        Restore(window);
        return CallWindowProcA(window.oldProc, hwnd, message, wParam, lParam);
    }
    LRESULT result = 0;
    if (window.drawStyle->WindowMessage(window, message, wParam, lParam, result)) return result;
    return CallWindowProcA(window.oldProc, hwnd, message, wParam, lParam);
}

void IconMenuWindowHook::SubclassDialog(HWND hwnd) {
    const auto old = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    if (!old || GetPropA(hwnd, kDialogProperty)) return;
    SetPropA(hwnd, kDialogProperty, reinterpret_cast<HANDLE>(old));
    GlobalAddAtomA(kDialogProperty);
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DialogProc));
}

LRESULT CALLBACK IconMenuWindowHook::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto old = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kDialogProperty));
    if (!old) return DefWindowProcA(hwnd, message, wParam, lParam);
    switch (message) {
        case WM_DRAWITEM: {
            auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            CIconMenu* menu = dis && dis->CtlType == ODT_MENU
                                  ? CIconMenu::FromHandleIcon(reinterpret_cast<HMENU>(dis->hwndItem))
                                  : nullptr;
            if (!menu) break;
            menu->DrawItem(dis);
            return TRUE;
        }
        case WM_MEASUREITEM:
            if (CIconMenu::MeasureFor(hwnd, nullptr, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) return TRUE;
            break;
        case WM_INITMENUPOPUP: {
            // The dialog's own preparation first, as the frame's command updates go first.
            const LRESULT result = CallWindowProcA(old, hwnd, message, wParam, lParam);
            if (CIconMenu* popup = CIconMenu::FromHandleIcon(reinterpret_cast<HMENU>(wParam))) popup->PreparePopup(hwnd);
            return result;
        }
        case WM_MENUCHAR:
            if (CIconMenu* menu = CIconMenu::FromHandleIcon(reinterpret_cast<HMENU>(lParam)))
                return menu->MenuChar(LOWORD(wParam));
            break;
        case WM_NCDESTROY:
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
            RemovePropA(hwnd, kDialogProperty);
            GlobalDeleteAtom(GlobalFindAtomA(kDialogProperty));
            break;
        default:
            break;
    }
    return CallWindowProcA(old, hwnd, message, wParam, lParam);
}

void IconMenuWindowHook::Restore(const IconMenuWindow& window) {
    const HWND hwnd = window.hwnd;
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(window.oldProc));
    RemovePropA(hwnd, kOldProcProperty);
    GlobalDeleteAtom(GlobalFindAtomA(kOldProcProperty));
    const LONG_PTR visible = GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_VISIBLE;
    SetWindowLongPtrA(hwnd, GWL_STYLE, (window.style & ~static_cast<LONG_PTR>(WS_VISIBLE)) | visible);
    SetWindowLongPtrA(hwnd, GWL_EXSTYLE, window.exStyle);
    tHook.windows.erase(hwnd);
    if (CIconMenu* menu = CIconMenu::FromHandleIcon(window.menu)) menu->PopupClosed();
}
