// ScrollWindowEx: the pixels of the client area move on the window's surface, and only what the
// move uncovered is painted again; scrolling a long list by a row repaints one row.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/GdiObject.h"
#include "platform/graphics/Rects.h"
#include "platform/window/ScrollBars.h"
#include "platform/window/Windows.h"

namespace {

// Copies the pixels of each rectangle of `to` (client coordinates, `origin` on the surface) from
// (dx, dy) before it.
void CopyWithin(Surface& surface, const Region& to, int dx, int dy, POINT origin) {
    const auto length = [](const RECT& r) { return static_cast<std::size_t>(r.right - r.left); };
    const auto from = [&](const RECT& r, LONG y) { return surface.Row(y - dy + origin.y) + (r.left - dx + origin.x); };
    const auto into = [&](const RECT& r, LONG y) { return surface.Row(y + origin.y) + r.left + origin.x; };
    if (to.Rects().size() == 1) {
        // In place: rows in the order that reads each before it is written over.
        const RECT& r = to.Rects().front();
        for (LONG i = 0; i < r.bottom - r.top; ++i) {
            const LONG y = dy > 0 ? r.bottom - 1 - i : r.top + i;
            std::memmove(into(r, y), from(r, y), length(r) * sizeof(std::uint32_t));
        }
        return;
    }
    // Several rectangles may read where another writes: through a copy, kept for the next time.
    thread_local std::vector<std::uint32_t> copied;
    copied.clear();
    for (const RECT& r : to.Rects())
        for (LONG y = r.top; y < r.bottom; ++y) copied.insert(copied.end(), from(r, y), from(r, y) + length(r));
    const std::uint32_t* next = copied.data();
    for (const RECT& r : to.Rects())
        for (LONG y = r.top; y < r.bottom; ++y, next += length(r)) std::copy_n(next, length(r), into(r, y));
}

// Moves what shows of `source` by (dx, dy), changing nothing outside `limit` (client
// coordinates). Pixels that are hidden or still to be painted do not move. Returns where valid
// pixels landed.
Region MovePixels(HWND hwnd, int dx, int dy, const RECT& source, const RECT& limit) {
    HDC hdc = GetDC(hwnd);
    const auto dc = DeviceContext::Find(hdc);
    Surface* surface = dc ? dc->Target() : nullptr;
    if (!surface) {
        if (hdc) ReleaseDC(hwnd, hdc);
        return Region();
    }
    const POINT origin = dc->Offset();
    Region visible = dc->Visible();
    visible.Offset(-origin.x, -origin.y);
    Region from(source);
    from.Intersect(visible);
    RECT pending;
    if (GetUpdateRect(hwnd, &pending, FALSE)) from.Subtract(pending);
    Region to = from;
    to.Offset(dx, dy);
    to.Intersect(limit);
    to.Intersect(visible);
    CopyWithin(*surface, to, dx, dy, origin);
    ReleaseDC(hwnd, hdc);  // what moved goes to the screen with the next put
    return to;
}

void MoveChildren(HWND hwnd, int dx, int dy, const RECT* scroll) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    for (HWND child : children) {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
        RECT meet;
        if (scroll && !IntersectRect(&meet, &r, scroll)) continue;
        SetWindowPos(child, nullptr, r.left + dx, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

}  // namespace

int ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, RECT* updateRect,
                   UINT flags) {
    RECT client;
    if (!GetClientRect(hwnd, &client)) return ERROR;
    if ((flags & SW_SCROLLCHILDREN) && (dx || dy)) MoveChildren(hwnd, dx, dy, scroll);
    RECT source = client, limit = client;
    if (scroll) IntersectRect(&source, &client, scroll);
    if (clip) IntersectRect(&limit, &client, clip);
    // What changes: the scrolled area and where it went, inside the limit. Whatever of it did not
    // get valid pixels is to be painted.
    Region uncovered;
    if (dx || dy) {
        RECT landed = source;
        OffsetRect(&landed, dx, dy);
        uncovered.Set(source);
        uncovered.Add(landed);
        uncovered.Intersect(limit);
        uncovered.Subtract(MovePixels(hwnd, dx, dy, source, limit));
    }
    if (flags & SW_INVALIDATE)
        for (const RECT& r : uncovered.Rects()) InvalidateRect(hwnd, &r, (flags & SW_ERASE) ? TRUE : FALSE);
    if (const auto region = GdiObject::FindAs<RegionObject>(update, GdiKind::Region)) region->region = uncovered;
    if (updateRect) *updateRect = uncovered.IsEmpty() ? RECT{} : uncovered.Bounds();
    if (uncovered.IsEmpty()) return NULLREGION;
    return uncovered.Rects().size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}
