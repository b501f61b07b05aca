#include "platform/controls/MenuBar.h"

#include <mutex>

#include "platform/controls/MenuLayout.h"
#include "platform/controls/MenuTable.h"
#include "platform/controls/MenuTracker.h"
#include "platform/controls/Menus.h"
#include "platform/graphics/Rects.h"
#include "platform/window/Windows.h"

namespace {

MenuTable& Table() { return MenuTable::Instance(); }

constexpr UINT kHotCheckMs = 100;

// The bar item under the pointer outside the loop: one per thread, as one pointer hovers.
struct HotBar {
    HWND hwnd = nullptr;
    HMENU menu = nullptr;
    std::uintptr_t timer = 0;
};
thread_local HotBar tHot;

}  // namespace

void MenuBar::Install() {
    static std::once_flag once;
    std::call_once(once, [] {
        static MenuBar bar;
        MenuBarHost::Register(&bar);
    });
}

POINT MenuBar::Origin(HWND hwnd, HMENU menu) {
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    std::lock_guard guard(Table().Lock());
    const Menu* m = Table().Find(menu);
    origin.y -= m ? m->barHeight : 0;
    return origin;
}

bool MenuBar::ItemScreenRect(HWND hwnd, HMENU menu, int position, RECT* r) {
    const POINT origin = Origin(hwnd, menu);
    std::lock_guard guard(Table().Lock());
    const Menu* m = Table().Find(menu);
    if (!m || !r || !m->ValidPosition(position)) return false;
    *r = m->items[static_cast<std::size_t>(position)].rect;
    OffsetRect(r, origin.x, origin.y);
    return true;
}

int MenuBar::ItemAt(HWND hwnd, HMENU menu, POINT screen) {
    if (MenuBarHost::HitTest(hwnd, MAKELPARAM(screen.x, screen.y), HTNOWHERE) != HTMENU) return -1;
    const POINT origin = Origin(hwnd, menu);
    return MenuLayout::BarItemAt(menu, POINT{screen.x - origin.x, screen.y - origin.y});
}

void MenuBar::Redraw(HWND hwnd) { RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE); }

int MenuBar::BarHeight(HWND hwnd, HMENU menu, int width) { return MenuLayout::LayoutBar(hwnd, menu, width); }

void MenuBar::Paint(HWND hwnd, HMENU menu, HDC windowDc, const RECT& bar) {
    MenuLayout::PaintBar(hwnd, menu, windowDc, bar, GetActiveWindow() != GetAncestor(hwnd, GA_ROOT));
}

int MenuBar::LaidOutHeight(HMENU menu) {
    std::lock_guard guard(Table().Lock());
    const Menu* m = Table().Find(menu);
    return m ? m->barHeight : 0;
}

void MenuBar::TrackMouse(HWND hwnd, POINT screen) {
    SetHot(hwnd, GetMenu(hwnd), -1);
    MenuTracker::TrackBar(hwnd, &screen, 0);
}

void MenuBar::TrackKey(HWND hwnd, UINT key) {
    SetHot(hwnd, GetMenu(hwnd), -1);
    if (key == ' ')
        MenuTracker::TrackSystemMenu(hwnd);
    else
        MenuTracker::TrackBar(hwnd, nullptr, key);
}

void MenuBar::Hover(HWND hwnd, HMENU menu, POINT screen, bool onBar) {
    if (MenuTracker::Active()) return;
    SetHot(hwnd, menu, onBar ? ItemAt(hwnd, menu, screen) : -1);
}

void MenuBar::SetHot(HWND hwnd, HMENU menu, int position) {
    if (tHot.hwnd && (tHot.hwnd != hwnd || position < 0)) {
        // The one hot before loses it.
        const HotBar was = tHot;
        tHot = HotBar{};
        if (was.timer) KillTimer(nullptr, was.timer);
        bool changed = false;
        {
            std::lock_guard guard(Table().Lock());
            if (Menu* m = Table().Find(was.menu); m && m->hot >= 0) {
                m->hot = -1;
                changed = true;
            }
        }
        if (changed && IsWindow(was.hwnd)) Redraw(was.hwnd);
    }
    if (position < 0 || !menu) return;
    bool changed;
    {
        std::lock_guard guard(Table().Lock());
        Menu* m = Table().Find(menu);
        if (!m) return;
        changed = m->hot != position;
        m->hot = position;
    }
    tHot.hwnd = hwnd;
    tHot.menu = menu;
    // WM_NCMOUSEMOVE does not say when the pointer leaves: a short timer looks.
    if (!tHot.timer) tHot.timer = SetTimer(nullptr, 0, kHotCheckMs, CheckPointer);
    if (changed) Redraw(hwnd);
}

void CALLBACK MenuBar::CheckPointer(HWND, UINT, std::uintptr_t, DWORD) {
    if (!tHot.hwnd) return;
    if (!IsWindow(tHot.hwnd) || MenuTracker::Active()) {
        SetHot(tHot.hwnd, tHot.menu, -1);
        return;
    }
    POINT p;
    GetCursorPos(&p);
    SetHot(tHot.hwnd, tHot.menu, ItemAt(tHot.hwnd, tHot.menu, p));
}
