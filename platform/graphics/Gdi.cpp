#include "platform/graphics/Gdi.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/GdiObject.h"
#include "platform/graphics/Painter.h"
#include "platform/graphics/Rects.h"
#include "platform/graphics/StockObjects.h"
#include "platform/graphics/SystemColors.h"

namespace {

constexpr UINT OBJ_PEN_TYPE = OBJ_PEN, OBJ_BRUSH_TYPE = OBJ_BRUSH, OBJ_FONT_TYPE = OBJ_FONT,
               OBJ_BITMAP_TYPE = OBJ_BITMAP;

std::shared_ptr<RegionObject> RegionOf(HRGN region) { return GdiObject::FindAs<RegionObject>(region, GdiKind::Region); }

// A clip area given in logical coordinates, moved to surface coordinates.
Region ToSurface(DeviceContext& dc, const RECT& r) {
    Region region(r);
    region.Offset(dc.Offset().x, dc.Offset().y);
    return region;
}

int Complexity(const Region& r) {
    return r.IsEmpty() ? NULLREGION : r.Rects().size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace

HGDIOBJ GetStockObject(int which) { return StockObjects::Get(which); }

HPEN CreatePen(int style, int width, COLORREF color) {
    return GdiObject::Adopt(std::make_unique<PenObject>(style, width, color));
}

HBRUSH CreateSolidBrush(COLORREF color) { return GdiObject::Adopt(std::make_unique<BrushObject>(color, false)); }

HFONT CreateFontIndirectA(const LOGFONTA* font) {
    return font ? GdiObject::Adopt(std::make_unique<FontObject>(*font)) : nullptr;
}

BOOL DeleteObject(HGDIOBJ object) { return GdiObject::Delete(object) ? TRUE : FALSE; }

int GetObjectA(HGDIOBJ object, int size, void* out) {
    const auto o = GdiObject::Find(object);
    if (!o || !out) return 0;
    switch (o->Kind()) {
        case GdiKind::Font:
            if (size < static_cast<int>(sizeof(LOGFONTA))) return 0;
            std::memcpy(out, &static_cast<FontObject*>(o.get())->logFont, sizeof(LOGFONTA));
            return sizeof(LOGFONTA);
        case GdiKind::Bitmap: {
            if (size < static_cast<int>(sizeof(BITMAP))) return 0;
            Surface& s = static_cast<BitmapObject*>(o.get())->surface;
            BITMAP bm{0, s.Width(), s.Height(), s.Width() * 4, 1, 32, const_cast<std::uint32_t*>(s.Pixels())};
            std::memcpy(out, &bm, sizeof bm);
            return sizeof bm;
        }
        default:
            return 0;
    }
}

DWORD GetObjectType(HGDIOBJ object) {
    if (const auto dc = DeviceContext::Find(reinterpret_cast<HDC>(object))) return dc->IsMemory() ? OBJ_MEMDC : OBJ_DC;
    const auto o = GdiObject::Find(object);
    if (!o) return 0;
    switch (o->Kind()) {
        case GdiKind::Pen:
            return OBJ_PEN;
        case GdiKind::Brush:
            return OBJ_BRUSH;
        case GdiKind::Font:
            return OBJ_FONT;
        case GdiKind::Bitmap:
            return OBJ_BITMAP;
        case GdiKind::Region:
            return OBJ_REGION;
    }
    return 0;
}

HDC CreateCompatibleDC(HDC) { return DeviceContext::CreateMemory(); }

BOOL DeleteDC(HDC hdc) {
    const auto dc = DeviceContext::Find(hdc);
    if (!dc || !dc->IsMemory()) return FALSE;  // window contexts are released by their window
    return DeviceContext::Destroy(hdc) ? TRUE : FALSE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object) {
    const auto dc = DeviceContext::Find(hdc);
    const auto o = GdiObject::Find(object);
    return dc && o ? dc->Select(o) : nullptr;
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
    const auto dc = DeviceContext::Find(hdc);
    if (!dc) return nullptr;
    const GdiObject* o = type == OBJ_PEN_TYPE      ? static_cast<GdiObject*>(dc->Pen())
                         : type == OBJ_BRUSH_TYPE  ? static_cast<GdiObject*>(dc->Brush())
                         : type == OBJ_FONT_TYPE   ? static_cast<GdiObject*>(dc->Font())
                         : type == OBJ_BITMAP_TYPE ? static_cast<GdiObject*>(dc->Bitmap())
                                                   : nullptr;
    return o ? o->Handle() : nullptr;
}

int SaveDC(HDC hdc) {
    const auto dc = DeviceContext::Find(hdc);
    return dc ? dc->Save() : 0;
}

BOOL RestoreDC(HDC hdc, int level) {
    const auto dc = DeviceContext::Find(hdc);
    return dc && dc->Restore(level) ? TRUE : FALSE;
}

int GetDeviceCaps(HDC, int index) {
    switch (index) {
        case BITSPIXEL:
            return 32;
        case NUMCOLORS:
            return -1;
        case LOGPIXELSX:
        case LOGPIXELSY:
            return 96;
        default:
            return 0;
    }
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
    const auto dc = DeviceContext::Find(hdc);
    if (!dc) return CLR_INVALID;
    return std::exchange(dc->textColor, color);
}

COLORREF GetTextColor(HDC hdc) {
    const auto dc = DeviceContext::Find(hdc);
    return dc ? dc->textColor : CLR_INVALID;
}

COLORREF SetBkColor(HDC hdc, COLORREF color) {
    const auto dc = DeviceContext::Find(hdc);
    if (!dc) return CLR_INVALID;
    return std::exchange(dc->bkColor, color);
}

COLORREF GetBkColor(HDC hdc) {
    const auto dc = DeviceContext::Find(hdc);
    return dc ? dc->bkColor : CLR_INVALID;
}

int SetBkMode(HDC hdc, int mode) {
    const auto dc = DeviceContext::Find(hdc);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    return std::exchange(dc->bkMode, mode);
}

int GetBkMode(HDC hdc) {
    const auto dc = DeviceContext::Find(hdc);
    return dc ? dc->bkMode : 0;
}

BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* previous) {
    const auto dc = DeviceContext::Find(hdc);
    if (!dc) return FALSE;
    if (previous) *previous = dc->viewport;
    dc->viewport = POINT{x, y};
    return TRUE;
}

BOOL OffsetViewportOrgEx(HDC hdc, int dx, int dy, POINT* previous) {
    const auto dc = DeviceContext::Find(hdc);
    if (!dc) return FALSE;
    if (previous) *previous = dc->viewport;
    dc->viewport.x += dx;
    dc->viewport.y += dy;
    return TRUE;
}

HBITMAP CreateCompatibleBitmap(HDC, int width, int height) {
    if (width < 0 || height < 0) return nullptr;
    return GdiObject::Adopt(std::make_unique<BitmapObject>(width, height));
}

HBITMAP CreateBitmap(int width, int height, UINT, UINT bitsPerPixel, const void* bits) {
    if (width < 0 || height < 0 || bitsPerPixel != 32) return nullptr;
    auto bitmap = std::make_unique<BitmapObject>(width, height);
    if (bits) {
        const auto* from = static_cast<const std::uint32_t*>(bits);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                bitmap->surface.Row(y)[x] = from[static_cast<std::size_t>(y) * width + x] & 0xFFFFFF;
    }
    return GdiObject::Adopt(std::move(bitmap));
}

BOOL BitBlt(HDC to, int x, int y, int width, int height, HDC from, int fromX, int fromY, DWORD rop) {
    const auto dst = DeviceContext::Find(to);
    if (!dst) return FALSE;
    if (rop == PATCOPY) return PatBlt(to, x, y, width, height, rop);
    const auto src = DeviceContext::Find(from);
    if (!src || rop != SRCCOPY) return FALSE;
    Painter(*dst).Blit(*src, RECT{x, y, x + width, y + height}, POINT{fromX, fromY});
    return TRUE;
}

BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop) {
    const auto dc = DeviceContext::Find(hdc);
    if (!dc || rop != PATCOPY || !dc->Brush() || dc->Brush()->hollow) return FALSE;
    Painter(*dc).Fill(RECT{x, y, x + width, y + height}, dc->Brush()->color);
    return TRUE;
}

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    return GdiObject::Adopt(std::make_unique<RegionObject>(RECT{left, top, right, bottom}));
}

