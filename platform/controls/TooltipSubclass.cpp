#include "platform/controls/TooltipSubclass.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

#include "platform/controls/Tooltip.h"
#include "platform/kernel/Immortal.h"
#include "platform/window/Windows.h"

namespace {

struct Watched {
    WNDPROC original = nullptr;
    std::vector<HWND> tooltips;
};

// Windows reach this from their own threads; the lock is never held while a message is sent.
struct Table {
    std::mutex lock;
    std::map<HWND, Watched> windows;  // guarded by lock
};

Table& All() {
    static Immortal<Table> table;
    return *table;
}

bool IsMouseMessage(UINT message) {
    return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && message != WM_MOUSEWHEEL;
}

// Under the table's lock: forgets `hwnd` when nobody watches it and our procedure can step out.
void Release(std::map<HWND, Watched>::iterator it, WNDPROC ours) {
    if (!it->second.tooltips.empty()) return;
    const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(it->first, GWLP_WNDPROC));
    if (current != ours && IsWindow(it->first)) return;  // someone subclassed it after us
    if (current == ours)
        SetWindowLongPtrA(it->first, GWLP_WNDPROC, reinterpret_cast<std::intptr_t>(it->second.original));
    All().windows.erase(it);
}

}  // namespace

void TooltipSubclass::Watch(HWND window, HWND tooltip) {
    if (!IsWindow(window)) return;
    std::lock_guard guard(All().lock);
    auto [it, added] = All().windows.try_emplace(window);
    if (added)
        it->second.original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<std::intptr_t>(&TooltipSubclass::Proc)));
    auto& tips = it->second.tooltips;
    if (std::find(tips.begin(), tips.end(), tooltip) == tips.end()) tips.push_back(tooltip);
}

void TooltipSubclass::Unwatch(HWND window, HWND tooltip) {
    std::lock_guard guard(All().lock);
    auto it = All().windows.find(window);
    if (it == All().windows.end()) return;
    std::erase(it->second.tooltips, tooltip);
    Release(it, &TooltipSubclass::Proc);
}

void TooltipSubclass::UnwatchAll(HWND tooltip) {
    std::lock_guard guard(All().lock);
    for (auto it = All().windows.begin(); it != All().windows.end();) {
        auto next = std::next(it);
        std::erase(it->second.tooltips, tooltip);
        Release(it, &TooltipSubclass::Proc);
        it = next;
    }
}

LRESULT CALLBACK TooltipSubclass::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Watched watched;
    {
        std::lock_guard guard(All().lock);
        auto it = All().windows.find(hwnd);
        if (it != All().windows.end()) watched = it->second;
        if (message == WM_NCDESTROY && it != All().windows.end()) {
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<std::intptr_t>(watched.original));
            All().windows.erase(it);
        }
    }
    if (IsMouseMessage(message)) {
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(hwnd, &at);
        MSG msg{hwnd, message, wParam, lParam, GetMessageTime(), at, 0};
        for (HWND tip : watched.tooltips) SendMessageA(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    }
    if (!watched.original) return DefWindowProcA(hwnd, message, wParam, lParam);
    return CallWindowProcA(watched.original, hwnd, message, wParam, lParam);
}
