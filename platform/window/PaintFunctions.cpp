// Invalid areas, the paint cycle and device contexts of windows.

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/GdiObject.h"
#include "platform/graphics/Rects.h"
#include "platform/window/LockedWindow.h"
#include "platform/window/MessageDelivery.h"
#include "platform/window/WindowManager.h"
#include "platform/window/Windows.h"

namespace {

WindowManager& Manager() { return WindowManager::Instance(); }

// Each is one copy to the screen (one round trip to an X server).
constexpr std::size_t kMostDirtyRects = 4;

// What drawing into the window may touch, in its top-level's coordinates: nothing while hidden.
Region DrawableArea(Window* w, bool client) REQUIRES(gWindowLock) {
    if (!WindowManager::IsShown(w)) return Region();
    return WindowManager::VisibleArea(w, client);
}

HDC ContextFor(Window* w, bool client, const Region* limit) REQUIRES(gWindowLock) {
    Window* top = WindowManager::TopLevelOf(w);
    if (!top->surface) return nullptr;
    Region visible = DrawableArea(w, client);
    if (limit) visible.Intersect(*limit);
    const POINT origin = client ? WindowManager::ClientOffset(w) : WindowManager::WindowOffset(w);
    return DeviceContext::CreateForSurface(top->surface, origin, visible, w->handle);
}

// What a context drew goes to the screen the next time its thread runs out of messages.
void Release(HWND hwnd, HDC hdc) EXCLUDES(gWindowLock) {
    const auto dc = DeviceContext::Find(hdc);
    if (!dc) return;
    {
        LockedWindow w(hwnd);
        if (w && !dc->Visible().IsEmpty()) {
            Window* top = WindowManager::TopLevelOf(w.Get());
            // Far-apart drawings (a row and a scroll bar, a list and the status bar) go to the
            // screen each alone, not as the window between them; past a few, as their bounds.
            top->dirty.Add(dc->Visible());
            if (top->dirty.Rects().size() > kMostDirtyRects) top->dirty.Set(top->dirty.Bounds());
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
        Mutex::Guard guard(gWindowLock);
        for (Window* top : Manager().TopLevels())
            Manager().InvalidateArea(top, Region(RECT{0, 0, top->Width(), top->Height()}), erase);
        return TRUE;
    }
    LockedWindow w(hwnd);
    if (!w) return FALSE;
    Manager().InvalidateClient(w.Get(), r ? Region(*r) : Region(w->ClientRect()), erase);
    return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* r) {
    LockedWindow w(hwnd);
    if (!w) return FALSE;
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
    ThreadQueue* self = &ThreadQueue::Current();
    bool own;
    {
        LockedWindow w(hwnd);
        if (!w) return FALSE;
        if (!WindowManager::IsShown(w.Get()) || (w->invalid.IsEmpty() && !w->frameInvalid)) return TRUE;
        own = w->thread == self;
    }
    if (!own) {
        SendMessageA(hwnd, WM_PAINT, 0, 0);
        return TRUE;
    }
    MessageDelivery::Paint(hwnd);
    MessageDelivery::Present(*self);
    return TRUE;
}

BOOL RedrawWindow(HWND hwnd, const RECT* r, HRGN region, UINT flags) {
    if (!hwnd) {
        std::vector<HWND> tops;
        {
            Mutex::Guard guard(gWindowLock);
            for (Window* top : Manager().TopLevels()) tops.push_back(top->handle);
        }
        for (HWND top : tops) RedrawWindow(top, nullptr, nullptr, flags | RDW_ALLCHILDREN);
        return TRUE;
    }
    const bool children = flags & RDW_ALLCHILDREN;
    const auto rgn = GdiObject::FindAs<RegionObject>(region, GdiKind::Region);
    {
        LockedWindow w(hwnd);
        if (!w) return FALSE;
        Region area(w->ClientRect());
        if (rgn)
            area = rgn->region;
        else if (r)
            area = Region(*r);
        if (flags & RDW_INVALIDATE) {
            const bool erase = flags & RDW_ERASE;
            if (children) {
                Region inTop = area;
                const POINT c = WindowManager::ClientOffset(w.Get());
                inTop.Offset(c.x, c.y);
                Manager().InvalidateArea(w.Get(), inTop, erase);
            } else {
                Manager().InvalidateClient(w.Get(), area, erase);
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
    LockedWindow w(hwnd);
    if (!w) return FALSE;
    const RECT bounds = w->invalid.IsEmpty() ? RECT{} : w->invalid.Bounds();
    if (r) *r = bounds;
    return w->invalid.IsEmpty() ? FALSE : TRUE;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
    if (!ps) return nullptr;
    bool frame;
    {
        LockedWindow w(hwnd);
        if (!w) return nullptr;
        frame = w->frameInvalid;
        w->frameInvalid = false;
    }
    if (frame) SendMessageA(hwnd, WM_NCPAINT, 1, 0);
    Region area;
    bool erase;
    HDC hdc;
    {
        LockedWindow w(hwnd);
        if (!w) return nullptr;
        area = w->invalid;
        w->invalid.Clear();
        erase = w->eraseNeeded;
        w->eraseNeeded = false;
        ++w->paintCount;
        Region inTop = area;
        const POINT c = WindowManager::ClientOffset(w.Get());
        inTop.Offset(c.x, c.y);
        hdc = ContextFor(w.Get(), true, &inTop);
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
    LockedWindow w(hwnd);
    if (!w) return nullptr;
    return ContextFor(w.Get(), true, nullptr);
}

HDC GetWindowDC(HWND hwnd) {
    LockedWindow w(hwnd);
    if (!w) return nullptr;
    return ContextFor(w.Get(), false, nullptr);
}

HDC GetFrameDC(HWND hwnd) {
    LockedWindow w(hwnd);
    if (!w) return nullptr;
    const POINT window = WindowManager::WindowOffset(w.Get()), client = WindowManager::ClientOffset(w.Get());
    Region frame(RECT{window.x, window.y, window.x + w->Width(), window.y + w->Height()});
    RECT inside = w->ClientRect();
    OffsetRect(&inside, client.x, client.y);
    frame.Subtract(inside);
    return ContextFor(w.Get(), false, &frame);
}

int ReleaseDC(HWND hwnd, HDC hdc) {
    if (!DeviceContext::Find(hdc)) return 0;
    Release(hwnd, hdc);
    return 1;
}
