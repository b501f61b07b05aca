// Invalid areas, the paint cycle and device contexts of windows.

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/GdiObject.h"
#include "platform/graphics/Rects.h"
#include "platform/window/MessageDelivery.h"
#include "platform/window/WindowManager.h"
#include "platform/window/Windows.h"

namespace {

WindowManager& Manager() { return WindowManager::Instance(); }

// What drawing into the window may touch, in its top-level's coordinates: nothing while hidden.
// Under the manager's lock.
Region DrawableArea(Window* w, bool client) {
    if (!Manager().IsShown(w)) return Region();
    return WindowManager::VisibleArea(w, client);
}

HDC ContextFor(Window* w, bool client, const Region* limit) {
    Window* top = WindowManager::TopLevelOf(w);
    if (!top->surface) return nullptr;
    Region visible = DrawableArea(w, client);
    if (limit) visible.Intersect(*limit);
    const POINT origin = client ? WindowManager::ClientOffset(w) : WindowManager::WindowOffset(w);
    return DeviceContext::CreateForSurface(top->surface, origin, visible, w->handle);
}

// What a context drew goes to the screen the next time its thread runs out of messages.
void Release(HWND hwnd, HDC hdc) {
    const auto dc = DeviceContext::Find(hdc);
    if (!dc) return;
    {
        std::lock_guard guard(Manager().Lock());
        auto w = Manager().Find(hwnd);
        if (w && !dc->Visible().IsEmpty()) {
            Window* top = WindowManager::TopLevelOf(w.get());
            RECT area = dc->Visible().Bounds();
            if (!top->dirty.IsEmpty()) {
                const RECT before = top->dirty.Bounds();
                UnionRect(&area, &area, &before);
            }
            top->dirty.Set(area);
        }
    }
    DeviceContext::Destroy(hdc);
}

void UpdateTree(HWND hwnd, bool children) {
    UpdateWindow(hwnd);
    if (!children) return;
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) UpdateTree(child, true);
}

}  // namespace

BOOL InvalidateRect(HWND hwnd, const RECT* r, BOOL erase) {
    if (!hwnd) {
        std::lock_guard guard(Manager().Lock());
        for (Window* top : Manager().TopLevels())
            Manager().InvalidateArea(top, Region(RECT{0, 0, top->Width(), top->Height()}), erase);
        return TRUE;
    }
    auto w = Manager().Find(hwnd);
    if (!w) return FALSE;
    std::lock_guard guard(Manager().Lock());
    Manager().InvalidateClient(w.get(), r ? Region(*r) : Region(w->ClientRect()), erase);
    return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* r) {
    auto w = Manager().Find(hwnd);
    if (!w) return FALSE;
    std::lock_guard guard(Manager().Lock());
    if (r) {
        w->invalid.Subtract(*r);
    } else {
        w->invalid.Clear();
        w->frameInvalid = false;
    }
    if (w->invalid.IsEmpty()) w->eraseNeeded = false;
    return TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
    auto w = Manager().Find(hwnd);
    if (!w) return FALSE;
    {
        std::lock_guard guard(Manager().Lock());
        if (!Manager().IsShown(w.get()) || (w->invalid.IsEmpty() && !w->frameInvalid)) return TRUE;
    }
    if (w->thread != &ThreadQueue::Current()) {
        SendMessageA(hwnd, WM_PAINT, 0, 0);
        return TRUE;
    }
    MessageDelivery::Paint(hwnd);
    MessageDelivery::Present(*w->thread);
    return TRUE;
}

BOOL RedrawWindow(HWND hwnd, const RECT* r, HRGN region, UINT flags) {
    if (!hwnd) {
        std::vector<HWND> tops;
        {
            std::lock_guard guard(Manager().Lock());
            for (Window* top : Manager().TopLevels()) tops.push_back(top->handle);
        }
        for (HWND top : tops) RedrawWindow(top, nullptr, nullptr, flags | RDW_ALLCHILDREN);
        return TRUE;
    }
    auto w = Manager().Find(hwnd);
    if (!w) return FALSE;
    const bool children = flags & RDW_ALLCHILDREN;
    {
        std::lock_guard guard(Manager().Lock());
        Region area(w->ClientRect());
        if (const auto rgn = GdiObject::FindAs<RegionObject>(region, GdiKind::Region))
            area = rgn->region;
        else if (r)
            area = Region(*r);
        if (flags & RDW_INVALIDATE) {
            const bool erase = flags & RDW_ERASE;
            if (children) {
                Region inTop = area;
                const POINT c = WindowManager::ClientOffset(w.get());
                inTop.Offset(c.x, c.y);
                Manager().InvalidateArea(w.get(), inTop, erase);
            } else {
                Manager().InvalidateClient(w.get(), area, erase);
            }
            if ((flags & RDW_FRAME) && w->HasFrame()) {
                w->frameInvalid = true;
                w->thread->Wake();
            }
        }
        if (flags & RDW_VALIDATE) {
            w->invalid.Subtract(area);
            if (flags & RDW_NOFRAME) w->frameInvalid = false;
        }
    }
    if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) UpdateTree(hwnd, children);
    return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, RECT* r, BOOL) {
    auto w = Manager().Find(hwnd);
    if (!w) return FALSE;
    std::lock_guard guard(Manager().Lock());
    const RECT bounds = w->invalid.IsEmpty() ? RECT{} : w->invalid.Bounds();
    if (r) *r = bounds;
    return w->invalid.IsEmpty() ? FALSE : TRUE;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
    auto w = Manager().Find(hwnd);
    if (!w || !ps) return nullptr;
    bool frame;
    {
        std::lock_guard guard(Manager().Lock());
        frame = w->frameInvalid;
        w->frameInvalid = false;
    }
    if (frame) SendMessageA(hwnd, WM_NCPAINT, 1, 0);
    Region area;
    bool erase;
    HDC hdc;
    {
        std::lock_guard guard(Manager().Lock());
        area = w->invalid;
        w->invalid.Clear();
        erase = w->eraseNeeded;
        w->eraseNeeded = false;
        ++w->paintCount;
        Region inTop = area;
        const POINT c = WindowManager::ClientOffset(w.get());
        inTop.Offset(c.x, c.y);
        hdc = ContextFor(w.get(), true, &inTop);
    }
    *ps = PAINTSTRUCT{};
    ps->hdc = hdc;
    ps->rcPaint = area.IsEmpty() ? RECT{} : area.Bounds();
    if (hdc && erase) ps->fErase = SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) ? FALSE : TRUE;
    return hdc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
    if (!ps) return FALSE;
    Release(hwnd, ps->hdc);
    return TRUE;
}

HDC GetDC(HWND hwnd) {
    if (!hwnd) {
        // The screen's context: for measuring text; what is drawn there goes nowhere.
        return DeviceContext::CreateForSurface(std::make_shared<Surface>(1, 1), POINT{0, 0}, Region(RECT{0, 0, 1, 1}),
                                               nullptr);
    }
    auto w = Manager().Find(hwnd);
    if (!w) return nullptr;
    std::lock_guard guard(Manager().Lock());
    return ContextFor(w.get(), true, nullptr);
}

HDC GetWindowDC(HWND hwnd) {
    auto w = Manager().Find(hwnd);
    if (!w) return nullptr;
    std::lock_guard guard(Manager().Lock());
    return ContextFor(w.get(), false, nullptr);
}

int ReleaseDC(HWND hwnd, HDC hdc) {
    if (!DeviceContext::Find(hdc)) return 0;
    Release(hwnd, hdc);
    return 1;
}