HRGN CreateRectRgnIndirect(const RECT* r) { return r ? CreateRectRgn(r->left, r->top, r->right, r->bottom) : nullptr; }

BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom) {
    const auto r = RegionOf(region);
    if (!r) return FALSE;
    r->region.Set(RECT{left, top, right, bottom});
    return TRUE;
}

int CombineRgn(HRGN to, HRGN a, HRGN b, int mode) {
    const auto target = RegionOf(to), first = RegionOf(a), second = RegionOf(b);
    if (!target || !first || (mode != RGN_COPY && !second)) return ERROR;
    Region result = first->region;
    switch (mode) {
        case RGN_AND:
            result.Intersect(second->region);
            break;
        case RGN_OR:
            result.Add(second->region);
            break;
        case RGN_DIFF:
            result.Subtract(second->region);
            break;
        case RGN_COPY:
            break;
        default:
            return ERROR;
    }
    target->region = std::move(result);
    return Complexity(target->region);
}

BOOL PtInRegion(HRGN region, int x, int y) {
    const auto r = RegionOf(region);
    return r && r->region.Contains(POINT{x, y}) ? TRUE : FALSE;
}

int GetRgnBox(HRGN region, RECT* box) {
    const auto r = RegionOf(region);
    if (!r || !box) return ERROR;
    *box = r->region.Bounds();
    return Complexity(r->region);
}

int SelectClipRgn(HDC hdc, HRGN region) {
    const auto dc = DeviceContext::Find(hdc);
    if (!dc) return ERROR;
    if (!region) {
        dc->SetAppClip(nullptr);
        return Complexity(dc->Clip());
    }
    const auto r = RegionOf(region);
    if (!r) return ERROR;
    // The region is in device units relative to the context's origin; it is copied.
    Region copy = r->region;
    POINT origin = dc->Offset();
    copy.Offset(origin.x - dc->viewport.x, origin.y - dc->viewport.y);
    dc->SetAppClip(&copy);
    return Complexity(dc->Clip());
}

int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom) {
    const auto dc = DeviceContext::Find(hdc);
    if (!dc) return ERROR;
    Region clip = dc->AppClip() ? *dc->AppClip() : dc->Visible();
    clip.Subtract(ToSurface(*dc, RECT{left, top, right, bottom}).Bounds());
    dc->SetAppClip(&clip);
    return Complexity(dc->Clip());
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
    const auto dc = DeviceContext::Find(hdc);
    if (!dc) return ERROR;
    Region clip = dc->AppClip() ? *dc->AppClip() : dc->Visible();
    clip.Intersect(ToSurface(*dc, RECT{left, top, right, bottom}).Bounds());
    dc->SetAppClip(&clip);
    return Complexity(dc->Clip());
}

int GetClipBox(HDC hdc, RECT* box) {
    const auto dc = DeviceContext::Find(hdc);
    if (!dc || !box) return ERROR;
    *box = dc->Clip().Bounds();
    OffsetRect(box, -dc->Offset().x, -dc->Offset().y);
    return Complexity(dc->Clip());
}

int FillRect(HDC hdc, const RECT* r, HBRUSH brush) {
    const auto dc = DeviceContext::Find(hdc);
    if (!dc || !r) return 0;
    COLORREF color;
    if (!Painter::BrushColor(brush, color)) return 0;
    Painter(*dc).Fill(*r, color);
    return 1;
}

int FrameRect(HDC hdc, const RECT* r, HBRUSH brush) {
    const auto dc = DeviceContext::Find(hdc);
    if (!dc || !r) return 0;
    COLORREF color;
    if (!Painter::BrushColor(brush, color)) return 0;
    Painter(*dc).Frame(*r, color);
    return 1;
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    const auto dc = DeviceContext::Find(hdc);
    if (!dc) return FALSE;
    Painter p(*dc);
    RECT inside{left, top, right, bottom};
    if (PenObject* pen = dc->Pen(); pen && pen->style != PS_NULL) {
        for (int i = 0; i < pen->width && !IsRectEmpty(&inside); ++i) {
            p.Frame(inside, pen->color);
            InflateRect(&inside, -1, -1);
        }
    }
    if (BrushObject* brush = dc->Brush(); brush && !brush->hollow) p.Fill(inside, brush->color);
    return TRUE;
}

BOOL MoveToEx(HDC hdc, int x, int y, POINT* previous) {
    const auto dc = DeviceContext::Find(hdc);
    if (!dc) return FALSE;
    if (previous) *previous = dc->current;
    dc->current = POINT{x, y};
    return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
    const auto dc = DeviceContext::Find(hdc);
    if (!dc) return FALSE;
    if (PenObject* pen = dc->Pen(); pen && pen->style != PS_NULL)
        Painter(*dc).Line(dc->current, POINT{x, y}, pen->width, pen->color);
    dc->current = POINT{x, y};
    return TRUE;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
    const auto dc = DeviceContext::Find(hdc);
    if (!dc) return CLR_INVALID;
    Painter(*dc).Fill(RECT{x, y, x + 1, y + 1}, color);
    return color;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
    const auto dc = DeviceContext::Find(hdc);
    Surface* s = dc ? dc->Target() : nullptr;
    if (!s) return CLR_INVALID;
    const POINT p{x + dc->Offset().x, y + dc->Offset().y};
    if (!dc->Clip().Contains(p) || p.x < 0 || p.y < 0 || p.x >= s->Width() || p.y >= s->Height()) return CLR_INVALID;
    return Surface::ColorOf(s->At(p.x, p.y));
}
